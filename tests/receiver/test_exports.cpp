#include "CallbackRecorder.h"
#include "Receiver.h"
#include "penlynx.h"

#include <gtest/gtest.h>

#include <string>
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

// Drawing sizes from the extremes of int, and surfaces larger than the
// drawing size on one axis: strokes reaching far beyond the surface on every
// side neither overflow nor ink a pixel outside the smaller of drawing size
// and surface, and a line across and one down reach that area's edges.
TEST_F(ExportsTest, DrawingIsClippedToTheSmallerOfIniSizeAndSurface) {
    constexpr int kMin = -2147483647 - 1;
    constexpr int kMax = 2147483647;
    struct Size {
        int width, height;
    };
    struct Case {
        int iniWidth, iniHeight;
        Size surface, clip;
    } const cases[] = {
        {kMin, kMin, {20, 20}, {0, 0}}, {kMin, 20, {20, 20}, {0, 0}},
        {-1, 20, {20, 20}, {0, 0}},     {20, -1, {20, 20}, {0, 0}},
        {0, 0, {20, 20}, {0, 0}},       {kMax, kMax, {20, 20}, {20, 20}},
        {kMax, 20, {20, 20}, {20, 20}}, {20, 20, {20, 20}, {20, 20}},
        {20, 30, {40, 10}, {20, 10}}, // wider than the drawing size, not as high
    };
    const int strokes[][3] = {{10, 10, 1},  {kMax, 10, 2}, {kMin, kMin, 2}, {5, 5, 1},
                              {25, 15, 2},  {25, 15, 2},   {2, 5, 1},       {kMax, 5, 2},
                              {kMax, 5, 2}, {kMax, 5, 2},  {5, 2, 1},       {5, kMax, 2},
                              {5, kMax, 2}, {5, kMax, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.iniWidth) + " x " + std::to_string(c.iniHeight));
        SDKClear();
        ASSERT_EQ(SDKIni(c.iniWidth, c.iniHeight), 1);
        // The surface at (2, 2) inside a larger block whose margins must stay.
        const int w = c.surface.width + 4, h = c.surface.height + 4;
        std::vector<uint32_t> block(static_cast<size_t>(w * h), 0xFFFFFFFF);
        PenlynxSurface surface{block.data() + 2 * w + 2, c.surface.width, c.surface.height, w * 4};
        for (const auto &point : strokes) {
            SDKDraw(0, &surface, point[0], point[1], point[2]);
        }
        const auto inked = [&](int x, int y) {
            return block[static_cast<size_t>((y + 2) * w + x + 2)] != 0xFFFFFFFFu;
        };
        for (int y = -2; y < h - 2; ++y) {
            for (int x = -2; x < w - 2; ++x) {
                const bool inside = x >= 0 && y >= 0 && x < c.clip.width && y < c.clip.height;
                ASSERT_TRUE(inside || !inked(x, y)) << "inked at " << x << "," << y;
            }
        }
        if (c.clip.width > 0) {
            EXPECT_TRUE(inked(c.clip.width - 1, 4)) << "the line across ends short";
            EXPECT_TRUE(inked(4, c.clip.height - 1)) << "the line down ends short";
        }
    }
}

} // namespace
} // namespace penlynx
