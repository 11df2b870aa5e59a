// PaintIcon: paints the program's icon (the mark of the title strip on a
// rounded square of the skin's blue) at the hicolor theme's sizes and writes
// them as PNG files. The icons in packaging/icons/ are this tool's output.
//
//   lumora_paint_icon write DIR   paint every size into DIR/<size>.png
//   lumora_paint_icon check DIR   compare DIR with a fresh painting (and no
//                                 other files there); exit 1 on a difference
//   lumora_paint_icon check-ico FILE DIR
//                                 compare the Windows icon FILE with the
//                                 PNG files of DIR: every image of FILE is
//                                 one of them, and every Windows size is there
//
// The Windows icon (packaging/windows/Lumora.ico) is made once from the PNG
// files by ImageMagick:
//   cd packaging/icons &&
//   convert 16.png 24.png 32.png 48.png 64.png 128.png 256.png ../windows/Lumora.ico
//
// The colours are the skin's (PaintSkin.cpp). Small sizes put the outline and
// the tick on whole pixels, so that 16 and 22 stay crisp.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QColor kBlue(0, 85, 142);
const QColor kBlueDark(0, 68, 111);
const QColor kSky(43, 140, 214);
const QColor kWhite(255, 255, 255);
const QColor kAmber(255, 184, 28);

const std::vector<int> kSizes = {16, 22, 24, 32, 48, 64, 128, 256};

QImage Paint(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double n = size;

    // The badge: a rounded square filling the canvas but for a thin margin,
    // lighter at the top like the title strip under a window's light.
    const double margin = size <= 24 ? 0.5 : std::round(n / 32.0) + 0.5;
    const QRectF badge(margin, margin, n - 2 * margin, n - 2 * margin);
    const double radius = n * 0.2;
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0, kSky);
    fill.setColorAt(1, kBlue);
    p.setPen(QPen(kBlueDark, std::max(1.0, n / 64.0)));
    p.setBrush(fill);
    p.drawRoundedRect(badge, radius, radius);

    // The tablet: a white rounded sheet with a blue tick and the amber pen dot,
    // in the proportions of the 21-pixel mark on the title strip.
    const double side = std::round(n * 0.62);
    const double at = std::round((n - side) / 2);
    const double unit = side / 21.0;
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRoundedRect(QRectF(at, at, side, side), 5 * unit, 5 * unit);
    const QPointF origin(at, at);
    const double tick = std::max(1.6, 2.8 * unit);
    p.setPen(QPen(kBlue, tick, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({origin + QPointF(5.2, 11) * unit, origin + QPointF(9.2, 15) * unit,
                              origin + QPointF(16, 7) * unit}));
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawEllipse(origin + QPointF(16.2, 16.2) * unit, 2.4 * unit, 2.4 * unit);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString FileOf(const QString &dir, int size) {
    return QDir(dir).filePath(QString::number(size) + ".png");
}

int Write(const QString &dir) {
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(dir));
        return 1;
    }
    for (int size : kSizes) {
        if (!Paint(size).save(FileOf(dir, size), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(FileOf(dir, size)));
            return 1;
        }
    }
    return 0;
}

// A size may differ from a fresh painting by 2 per channel (another build of
// the rasteriser); anything more means the icon and its painting have parted.
int Check(const QString &dir) {
    int bad = 0;
    QStringList expected;
    for (int size : kSizes) {
        expected << QString::number(size) + ".png";
        const QImage want = Paint(size);
        const QImage have = QImage(FileOf(dir, size)).convertToFormat(QImage::Format_ARGB32);
        if (have.size() != want.size()) {
            std::fprintf(stderr, "%s: %dx%d, painted %dx%d\n", qPrintable(FileOf(dir, size)),
                         have.width(), have.height(), size, size);
            ++bad;
            continue;
        }
        int worst = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb a = want.pixel(x, y), b = have.pixel(x, y);
                worst =
                    std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            }
        }
        if (worst > 2) {
            std::fprintf(stderr, "%s differs from its painting by %d\n",
                         qPrintable(FileOf(dir, size)), worst);
            ++bad;
        }
    }
    for (const QString &name : QDir(dir).entryList(QDir::Files)) {
        if (!expected.contains(name)) {
            std::fprintf(stderr, "%s is not a painted size\n", qPrintable(name));
            ++bad;
        }
    }
    std::printf("%d icon sizes checked, %d differ\n", int(kSizes.size()), bad);
    return bad == 0 ? 0 : 1;
}

// The sizes of a Windows icon: the hicolor sizes but 22, which Windows never asks for.
int CheckIco(const QString &file, const QString &dir) {
    QImageReader reader(file, "ico");
    if (!reader.canRead()) {
        std::fprintf(stderr, "%s: not an icon that Qt reads (%s)\n", qPrintable(file),
                     qPrintable(reader.errorString()));
        return 1;
    }
    std::vector<int> found;
    int bad = 0;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) {
            ++bad;
            break;
        }
        const QImage have = reader.read().convertToFormat(QImage::Format_ARGB32);
        const int size = have.width();
        const QImage want = QImage(FileOf(dir, size)).convertToFormat(QImage::Format_ARGB32);
        if (have.isNull() || want.size() != have.size()) {
            std::fprintf(stderr, "%s: image %d (%dx%d) has no PNG of its size\n", qPrintable(file),
                         i, have.width(), have.height());
            ++bad;
            continue;
        }
        found.push_back(size);
        int worst = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb a = want.pixel(x, y), b = have.pixel(x, y);
                // Fully transparent pixels may keep any colour.
                if (qAlpha(a) == 0 && qAlpha(b) == 0) {
                    continue;
                }
                worst =
                    std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            }
        }
        if (worst > 2) {
            std::fprintf(stderr, "%s: the %dx%d image differs from %s by %d\n", qPrintable(file),
                         size, size, qPrintable(FileOf(dir, size)), worst);
            ++bad;
        }
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        if (std::find(found.begin(), found.end(), size) == found.end()) {
            std::fprintf(stderr, "%s: no %dx%d image\n", qPrintable(file), size, size);
            ++bad;
        }
    }
    std::printf("%d icon images checked, %d differ\n", count, bad);
    return bad == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == "write" && argc == 3) {
        return Write(QString::fromLocal8Bit(argv[2]));
    }
    if (command == "check" && argc == 3) {
        return Check(QString::fromLocal8Bit(argv[2]));
    }
    if (command == "check-ico" && argc == 4) {
        return CheckIco(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    std::fprintf(stderr, "usage: %s write DIR | check DIR | check-ico FILE DIR\n", argv[0]);
    return 2;
}
