#include "controls/PlanBoard.h"

#include "core/MessageTexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace lumora {

namespace {

const QString kBoardStyle =
    QStringLiteral("#pnlPlanBoard { background: white; border-bottom: 2px solid #00558e; }"
                   "QToolButton { background: #e3eff7; color: #0b3d66; border: 1px solid #9fbad3;"
                   " border-radius: 4px; padding: 2px 6px; font-weight: bold; }"
                   "QToolButton:hover { background: #cfe3f2; }"
                   "QToolButton:pressed, QToolButton:checked { background: #00558e; color: white; }"
                   "QToolButton:disabled { color: #9aa8b5; }");

} // namespace

TPlanBoard::TPlanBoard(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlPlanBoard"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(kBoardStyle);
    place_ = new QLabel(this);
    place_->setObjectName(QStringLiteral("lblPlanPlace"));
    place_->setStyleSheet(QStringLiteral("color: #00558e; font-weight: bold;"));
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("lblPlanText"));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setStyleSheet(QStringLiteral("color: #1f2d3a;"));
    text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("imgPlanPicture"));
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    digits_ = new QLabel(this);
    digits_->setObjectName(QStringLiteral("lblCountdown"));
    digits_->setAlignment(Qt::AlignCenter);
    const auto button = [this](const char *name) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        return b;
    };
    previous_ = button("btnPlanPrevious");
    repeat_ = button("btnPlanRepeat");
    next_ = button("btnPlanNext");
    add30_ = button("btnPlanAdd30");
    add60_ = button("btnPlanAdd60");
    pause_ = button("btnPlanPause");
    sound_ = button("btnPlanSound");
    sound_->setCheckable(true);
    sound_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    hide_ = button("btnPlanHide");
    hide_->setCheckable(true);
    reveal_ = button("btnPlanReveal");
    anonymous_ = button("btnPlanAnonymous");
    anonymous_->setCheckable(true);
    pick_ = button("btnPlanPick");
    pickAnswered_ = button("btnPlanPickAnswered");
    pickWrong_ = button("btnPlanPickWrong");

    auto *question = new QVBoxLayout();
    question->setSpacing(2);
    question->addWidget(place_);
    question->addWidget(text_, 1);
    auto *buttons = new QGridLayout();
    buttons->setSpacing(4);
    QToolButton *const order[3][4] = {{add30_, add60_, pause_, pick_},
                                      {previous_, repeat_, next_, pickAnswered_},
                                      {hide_, reveal_, anonymous_, pickWrong_}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            buttons->addWidget(order[r][c], r, c);
        }
    }
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 6, 10, 8);
    row->setSpacing(12);
    row->addLayout(question, 3);
    row->addWidget(picture_, 2);
    auto *countdown = new QVBoxLayout();
    countdown->setSpacing(2);
    countdown->addWidget(digits_, 1);
    countdown->addWidget(sound_, 0, Qt::AlignHCenter);
    row->addLayout(countdown);
    row->addLayout(buttons);
    connect(previous_, &QToolButton::clicked, this, &TPlanBoard::PreviousClicked);
    connect(repeat_, &QToolButton::clicked, this, &TPlanBoard::RepeatClicked);
    connect(next_, &QToolButton::clicked, this, &TPlanBoard::NextClicked);
    connect(add30_, &QToolButton::clicked, this, [this] { Q_EMIT AddSecondsClicked(30); });
    connect(add60_, &QToolButton::clicked, this, [this] { Q_EMIT AddSecondsClicked(60); });
    connect(pause_, &QToolButton::clicked, this, &TPlanBoard::PauseClicked);
    connect(sound_, &QToolButton::clicked, this, &TPlanBoard::SoundToggled);
    connect(hide_, &QToolButton::clicked, this, &TPlanBoard::HideAnswersClicked);
    connect(reveal_, &QToolButton::clicked, this, &TPlanBoard::RevealClicked);
    connect(anonymous_, &QToolButton::clicked, this, &TPlanBoard::AnonymousClicked);
    connect(pick_, &QToolButton::clicked, this, [this] { Q_EMIT PickClicked(PickAmong::Present); });
    connect(pickAnswered_, &QToolButton::clicked, this,
            [this] { Q_EMIT PickClicked(PickAmong::Answered); });
    connect(pickWrong_, &QToolButton::clicked, this,
            [this] { Q_EMIT PickClicked(PickAmong::AnsweredWrongly); });
    UpdateTexts();
    ShowCountdown(QString(), false, false);
    hide();
}

void TPlanBoard::ShowQuestion(const QString &place, const QString &text, const QPixmap &picture) {
    place_->setText(place);
    text_->setText(text);
    pixmap_ = picture;
    SetQuestionShown(questionShown_);
}

void TPlanBoard::SetQuestionShown(bool shown) {
    questionShown_ = shown;
    place_->setVisible(!place_->text().isEmpty());
    text_->setVisible(shown);
    picture_->setVisible(shown && !pixmap_.isNull());
    ShowPicture();
}

void TPlanBoard::ShowPicture() {
    if (picture_->isHidden() || pixmap_.isNull()) {
        return;
    }
    const QSize room = picture_->size().boundedTo(QSize(4000, height() - 14));
    if (room.width() > 0 && room.height() > 0) {
        picture_->setPixmap(pixmap_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
}

void TPlanBoard::ShowCountdown(const QString &text, bool lastSeconds, bool paused) {
    paused_ = paused;
    digits_->setText(text.isEmpty() ? QStringLiteral("-:--") : text);
    const QString colour = text.isEmpty() || paused ? QStringLiteral("#b4c0cc")
                           : lastSeconds            ? QStringLiteral("#c0392b")
                                                    : QStringLiteral("#0b3d66");
    digits_->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(colour));
    pause_->setEnabled(!text.isEmpty());
    pause_->setText(MessageTexts[paused_ ? MessageKey::PlanResume : MessageKey::PlanPause]);
}

void TPlanBoard::ShowSetButtons(bool shown) {
    for (QToolButton *b : {previous_, repeat_, next_}) {
        b->setEnabled(shown);
    }
}

void TPlanBoard::ShowSwitches(bool hidden, bool anonymous) {
    hide_->setChecked(hidden);
    anonymous_->setChecked(anonymous);
    reveal_->setEnabled(hidden);
}

void TPlanBoard::ShowSound(bool on) {
    sound_->setChecked(on);
}

void TPlanBoard::UpdateTexts() {
    sound_->setText(MessageTexts[MessageKey::PlanSound]);
    previous_->setText(MessageTexts[MessageKey::PlanPrevious]);
    repeat_->setText(MessageTexts[MessageKey::PlanRepeat]);
    next_->setText(MessageTexts[MessageKey::PlanNext]);
    add30_->setText(MessageTexts[MessageKey::PlanAdd30]);
    add60_->setText(MessageTexts[MessageKey::PlanAdd60]);
    pause_->setText(MessageTexts[paused_ ? MessageKey::PlanResume : MessageKey::PlanPause]);
    hide_->setText(MessageTexts[MessageKey::PlanHideAnswers]);
    reveal_->setText(MessageTexts[MessageKey::PlanReveal]);
    anonymous_->setText(MessageTexts[MessageKey::PlanAnonymous]);
    pick_->setText(MessageTexts[MessageKey::PlanPick]);
    pickAnswered_->setText(MessageTexts[MessageKey::PlanPickAnswered]);
    pickWrong_->setText(MessageTexts[MessageKey::PlanPickWrong]);
}

void TPlanBoard::FitTo(QSize area) {
    // A fifth of the view's height: some 140 pixels on a projector of 768
    // lines, with digits of 90 that read from the back of a classroom.
    const int band = std::max(110, area.height() / 5);
    QFont digits = digits_->font();
    digits.setPixelSize(band * 2 / 3);
    digits_->setFont(digits);
    digits_->setFixedWidth(QFontMetrics(digits).horizontalAdvance(QStringLiteral("00:00")) + 8);
    QFont text = font();
    text.setPixelSize(std::max(16, band / 6));
    text_->setFont(text);
    place_->setFont(text);
    QFont small = font();
    small.setPixelSize(std::max(12, band / 10));
    for (QToolButton *b : {previous_, repeat_, next_, add30_, add60_, pause_, sound_, hide_,
                           reveal_, anonymous_, pick_, pickAnswered_, pickWrong_}) {
        b->setFont(small);
        b->setMinimumWidth(QFontMetrics(small).horizontalAdvance(b->text()) + 16);
    }
    setGeometry(0, 0, area.width(), band);
}

void TPlanBoard::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    ShowPicture();
}

} // namespace lumora
