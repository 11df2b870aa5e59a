// Handwriting kept as grey sheets drawn through one shared 32-bit sheet: the
// same pixels as drawing straight into a bitmap of its own, whatever other
// students left in the shared sheet; and panes that keep the writing's shape.
#include "controls/InkSheet.h"
#include "controls/Stdpanel.h"
#include "core/GridLayout.h"
#include "core/InkReach.h"
#include "penlynx.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumora {
namespace {

struct Call {
    int x, y, kind;
};

// A pen wandering over and past a sheet: slow and fast moves, long jumps,
// strokes that begin outside it, and a continuation that never began.
std::vector<Call> Wander(uint32_t seed, QSize size, int calls) {
    QRandomGenerator random(seed);
    std::vector<Call> out;
    int x = size.width() / 2, y = size.height() / 2;
    bool down = false;
    for (int i = 0; i < calls; ++i) {
        const int mode = random.bounded(20);
        if (mode == 0) {
            down = false; // pen up: the next point begins a stroke
            continue;
        }
        const int step = mode < 12 ? 3 : (mode < 18 ? 25 : 120);
        x += random.bounded(-step, step + 1);
        y += random.bounded(-step, step + 1);
        x = std::clamp(x, -60, size.width() + 60);
        y = std::clamp(y, -60, size.height() + 60);
        out.push_back({x, y, down ? 2 : 1});
        down = true;
    }
    return out;
}

#ifdef _WIN32
// A bitmap of its own as a Windows program has it: a memory device context
// with a 32-bit top-down DIB section, white, which SDKDraw draws into.
class Direct {
public:
    explicit Direct(QSize size) : size_(size) {
        dc_ = ::CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = size.width();
        info.bmiHeader.biHeight = -size.height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *bits = nullptr;
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t *>(bits);
        original_ = ::SelectObject(dc_, bitmap_);
        std::fill(bits_, bits_ + size.width() * size.height(), 0x00FFFFFFu);
    }
    ~Direct() {
        ::SelectObject(dc_, original_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    Direct(const Direct &) = delete;
    Direct &operator=(const Direct &) = delete;
    void Draw(int slot, int x, int y, int kind) {
        SDKDraw(slot, dc_, x, y, kind);
        ::GdiFlush();
    }
    QImage Picture() const {
        QImage image(size_, QImage::Format_RGB32);
        for (int y = 0; y < size_.height(); ++y) {
            auto *row = reinterpret_cast<uint32_t *>(image.scanLine(y));
            for (int x = 0; x < size_.width(); ++x) {
                row[x] = 0xFF000000u | bits_[y * size_.width() + x];
            }
        }
        return image;
    }

private:
    QSize size_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    uint32_t *bits_ = nullptr;
};
#else
// A bitmap of its own: a QImage drawn into as a PenlynxSurface.
class Direct {
public:
    explicit Direct(QSize size) : image_(size, QImage::Format_RGB32) { image_.fill(Qt::white); }
    void Draw(int slot, int x, int y, int kind) {
        PenlynxSurface surface{reinterpret_cast<uint32_t *>(image_.bits()), image_.width(),
                               image_.height(), static_cast<int32_t>(image_.bytesPerLine())};
        SDKDraw(slot, &surface, x, y, kind);
    }
    QImage Picture() const { return image_; }

private:
    QImage image_;
};
#endif

void DrawDirect(Direct &direct, int slot, const Call &c) {
    direct.Draw(slot, c.x, c.y, c.kind);
}

TEST(InkSheet, GivesThePixelsOfABitmapOfItsOwn) {
    const QSize size(300, 200);
    ASSERT_EQ(SDKIni(size.width(), size.height()), 1);
    // Two students through the shared sheet, the same two straight into
    // bitmaps of their own; the second writes densely over the first's area,
    // so that any pixel the first reads outside its reach is someone else's.
    TInkSheet first(size), second(size);
    Direct firstDirect(size), secondDirect(size);
    const std::vector<Call> a = Wander(1, size, 3000);
    const std::vector<Call> b = Wander(2, size, 6000);
    // A continuation that never began: the library draws from wherever its
    // last stroke ended, and the sheet must follow it there.
    const Call stray{150, 100, 2};
    first.Draw(0, stray.x, stray.y, stray.kind);
    DrawDirect(firstDirect, 2, stray);
    for (size_t i = 0; i < b.size(); ++i) {
        if (i < a.size()) {
            first.Draw(0, a[i].x, a[i].y, a[i].kind);
            DrawDirect(firstDirect, 2, a[i]);
        }
        second.Draw(1, b[i].x, b[i].y, b[i].kind);
        DrawDirect(secondDirect, 3, b[i]);
    }
    SDKClear();
    EXPECT_FALSE(first.IsBlank());
    EXPECT_TRUE(first.Picture() == firstDirect.Picture());
    EXPECT_TRUE(second.Picture() == secondDirect.Picture());
}

TEST(InkSheet, ReportsWhatChangedAndStaysBlankOutsideItself) {
    const QSize size(120, 80);
    ASSERT_EQ(SDKIni(size.width(), size.height()), 1);
    TInkSheet sheet(size);
    // A stroke wholly outside the sheet makes no pixels.
    EXPECT_TRUE(sheet.Draw(0, -40, -40, 1).isEmpty());
    EXPECT_TRUE(sheet.Draw(0, -30, -45, 2).isEmpty());
    EXPECT_TRUE(sheet.IsBlank());
    QImage before = sheet.Picture();
    const QRect changed = sheet.Draw(0, 60, 40, 1);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(changed));
    const QImage after = sheet.Picture();
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (after.pixel(x, y) != before.pixel(x, y)) {
                EXPECT_TRUE(changed.contains(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_LT(qGray(after.pixel(60, 40)), 128);
    sheet.Clear();
    EXPECT_TRUE(sheet.IsBlank());
    EXPECT_TRUE(sheet.Picture() == before);
    // Kinds other than 1 and 2 draw nothing.
    EXPECT_TRUE(sheet.Draw(0, 60, 40, 0).isEmpty());
    EXPECT_TRUE(sheet.Draw(0, 60, 40, 7).isEmpty());
    EXPECT_TRUE(sheet.IsBlank());
    SDKClear();
}

TEST(InkReach, EveryPixelADrawingCallChangesLiesWithinIt) {
    const QSize size(200, 150);
    ASSERT_EQ(SDKIni(size.width(), size.height()), 1);
    Direct direct(size);
    QImage image = direct.Picture();
    InkReach reach;
    for (const Call &c : Wander(7, size, 2500)) {
        const QImage before = image;
        const QRect r = reach.Next(c.x, c.y, c.kind);
        DrawDirect(direct, 5, c);
        image = direct.Picture();
        for (int y = 0; y < size.height(); ++y) {
            const auto *now = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            const auto *was = reinterpret_cast<const QRgb *>(before.constScanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                if (now[x] != was[x]) {
                    ASSERT_TRUE(r.contains(x, y)) << x << "," << y << " " << c.x << "," << c.y;
                }
            }
        }
        // Small: a few pixels around the newest points, not the page.
        if (c.kind == 1) {
            EXPECT_EQ(r.size(), QSize(5, 5));
        }
    }
    SDKClear();
}

TEST(FitRect, KeepsTheShapeCentredInEveryPaneLayout) {
    struct Case {
        QSize source, area;
        QRect fitted;
    } const cases[] = {
        {{790, 508}, {792, 306}, {158, 0, 476, 306}},  // six panes: height decides
        {{790, 508}, {1585, 989}, {23, 0, 1538, 989}}, // one pane, zoomed
        {{790, 508}, {527, 309}, {23, 0, 481, 309}},   // nine panes
        {{790, 508}, {792, 480}, {23, 0, 746, 480}},   // four panes
        {{200, 100}, {100, 300}, {0, 125, 100, 50}},   // width decides
        {{200, 100}, {400, 200}, {0, 0, 400, 200}},    // the same shape fills it
        {{200, 100}, {0, 300}, {}},
        {{0, 100}, {300, 300}, {}},
    };
    for (const Case &c : cases) {
        const QRect fitted = FitRect(c.source, c.area);
        EXPECT_EQ(fitted, c.fitted) << c.area.width() << "x" << c.area.height();
        if (!fitted.isEmpty()) {
            const double shape = double(c.source.width()) / c.source.height();
            EXPECT_NEAR(double(fitted.width()) / fitted.height(), shape, shape * 0.01);
        }
    }
}

// The extent of dark pixels across and down a picture.
QSize DarkExtent(const QImage &picture) {
    int left = picture.width(), right = -1, top = picture.height(), bottom = -1;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QSize() : QSize(right - left + 1, bottom - top + 1);
}

TEST(InkPane, ASquareStaysSquareInEveryPaneShape) {
    InkWidth = 200;
    InkHeight = 100;
    TStdChannel pane(nullptr, true);
    // A square of 60 x 60 ink pixels.
    *pane.InkImage() = QImage(InkWidth, InkHeight, QImage::Format_Grayscale8);
    pane.InkImage()->fill(0xFF);
    QPainter(pane.InkImage()).fillRect(70, 20, 60, 60, Qt::black);
    // Wide and flat (six panes), tall and narrow, the ink's own shape, zoomed.
    for (const QSize tile : {QSize(400, 182), QSize(150, 300), QSize(202, 132), QSize(900, 632)}) {
        pane.SetBounds(QRect(QPoint(0, 0), tile));
        const QImage picture = pane.TileImage()->grab().toImage();
        const QRect sheet = pane.TileImage()->SheetRect();
        const QSize dark = DarkExtent(picture);
        ASSERT_FALSE(dark.isEmpty()) << tile.width();
        EXPECT_NEAR(double(dark.width()) / dark.height(), 1.0, 0.08) << tile.width();
        // Outside the sheet the surround colour, inside it white paper.
        if (sheet.left() > 0) {
            EXPECT_EQ(picture.pixelColor(sheet.left() / 2, picture.height() / 2), kInkSurround);
        }
        if (sheet.top() > 0) {
            EXPECT_EQ(picture.pixelColor(picture.width() / 2, sheet.top() / 2), kInkSurround);
        }
        EXPECT_EQ(picture.pixelColor(sheet.left() + 2, sheet.top() + 2), QColor(Qt::white));
    }
    InkWidth = InkHeight = 0;
}

} // namespace
} // namespace lumora
