#include "controls/PlanBoard.h"

#include "core/MessageTexts.h"

#include <QGridLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace lumora {

namespace {

const QString kBoardStyle = QStringLiteral(
    "#pnlPlanBoard { background: rgba(255, 255, 255, 235); border: 2px solid #00558e;"
    " border-radius: 8px; }"
    "QToolButton { background: #e3eff7; color: #0b3d66; border: 1px solid #9fbad3;"
    " border-radius: 4px; padding: 3px 6px; font-weight: bold; }"
    "QToolButton:hover { background: #cfe3f2; }"
    "QToolButton:pressed, QToolButton:checked { background: #00558e; color: white; }");

} // namespace

TPlanBoard::TPlanBoard(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlPlanBoard"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(kBoardStyle);
    digits_ = new QLabel(this);
    digits_->setObjectName(QStringLiteral("lblCountdown"));
    digits_->setAlignment(Qt::AlignCenter);
    const auto button = [this](const char *name) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        return b;
    };
    previous_ = button("btnPlanPrevious");
    repeat_ = button("btnPlanRepeat");
    next_ = button("btnPlanNext");
    add30_ = button("btnPlanAdd30");
    add60_ = button("btnPlanAdd60");
    pause_ = button("btnPlanPause");
    hide_ = button("btnPlanHide");
    hide_->setCheckable(true);
    reveal_ = button("btnPlanReveal");
    anonymous_ = button("btnPlanAnonymous");
    anonymous_->setCheckable(true);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(10, 6, 10, 10);
    grid->setSpacing(6);
    grid->addWidget(digits_, 0, 0, 1, 3);
    grid->addWidget(add30_, 1, 0);
    grid->addWidget(add60_, 1, 1);
    grid->addWidget(pause_, 1, 2);
    grid->addWidget(previous_, 2, 0);
    grid->addWidget(repeat_, 2, 1);
    grid->addWidget(next_, 2, 2);
    grid->addWidget(hide_, 3, 0);
    grid->addWidget(reveal_, 3, 1);
    grid->addWidget(anonymous_, 3, 2);
    connect(previous_, &QToolButton::clicked, this, &TPlanBoard::PreviousClicked);
    connect(repeat_, &QToolButton::clicked, this, &TPlanBoard::RepeatClicked);
    connect(next_, &QToolButton::clicked, this, &TPlanBoard::NextClicked);
    connect(add30_, &QToolButton::clicked, this, [this] { Q_EMIT AddSecondsClicked(30); });
    connect(add60_, &QToolButton::clicked, this, [this] { Q_EMIT AddSecondsClicked(60); });
    connect(pause_, &QToolButton::clicked, this, &TPlanBoard::PauseClicked);
    connect(hide_, &QToolButton::clicked, this, &TPlanBoard::HideAnswersClicked);
    connect(reveal_, &QToolButton::clicked, this, &TPlanBoard::RevealClicked);
    connect(anonymous_, &QToolButton::clicked, this, &TPlanBoard::AnonymousClicked);
    UpdateTexts();
    ShowCountdown(QString(), false, false);
    hide();
}

void TPlanBoard::ShowCountdown(const QString &text, bool lastSeconds, bool paused) {
    paused_ = paused;
    digits_->setText(text.isEmpty() ? QStringLiteral("–:––") : text);
    const QString colour = text.isEmpty() || paused ? QStringLiteral("#8a9bab")
                           : lastSeconds            ? QStringLiteral("#c0392b")
                                                    : QStringLiteral("#0b3d66");
    digits_->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(colour));
    pause_->setEnabled(!text.isEmpty());
    UpdateTexts();
}

void TPlanBoard::ShowSetButtons(bool shown) {
    for (QToolButton *b : {previous_, repeat_, next_}) {
        b->setVisible(shown);
    }
}

void TPlanBoard::ShowSwitches(bool hidden, bool anonymous) {
    hide_->setChecked(hidden);
    anonymous_->setChecked(anonymous);
    reveal_->setEnabled(hidden);
}

void TPlanBoard::UpdateTexts() {
    hide_->setText(MessageTexts[MessageKey::PlanHideAnswers]);
    reveal_->setText(MessageTexts[MessageKey::PlanReveal]);
    anonymous_->setText(MessageTexts[MessageKey::PlanAnonymous]);
    previous_->setText(MessageTexts[MessageKey::PlanPrevious]);
    repeat_->setText(MessageTexts[MessageKey::PlanRepeat]);
    next_->setText(MessageTexts[MessageKey::PlanNext]);
    add30_->setText(MessageTexts[MessageKey::PlanAdd30]);
    add60_->setText(MessageTexts[MessageKey::PlanAdd60]);
    pause_->setText(MessageTexts[paused_ ? MessageKey::PlanResume : MessageKey::PlanPause]);
}

void TPlanBoard::FitTo(QSize area) {
    // Digits a seventh of the view's height: some 100 pixels on a projector
    // of 768 lines, readable from the back of a classroom.
    QFont digits = digits_->font();
    digits.setPixelSize(std::max(40, area.height() / 7));
    digits_->setFont(digits);
    QFont small = font();
    small.setPixelSize(std::max(12, area.height() / 55));
    for (QToolButton *b :
         {previous_, repeat_, next_, add30_, add60_, pause_, hide_, reveal_, anonymous_}) {
        b->setFont(small);
    }
    const QSize wanted = sizeHint();
    const int width = std::max(wanted.width(), digits.pixelSize() * 3);
    resize(width, wanted.height());
    move(area.width() - width - 12, 12);
}

} // namespace lumora
