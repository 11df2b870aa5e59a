#include "views/PictureOverlay.h"

#include <QKeyEvent>
#include <QPainter>

namespace lumora {

namespace {
constexpr int kCaptionHeight = 56;
constexpr int kHintHeight = 48;
constexpr int kSide = 40;
} // namespace

TPictureOverlay::TPictureOverlay(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlPictureLarge"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    hide();
}

void TPictureOverlay::Show(const QImage &picture, const QString &caption, const QString &hint) {
    picture_ = picture;
    caption_ = caption;
    hint_ = hint;
    setGeometry(parentWidget()->rect());
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

QRect TPictureOverlay::PictureRect() const {
    const QRect area = rect().adjusted(kSide, kCaptionHeight, -kSide, -kHintHeight);
    QSize size = picture_.size();
    if (size.isEmpty() || area.isEmpty()) {
        return QRect();
    }
    size.scale(area.size(), Qt::KeepAspectRatio);
    return QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

void TPictureOverlay::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), QColor(16, 32, 48, 225));
    const QRect target = PictureRect();
    if (!target.isEmpty()) {
        // A white margin: the sheet's own white would meet the veil unframed.
        p.fillRect(target.adjusted(-6, -6, 6, 6), Qt::white);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(target, picture_);
    }
    QFont f = font();
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, width(), kCaptionHeight), Qt::AlignCenter, caption_);
    f.setPixelSize(13);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0xc9, 0xd6, 0xe3));
    p.drawText(QRect(0, height() - kHintHeight, width(), kHintHeight), Qt::AlignCenter, hint_);
}

void TPictureOverlay::mousePressEvent(QMouseEvent *) {
    hide();
}

void TPictureOverlay::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace lumora
