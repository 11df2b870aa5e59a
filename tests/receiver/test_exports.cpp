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
        {nullptr, 20, 20, 80},       // no pixels
        {pixels.data(), 20, 20, 6},  // stride shorter than a row
        {pixels.data(), 20, 20, 81}, // stride not whole words
        {pixels.data(), -3, 20, 80},
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

} // namespace
} // namespace penlynx
