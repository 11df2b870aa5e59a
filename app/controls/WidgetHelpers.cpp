#include "controls/WidgetHelpers.h"

#include "platform/ProgramFont.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

static void InitSkinQrc() {
    Q_INIT_RESOURCE(skin);
}

namespace lumora {

QFont LumoraFont() {
    // The first family present wins (platform/ProgramFont.h).
    const QStringList families = ProgramFontFamilies();
    QFont font(families.first());
    font.setFamilies(families);
    font.setPixelSize(12);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void RoundWindow(QWidget *window, int cornerWidth, int cornerHeight) {
    if (!window || window->width() <= 0 || window->height() <= 0)
        return;
    // A one-bit mask is what a window region is: no antialiasing, so the
    // corners stay crisp on every platform.
    QBitmap mask(window->size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRectF(window->rect()), cornerWidth / 2.0, cornerHeight / 2.0);
    painter.end();
    window->setMask(mask);
    window->update();
}

void InitSkinResources() {
    static const bool done = (InitSkinQrc(), true);
    Q_UNUSED(done);
}

QImage SkinImage(const QString &name, qreal ratio) {
    InitSkinResources();
    const QString path = QStringLiteral(":/skin/") + name;
    if (ratio > 1) {
        // The reader gives the painting for 200 % its device pixel ratio of 2
        // from the name.
        QImage twice = QImageReader(path + QStringLiteral("@2x.png")).read();
        if (!twice.isNull()) {
            if (ratio == twice.devicePixelRatio())
                return twice;
            const QSizeF size = twice.deviceIndependentSize() * ratio;
            QImage image = twice.scaled(qRound(size.width()), qRound(size.height()),
                                        Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            image.setDevicePixelRatio(ratio);
            return image;
        }
    }
    return QImageReader(path + QStringLiteral(".png")).read();
}

QImage SkinImage(const QString &name) {
    return SkinImage(name, qApp != nullptr ? qApp->devicePixelRatio() : 1.0);
}

QPixmap SkinPicture(const QString &name) {
    return QPixmap::fromImage(SkinImage(name));
}

TSkinStrip::TSkinStrip(const QString &left, const QString &centre, const QString &right,
                       QWidget *parent)
    : QWidget(parent), left_(SkinPicture(left)), centre_(SkinPicture(centre)),
      right_(SkinPicture(right)) {}

void TSkinStrip::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const int l = left_.isNull() ? 0 : qRound(left_.deviceIndependentSize().width());
    const int r = right_.isNull() ? 0 : qRound(right_.deviceIndependentSize().width());
    if (!centre_.isNull()) {
        p.drawPixmap(QRect(l, 0, width() - l - r, height()), centre_);
    }
    if (!left_.isNull()) {
        p.drawPixmap(QRect(0, 0, l, height()), left_);
    }
    if (!right_.isNull()) {
        p.drawPixmap(QRect(width() - r, 0, r, height()), right_);
    }
}

} // namespace lumora
