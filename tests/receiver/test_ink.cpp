#include "InkBrush.h"
#include "InkRenderer.h"
#include "StrokeSmoother.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace penlynx {
namespace {

std::vector<int> TileRows(int phaseX, int phaseY, int rows) {
    const CInkBrush &brush = CInkBrush::Standard();
    const uint8_t *tile = brush.Tile(phaseX, phaseY);
    return std::vector<int>(tile, tile + rows * brush.Side());
}

TEST(InkBrush, CoverageTilesMatchTheBrushProfile) {
    EXPECT_EQ(CInkBrush::Standard().Side(), 5);
    EXPECT_EQ(CInkBrush::Standard().CentreOffset(), 2);
    EXPECT_EQ(TileRows(0, 0, 5), (std::vector<int>{0,  20,  20,  0,  0, //
                                                   20, 154, 154, 20, 0, //
                                                   20, 154, 154, 20, 0, //
                                                   0,  20,  20,  0,  0, //
                                                   0,  0,   0,   0,  0}));
    EXPECT_EQ(TileRows(4, 0, 4), (std::vector<int>{0, 9,  26,  9,  0, //
                                                   0, 73, 198, 73, 0, //
                                                   0, 73, 198, 73, 0, //
                                                   0, 9,  26,  9,  0}));
    // Phase (0, 4) is phase (4, 0) transposed.
    const CInkBrush &brush = CInkBrush::Standard();
    for (int r = 0; r < 5; ++r) {
        for (int q = 0; q < 5; ++q) {
            EXPECT_EQ(brush.Tile(0, 4)[r * 5 + q], brush.Tile(4, 0)[q * 5 + r]);
        }
    }
}

// Every phase's tile stamped on every channel value: each covered pixel is
// blended exactly as old + ((ink - old) * coverage) / 256, rounded down.
TEST(InkRenderer, StampsBlendEveryChannelValueExactly) {
    const CInkBrush &brush = CInkBrush::Standard();
    const int side = brush.Side();
    std::vector<uint32_t> pixels(16 * 16);
    for (int value = 0; value < 256; ++value) {
        const uint32_t colour = 0xFF000000u | static_cast<uint32_t>(value) << 16 |
                                static_cast<uint32_t>(255 - value) << 8 |
                                static_cast<uint32_t>((value * 7) & 0xFF);
        for (int phase = 0; phase < 64; ++phase) {
            const int phaseX = phase / 8;
            const int phaseY = phase % 8;
            std::fill(pixels.begin(), pixels.end(), colour);
            CInkRenderer renderer(16, 16);
            renderer.Attach(MemorySurface{pixels.data(), 16, 16, 16});
            // Tile origin (4, 4); the placement offset is -16 on both axes.
            renderer.StampAt({4 * 8 + phaseX + 16, 4 * 8 + phaseY + 16});
            const uint8_t *tile = brush.Tile(phaseX, phaseY);
            for (int row = 0; row < side; ++row) {
                for (int col = 0; col < side; ++col) {
                    const int v = tile[row * side + col];
                    uint32_t expected = colour;
                    if (v != 0) {
                        expected = 0xFF000000u;
                        for (int shift : {16, 8, 0}) {
                            const int old = static_cast<int>((colour >> shift) & 0xFF);
                            const int now = v == 255 ? 0 : old + (((0 - old) * v) >> 8);
                            expected |= static_cast<uint32_t>(now) << shift;
                        }
                    }
                    ASSERT_EQ(pixels[static_cast<size_t>((4 + row) * 16 + 4 + col)], expected)
                        << "value " << value << " phase " << phaseX << "," << phaseY << " at "
                        << col << "," << row;
                }
            }
        }
    }
}

// The stamp positions of a line as the drawing rules give them, one
// Bresenham step at a time.
std::vector<SubPixelPoint> ReferenceStamps(SubPixelPoint from, SubPixelPoint to) {
    const int32_t dx = to.x - from.x, dy = to.y - from.y;
    const int32_t kx = dx < 0 ? -1 : 1, ky = dy < 0 ? -1 : 1;
    const int32_t adx = std::abs(dx), ady = std::abs(dy);
    std::vector<SubPixelPoint> stamps;
    int32_t countdown = CInkRenderer::kStep - 1;
    const bool alongX = adx >= ady;
    const int32_t n = alongX ? adx : ady;
    int32_t error = alongX ? 2 * ady - adx : 2 * adx - ady;
    SubPixelPoint at =
        alongX ? SubPixelPoint{from.x + kx, from.y} : SubPixelPoint{from.x, from.y + ky};
    for (int32_t i = 0; i < n; ++i) {
        if (error > 0) {
            error += alongX ? 2 * (ady - adx) : 2 * (adx - ady);
            (alongX ? at.y : at.x) += alongX ? ky : kx;
        } else {
            error += alongX ? 2 * ady : 2 * adx;
        }
        if (countdown <= 0) {
            countdown = CInkRenderer::kStep;
            stamps.push_back(at);
        }
        (alongX ? at.x : at.y) += alongX ? kx : ky;
        --countdown;
    }
    return stamps;
}

// Lines in every direction and of every slope land their stamps where the
// step-by-step rule puts them.
TEST(InkRenderer, LinesStampWhereTheStepRulePutsThem) {
    std::mt19937 random(12);
    std::uniform_int_distribution<int32_t> coordinate(0, 8 * 60);
    std::vector<uint32_t> drawn(64 * 64), expected(64 * 64);
    for (int line = 0; line < 2000; ++line) {
        const SubPixelPoint from{coordinate(random), coordinate(random)};
        SubPixelPoint to{coordinate(random), coordinate(random)};
        if (line % 4 == 0) {
            to.y = from.y; // flat
        } else if (line % 4 == 1) {
            to.y = from.y + (to.x - from.x); // diagonal
        }
        std::fill(drawn.begin(), drawn.end(), 0xFFFFFFFF);
        std::fill(expected.begin(), expected.end(), 0xFFFFFFFF);
        CInkRenderer renderer(64, 64), reference(64, 64);
        renderer.Attach(MemorySurface{drawn.data(), 64, 64, 64});
        reference.Attach(MemorySurface{expected.data(), 64, 64, 64});
        // Points carry the placement offset of -16 on both axes.
        renderer.StampAt({from.x + 16, from.y + 16});
        reference.StampAt({from.x + 16, from.y + 16});
        renderer.LineTo({to.x + 16, to.y + 16});
        for (const SubPixelPoint &stamp : ReferenceStamps(from, to)) {
            reference.StampAt({stamp.x + 16, stamp.y + 16});
        }
        ASSERT_EQ(renderer.LastStamp(), reference.LastStamp())
            << from.x << "," << from.y << " to " << to.x << "," << to.y;
        ASSERT_EQ(drawn, expected) << from.x << "," << from.y << " to " << to.x << "," << to.y;
    }
}

TEST(StrokeSmoother, FollowsThePenWithTrailingPoints) {
    CStrokeSmoother smoother;
    EXPECT_EQ(smoother.Reset(80, 80), (SubPixelPoint{80, 80}));
    using Points = std::array<SubPixelPoint, 3>;
    EXPECT_EQ(smoother.Update(160, 80), (Points{{{80, 80}, {89, 80}, {104, 80}}}));
    EXPECT_EQ(smoother.Update(240, 80), (Points{{{122, 80}, {144, 80}, {167, 80}}}));
    EXPECT_EQ(smoother.Update(240, 80), (Points{{{191, 80}, {207, 80}, {218, 80}}}));
    EXPECT_EQ(smoother.Update(240, 80), (Points{{{225, 80}, {230, 80}, {233, 80}}}));
}

TEST(StrokeSmoother, RepeatingTheStartPointStaysPut) {
    CStrokeSmoother smoother;
    smoother.Reset(80, 80);
    using Points = std::array<SubPixelPoint, 3>;
    EXPECT_EQ(smoother.Update(80, 80), (Points{{{80, 80}, {80, 80}, {80, 80}}}));
}

TEST(StrokeSmoother, DividesTowardZeroForNegativeCoordinates) {
    CStrokeSmoother left;
    CStrokeSmoother right;
    left.Reset(-80, -80);
    right.Reset(80, 80);
    const auto l = left.Update(-160, -160);
    const auto r = right.Update(160, 160);
    // The offset makes the two sides differ slightly, but truncation keeps
    // them within one unit of each other's mirror image.
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(-l[i].x, r[i].x, 1);
        EXPECT_NEAR(-l[i].y, r[i].y, 1);
    }
    EXPECT_EQ(l[0], (SubPixelPoint{-79, -79}));
}

// A white RGB32 bitmap with a border of guard words past its right edge.
struct Bitmap {
    static constexpr uint32_t kWhite = 0xFFFFFFFF;
    Bitmap(int w, int h, int guard = 0)
        : width(w), height(h), stride(w + guard), pixels(static_cast<size_t>(stride * h), kWhite) {}
    MemorySurface Surface() { return {pixels.data(), width, height, stride}; }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * stride + x)]; }
    int Changed() const {
        int n = 0;
        for (uint32_t p : pixels) {
            n += p != kWhite;
        }
        return n;
    }
    int width, height, stride;
    std::vector<uint32_t> pixels;
};

uint32_t Grey(int v) {
    return 0xFF000000u | uint32_t(v) << 16 | uint32_t(v) << 8 | uint32_t(v);
}

TEST(InkRenderer, FirstStampBlendsOntoWhite) {
    Bitmap bitmap(20, 20);
    CInkRenderer renderer(20, 20);
    renderer.Attach(bitmap.Surface());
    renderer.StampAt({80, 80});
    EXPECT_EQ(renderer.LastStamp(), (SubPixelPoint{64, 64}));
    for (auto [x, y] : {std::pair{9, 9}, {10, 9}, {9, 10}, {10, 10}}) {
        EXPECT_EQ(bitmap.At(x, y), Grey(101)) << x << "," << y;
    }
    for (auto [x, y] :
         {std::pair{9, 8}, {10, 8}, {8, 9}, {11, 9}, {8, 10}, {11, 10}, {9, 11}, {10, 11}}) {
        EXPECT_EQ(bitmap.At(x, y), Grey(235)) << x << "," << y;
    }
    EXPECT_EQ(bitmap.Changed(), 12);
}

TEST(InkRenderer, SecondStampDarkensAndLeavesBlackAlone) {
    Bitmap bitmap(20, 20);
    bitmap.pixels[static_cast<size_t>(9 * 20 + 9)] = 0xFF000000; // already black
    CInkRenderer renderer(20, 20);
    renderer.Attach(bitmap.Surface());
    renderer.StampAt({80, 80});
    renderer.StampAt({80, 80});
    EXPECT_EQ(bitmap.At(9, 9), 0xFF000000u);
    // 101 + ((0 - 101) * 154 >> 8) = 101 - 61 = 40
    EXPECT_EQ(bitmap.At(10, 10), Grey(40));
    // 235 + ((0 - 235) * 20 >> 8) = 235 - 19 = 216
    EXPECT_EQ(bitmap.At(10, 8), Grey(216));
}

TEST(InkRenderer, BlendsEachChannelOnItsOwn) {
    Bitmap bitmap(20, 20);
    std::fill(bitmap.pixels.begin(), bitmap.pixels.end(), 0xFF4080C0u);
    CInkRenderer renderer(20, 20);
    renderer.Attach(bitmap.Surface());
    renderer.StampAt({80, 80});
    // Each channel: old + ((0 - old) * 154 >> 8).
    const auto blend = [](int old) { return old + ((-old * 154) >> 8); };
    EXPECT_EQ(bitmap.At(9, 9), 0xFF000000u | uint32_t(blend(0x40)) << 16 |
                                   uint32_t(blend(0x80)) << 8 | uint32_t(blend(0xC0)));
}

TEST(InkRenderer, ClipsAtTheTopLeftCorner) {
    Bitmap bitmap(20, 20);
    CInkRenderer renderer(20, 20);
    renderer.Attach(bitmap.Surface());
    renderer.StampAt({0, 0}); // tile origin (-2, -2)
    // Only tile rows and columns 2..4 fall inside: tile (2, 2) is 154,
    // (3, 2) and (2, 3) are 20, the rest 0.
    EXPECT_EQ(bitmap.At(0, 0), Grey(101));
    EXPECT_EQ(bitmap.At(1, 0), Grey(235));
    EXPECT_EQ(bitmap.At(0, 1), Grey(235));
    EXPECT_EQ(bitmap.Changed(), 3);
}

TEST(InkRenderer, NeverWritesPastTheDrawingAreaOrTheBitmap) {
    // Drawing area 10 x 10 inside a bitmap of 16 x 16: nothing outside 10 x 10.
    Bitmap big(16, 16);
    CInkRenderer renderer(10, 10);
    renderer.Attach(big.Surface());
    renderer.StampAt({8 * 9, 8 * 9});
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (x >= 10 || y >= 10) {
                EXPECT_EQ(big.At(x, y), Bitmap::kWhite) << x << "," << y;
            }
        }
    }
    // A bitmap smaller than the drawing area is clipped to itself; the guard
    // words past each row stay untouched.
    Bitmap small(6, 6, 4);
    CInkRenderer wide(100, 100);
    wide.Attach(small.Surface());
    wide.StampAt({8 * 6, 8 * 6});
    wide.StampAt({8 * 3, 8 * 6});
    for (int y = 0; y < 6; ++y) {
        for (int x = 6; x < 10; ++x) {
            EXPECT_EQ(small.At(x, y), Bitmap::kWhite);
        }
    }
    EXPECT_GT(small.Changed(), 0);
}

TEST(InkRenderer, LinesStampOncePerPixelFromTheLastStamp) {
    Bitmap bitmap(40, 20);
    CInkRenderer renderer(40, 20);
    renderer.Attach(bitmap.Surface());
    renderer.StampAt({80, 80});
    renderer.LineTo({80 + 8 * 5 + 3, 80}); // five whole pixels and a bit
    EXPECT_EQ(renderer.LastStamp(), (SubPixelPoint{64 + 40, 64}));
    // The remaining 3 sub-pixels draw nothing; the next line starts at the last stamp.
    renderer.LineTo({80 + 8 * 5 + 3, 80});
    EXPECT_EQ(renderer.LastStamp(), (SubPixelPoint{64 + 40, 64}));
    // The row through the stroke is dark from the first to the last stamp.
    for (int x = 9; x <= 15; ++x) {
        EXPECT_LT(bitmap.At(x, 9) & 0xFF, 110u) << x;
    }
    EXPECT_EQ(bitmap.At(17, 9), Bitmap::kWhite);
}

TEST(InkRenderer, SteepLinesStepAlongY) {
    Bitmap bitmap(20, 40);
    CInkRenderer renderer(20, 40);
    renderer.Attach(bitmap.Surface());
    renderer.StampAt({80, 80});
    renderer.LineTo({83, 80 + 8 * 10});
    EXPECT_EQ(renderer.LastStamp().y, 64 + 80);
    EXPECT_EQ(renderer.LastStamp().x, 64 + 3);
}

TEST(InkRenderer, WithoutASurfaceTheStrokeStillAdvances) {
    CInkRenderer renderer(20, 20);
    renderer.Attach(NullSurface{});
    renderer.StampAt({80, 80});
    renderer.LineTo({160, 80});
    EXPECT_EQ(renderer.LastStamp(), (SubPixelPoint{64 + 80, 64}));
}

// A per-pixel surface like a device context, which logs every access.
class LoggingSurface : public PixelSurface {
public:
    uint32_t Read(int32_t px, int32_t py) override {
        ++reads;
        return px == 9 && py == 9 ? 0 : 0xFFFFFF;
    }
    void Write(int32_t, int32_t, uint32_t) override { ++writes; }
    int reads = 0;
    int writes = 0;
};

TEST(InkRenderer, PerPixelSurfacesSkipInkAndFullCoverage) {
    LoggingSurface surface;
    CInkRenderer renderer(20, 20);
    renderer.Attach(&surface);
    renderer.StampAt({80, 80});
    // 12 partly covered pixels are read; the one already black is not written.
    EXPECT_EQ(surface.reads, 12);
    EXPECT_EQ(surface.writes, 11);
}

} // namespace
} // namespace penlynx
