#include "controls/TileImage.h"

#include "controls/InkSheet.h"
#include "core/GridLayout.h"

#include <QPaintEvent>
#include <QPainter>

namespace lumora {

TTileImage::TTileImage(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
}

void TTileImage::SetPicture(const QImage &picture) {
    if (picture.cacheKey() == picture_.cacheKey() && !picture.isNull())
        return; // the same picture again (the presence update, once a second)
    picture_ = picture;
    if (!picture_.isNull())
        resize((picture_.deviceIndependentSize() * scale_).toSize());
    update();
}

void TTileImage::SetScale(double scale) {
    if (scale == scale_)
        return;
    scale_ = scale;
    if (!picture_.isNull())
        resize((picture_.deviceIndependentSize() * scale_).toSize());
    update();
}

void TTileImage::SetMarked(bool marked) {
    if (marked_ == marked)
        return;
    marked_ = marked;
    update(0, 0, width(), kWritingMarkHeight);
}

QRect TTileImage::SheetRect() const {
    return ink_ ? FitRect(ink_->Size(), size()) : QRect();
}

void TTileImage::PaintMark(QPainter &p, const QRegion &exposed) {
    // A bar along the top edge: seen from the back of the room.
    const QRect bar(0, 0, width(), kWritingMarkHeight);
    if (!marked_ || !exposed.intersects(bar))
        return;
    p.setClipRegion(exposed & QRegion(bar));
    p.fillRect(bar, kWritingMark);
}

void TTileImage::paintEvent(QPaintEvent *event) {
    ++paints_;
    QPainter p(this);
    if (ink_) {
        const QRect sheet = SheetRect();
        if (sheet.isEmpty())
            return;
        p.setClipRegion(event->region() - QRegion(sheet));
        p.fillRect(rect(), kInkSurround);
        if (ink_->IsBlank()) {
            p.setClipRegion(event->region() & QRegion(sheet));
            p.fillRect(sheet, Qt::white);
            PaintMark(p, event->region());
            return;
        }
        // Only the exposed part is drawn: while students write, that is a few
        // small rectangles. The same scale for every part, so the parts meet
        // without seams.
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QImage &ink = ink_->Grey();
        const qreal sx = qreal(ink.width()) / sheet.width();
        const qreal sy = qreal(ink.height()) / sheet.height();
        for (const QRect &exposed : event->region()) {
            const QRect part = exposed & sheet;
            if (part.isEmpty())
                continue;
            const QRect inSheet = part.translated(-sheet.topLeft());
            const QRect source = QRectF(inSheet.x() * sx, inSheet.y() * sy, inSheet.width() * sx,
                                        inSheet.height() * sy)
                                     .toAlignedRect()
                                     .adjusted(-1, -1, 1, 1)
                                     .intersected(ink.rect());
            const QRectF target(sheet.x() + source.x() / sx, sheet.y() + source.y() / sy,
                                source.width() / sx, source.height() / sy);
            p.setClipRect(part);
            // The painter scales 32-bit pixels fastest: the few grey pixels
            // of the part go over first.
            p.drawImage(target, ink.copy(source).convertToFormat(QImage::Format_RGB32));
        }
        PaintMark(p, event->region());
    } else if (!picture_.isNull()) {
        if (scale_ == 1) {
            p.drawImage(QPoint(0, 0), picture_);
        } else {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(rect(), picture_);
        }
    }
}

} // namespace lumora
