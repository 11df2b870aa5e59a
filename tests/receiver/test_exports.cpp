#include "CallbackRecorder.h"
#include "Receiver.h"
#include "penlynx.h"

#include <gtest/gtest.h>

#include <vector>

namespace penlynx {
namespace {

using test::CallbackRecorder;

class ExportsTest : public ::testing::Test {
protected:
    void TearDown() override { SDKClear(); }
};

TEST_F(ExportsTest, ClearWithoutInstanceSucceedsEveryTime) {
    EXPECT_EQ(SDKClear(), 1);
    EXPECT_EQ(SDKClear(), 1);
    EXPECT_EQ(CurrentInstance(), nullptr);
}

TEST_F(ExportsTest, SecondIniReleasesAndThirdCreatesAfresh) {
    EXPECT_EQ(SDKIni(800, 500), 1);
    ASSERT_NE(CurrentInstance(), nullptr);
    EXPECT_EQ(CurrentInstance()->drawWidth, 800);
    EXPECT_EQ(CurrentInstance()->drawHeight, 500);
    EXPECT_EQ(SDKIni(640, 480), 0);
    EXPECT_EQ(CurrentInstance(), nullptr);
    EXPECT_EQ(SDKIni(640, 480), 1);
    ASSERT_NE(CurrentInstance(), nullptr);
    EXPECT_EQ(CurrentInstance()->drawWidth, 640);
    EXPECT_EQ(CurrentInstance()->statusFlags.load(), 0u);
}

TEST_F(ExportsTest, ExportsWithoutInstanceDoNothing) {
    PenlynxSurface surface{nullptr, 0, 0, 0};
    EXPECT_EQ(SDKGetID(), 0);
    EXPECT_EQ(SDKRegCallBack(&CallbackRecorder::OnTablet, &CallbackRecorder::OnState), 0);
    EXPECT_EQ(SDKDraw(0, &surface, 1, 1, 1), 0);
}

TEST_F(ExportsTest, RegisterChecksItsCallbacksInOrder) {
    ASSERT_EQ(SDKIni(100, 100), 1);
    CReceiver &receiver = *CurrentInstance();
    EXPECT_EQ(SDKRegCallBack(nullptr, &CallbackRecorder::OnState), 0);
    EXPECT_EQ(receiver.onTablet, nullptr);
    EXPECT_EQ(receiver.onState, nullptr);
    // A valid first and a null second callback: the first is kept, no thread.
    EXPECT_EQ(SDKRegCallBack(&CallbackRecorder::OnTablet, nullptr), 0);
    EXPECT_EQ(receiver.onTablet, &CallbackRecorder::OnTablet);
    EXPECT_EQ(receiver.onState, nullptr);
    EXPECT_FALSE(receiver.reading.load());
}

TEST_F(ExportsTest, DrawChecksTheSlotRange) {
    ASSERT_EQ(SDKIni(20, 20), 1);
    std::vector<uint32_t> pixels(400, 0xFFFFFFFF);
    PenlynxSurface surface{pixels.data(), 20, 20, 80};
    struct Case {
        int slot, kind, result;
    } const cases[] = {{-1, 1, 0}, {100, 1, 0}, {99, 1, 1}, {0, 0, 1}, {0, 3, 1}, {5, 2, 1}};
    for (const auto &c : cases) {
        EXPECT_EQ(SDKDraw(c.slot, &surface, 10, 10, c.kind), c.result)
            << "slot " << c.slot << " kind " << c.kind;
    }
    // Out-of-range slots create no renderer; kinds 0 and 3 draw nothing.
    CReceiver &receiver = *CurrentInstance();
    EXPECT_EQ(receiver.renderers[0] != nullptr, true);
    EXPECT_EQ(receiver.renderers[1], nullptr);
}

TEST_F(ExportsTest, OtherKindsDrawNothing) {
    ASSERT_EQ(SDKIni(20, 20), 1);
    std::vector<uint32_t> pixels(400, 0xFFFFFFFF);
    PenlynxSurface surface{pixels.data(), 20, 20, 80};
    for (int kind : {0, 3, -1, 7}) {
        SDKDraw(3, &surface, 10, 10, kind);
    }
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFFFFFFFFu), 400);
}

TEST_F(ExportsTest, DrawBeginsAndContinuesAStroke) {
    ASSERT_EQ(SDKIni(40, 20), 1);
    std::vector<uint32_t> pixels(800, 0xFFFFFFFF);
    PenlynxSurface surface{pixels.data(), 40, 20, 160};
    EXPECT_EQ(SDKDraw(7, &surface, 10, 10, 1), 1);
    EXPECT_EQ(pixels[9 * 40 + 9], 0xFF656565u); // 101 on each channel
    // Continuing to the same point draws nothing more.
    const auto before = pixels;
    EXPECT_EQ(SDKDraw(7, &surface, 10, 10, 2), 1);
    EXPECT_EQ(pixels, before);
    // A continuation to the right extends the line along row 9.
    SDKDraw(7, &surface, 20, 10, 2);
    SDKDraw(7, &surface, 30, 10, 2);
    EXPECT_NE(pixels[9 * 40 + 14], 0xFFFFFFFFu);
    EXPECT_EQ(CurrentInstance()->renderers[7]->LastStamp().y, 64);
}

TEST_F(ExportsTest, ContinuationWithoutABeginningBeginsAStroke) {
    ASSERT_EQ(SDKIni(20, 20), 1);
    std::vector<uint32_t> begun(400, 0xFFFFFFFF);
    std::vector<uint32_t> continued(400, 0xFFFFFFFF);
    PenlynxSurface a{begun.data(), 20, 20, 80};
    PenlynxSurface b{continued.data(), 20, 20, 80};
    SDKDraw(1, &a, 10, 10, 1);
    SDKDraw(2, &b, 10, 10, 2);
    EXPECT_EQ(begun, continued);
}

TEST_F(ExportsTest, UnusableSurfacesAdvanceTheStrokeWithoutDrawing) {
    ASSERT_EQ(SDKIni(20, 20), 1);
    std::vector<uint32_t> pixels(400, 0xFFFFFFFF);
    const PenlynxSurface bad[] = {
        {nullptr, 20, 20, 80},                                     // no pixels
        {pixels.data(), 20, 20, 6},                                // stride shorter than a row
        {pixels.data(), 20, 20, 81},                               // stride not whole words
        {pixels.data(), -3, 20, 80},  {pixels.data(), 20, -1, 80}, // negative height
        {pixels.data(), 20, 20, -80},                              // rows going upward
        {pixels.data(), 0, 20, -4},
    };
    for (const auto &surface : bad) {
        EXPECT_EQ(SDKDraw(4, const_cast<PenlynxSurface *>(&surface), 10, 10, 1), 1);
    }
    EXPECT_EQ(SDKDraw(4, nullptr, 15, 10, 2), 1);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFFFFFFFFu), 400);
    // The stroke moved on: the line from (64, 64) stamped once, a pixel further.
    EXPECT_EQ(CurrentInstance()->renderers[4]->LastStamp(), (SubPixelPoint{72, 64}));
}

TEST_F(ExportsTest, FarAwayPointsAreClippedWithoutOverflow) {
    ASSERT_EQ(SDKIni(20, 20), 1);
    std::vector<uint32_t> pixels(400, 0xFFFFFFFF);
    PenlynxSurface surface{pixels.data(), 20, 20, 80};
    SDKDraw(0, &surface, 2147483647, -2147483647, 1);
    SDKDraw(0, &surface, -2147483647, 2147483647, 2);
    SDKDraw(0, &surface, 10, 10, 1);
    EXPECT_EQ(pixels[9 * 20 + 9], 0xFF656565u);
}

// Drawing a stroke that crosses the whole surface and reaches far beyond it.
void Scribble(PenlynxSurface &surface) {
    SDKDraw(0, &surface, 10, 10, 1);
    SDKDraw(0, &surface, 2147483647, 10, 2);
    SDKDraw(0, &surface, -2147483647 - 1, -2147483647 - 1, 2);
    SDKDraw(0, &surface, 5, 5, 1);
    SDKDraw(0, &surface, 25, 15, 2);
    SDKDraw(0, &surface, 25, 15, 2);
}

TEST_F(ExportsTest, ExtremeDrawingSizesNeitherOverflowNorDrawOutside) {
    constexpr int kMin = -2147483647 - 1;
    constexpr int kMax = 2147483647;
    struct Case {
        int width, height;
        bool draws;
    } const cases[] = {{kMin, kMin, false}, {kMin, 20, false},  {-1, 20, false},  {20, -1, false},
                       {0, 0, false},       {kMax, kMax, true}, {kMax, 20, true}, {20, 20, true}};
    for (const Case &c : cases) {
        SDKClear();
        ASSERT_EQ(SDKIni(c.width, c.height), 1);
        // A 20 x 20 surface inside a larger block whose margins must stay.
        std::vector<uint32_t> block(24 * 24, 0xFFFFFFFF);
        PenlynxSurface surface{block.data() + 2 * 24 + 2, 20, 20, 24 * 4};
        Scribble(surface);
        int inside = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const bool margin = x < 2 || y < 2 || x >= 22 || y >= 22;
                const bool inked = block[static_cast<size_t>(y * 24 + x)] != 0xFFFFFFFFu;
                ASSERT_FALSE(margin && inked)
                    << c.width << " x " << c.height << " at " << x << "," << y;
                inside += inked ? 1 : 0;
            }
        }
        EXPECT_EQ(inside > 0, c.draws) << c.width << " x " << c.height;
    }
}

TEST_F(ExportsTest, DrawingIsClippedToTheSmallerOfIniSizeAndSurface) {
    // Wider than the drawing size but not as high: 40 x 10 against 20 x 30.
    ASSERT_EQ(SDKIni(20, 30), 1);
    std::vector<uint32_t> block(40 * 16, 0xFFFFFFFF);
    PenlynxSurface surface{block.data(), 40, 10, 40 * 4};
    SDKDraw(0, &surface, 2, 5, 1);
    SDKDraw(0, &surface, 38, 5, 2);
    SDKDraw(0, &surface, 38, 5, 2);
    SDKDraw(0, &surface, 38, 5, 2);
    SDKDraw(1, &surface, 5, 2, 1);
    SDKDraw(1, &surface, 5, 15, 2);
    SDKDraw(1, &surface, 5, 15, 2);
    SDKDraw(1, &surface, 5, 15, 2);
    int inked = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (block[static_cast<size_t>(y * 40 + x)] != 0xFFFFFFFFu) {
                ++inked;
                EXPECT_LT(x, 20) << "past the drawing width at " << x << "," << y;
                EXPECT_LT(y, 10) << "past the surface at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(inked, 20);
    // Both strokes reach their clip edge.
    EXPECT_NE(block[4 * 40 + 19], 0xFFFFFFFFu);
    EXPECT_NE(block[9 * 40 + 4], 0xFFFFFFFFu);
}

} // namespace
} // namespace penlynx
