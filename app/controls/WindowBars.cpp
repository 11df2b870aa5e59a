#include "controls/WindowBars.h"

#include "controls/SkinButton.h"

#include <QHBoxLayout>
#include <QLabel>

namespace lumora {

TImageButton *StripButton(const QString &name, QSize size, QWidget *strip) {
    auto *button = new TImageButton(strip);
    button->setObjectName(name);
    SetSkinPictures(button, name);
    button->setFixedSize(size);
    button->SetTransparent(true);
    return button;
}

TTitleBar::TTitleBar(QWidget *parent)
    : TSkinStrip(QStringLiteral("title_left"), QStringLiteral("title_center"),
                 QStringLiteral("title_right"), parent) {
    setObjectName(QStringLiteral("pnlTop"));
    setFixedHeight(35);
    title_ = new QLabel(QStringLiteral("Vote System"), this);
    title_->setObjectName(QStringLiteral("lbl2"));
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPixelSize(14);
    title_->setFont(titleFont);
    title_->setStyleSheet(QStringLiteral("color: white;"));
    title_->move(52, 9);
    min_ = StripButton(QStringLiteral("btnMin"), QSize(26, 18), this);
    close_ = StripButton(QStringLiteral("btnClose"), QSize(43, 18), this);
    // The window cannot be maximised: it covers the screen already.
    auto *max = new TImageButton(this);
    max->setObjectName(QStringLiteral("btnMax"));
    max->setEnabled(false);
    max->hide();
    connect(min_, &TBaseButton::OnClick, this, &TTitleBar::MinimiseClicked);
    connect(close_, &TBaseButton::OnClick, this, &TTitleBar::CloseClicked);
}

void TTitleBar::SetTitle(const QString &title) {
    title_->setText(title);
    title_->adjustSize();
}

void TTitleBar::SetCloseTip(const QString &tip) {
    close_->setToolTip(tip);
}

void TTitleBar::resizeEvent(QResizeEvent *event) {
    TSkinStrip::resizeEvent(event);
    const int right = width() - 8;
    close_->move(right - close_->width(), 0);
    min_->move(close_->x() - min_->width(), 0);
}

TBottomBar::TBottomBar(QWidget *parent)
    : TSkinStrip(QStringLiteral("bottom_left"), QStringLiteral("bottom_center"),
                 QStringLiteral("bottom_right"), parent) {
    setObjectName(QStringLiteral("pnlbottom"));
    // As high as the receiver indicator, which is not cut.
    setFixedHeight(26);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 0, 10, 0);
    row->setSpacing(8);
    answerKey_ = new QLabel(this);
    answerKey_->setObjectName(QStringLiteral("lblAns"));
    answerKey_->setStyleSheet(QStringLiteral("color: #0b3d66; font-weight: bold;"));
    answerKey_->hide();
    row->addWidget(answerKey_);
    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("lblProgress"));
    progress_->setStyleSheet(QStringLiteral("color: #0b3d66; font-weight: bold; font-size: 15px;"));
    progress_->hide();
    row->addSpacing(16);
    row->addWidget(progress_);
    plan_ = new QLabel(this);
    plan_->setObjectName(QStringLiteral("lblPlan"));
    plan_->setStyleSheet(QStringLiteral("color: #0b3d66; font-size: 15px;"));
    plan_->setTextFormat(Qt::PlainText);
    plan_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    plan_->hide();
    row->addSpacing(16);
    row->addWidget(plan_, 1);
    row->addStretch(1);
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("lblTime"));
    time_->setStyleSheet(QStringLiteral("color: #1f3b57;"));
    row->addWidget(time_);
    receiver_ = StripButton(QStringLiteral("btnUsbState"), QSize(24, 24), this);
    receiver_->SetTabStop(false);
    row->addWidget(receiver_);
}

void TBottomBar::ShowAnswerKey(const QString &text) {
    answerKey_->setText(text);
    answerKey_->setVisible(!text.isEmpty());
}

void TBottomBar::ShowProgress(const QString &text) {
    progress_->setText(text);
    progress_->setVisible(!text.isEmpty());
}

void TBottomBar::ShowPlan(const QString &counter, const QString &text) {
    // One line: the question's own line breaks become spaces.
    QString line = counter;
    if (!text.isEmpty()) {
        line += QStringLiteral("   ") + QString(text).replace(u'\n', u' ');
    }
    plan_->setText(line);
    plan_->setToolTip(text);
    plan_->setVisible(!counter.isEmpty());
}

void TBottomBar::ShowTime(const QString &text) {
    time_->setText(text);
}

void TBottomBar::SetReceiverPresent(bool present) {
    receiver_->setEnabled(present);
}

} // namespace lumora
