#include "Geometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace penlynx {
namespace {

TEST(Geometry, SolvesTheGivenCountPairs) {
    struct Case {
        uint16_t a, b;
        int32_t x, y;
    } const cases[] = {
        {4676, 4676, 999, 1110}, {4563, 4877, 999, 1360}, {0, 0, -1, -1}, // negative lengths
        {2000, 9000, -1, -1},                                             // dA negative
        {9000, 3000, -1, -1},  // circles that do not meet
        {20000, 2167, -1, -1}, // dB negative
    };
    for (const auto &c : cases) {
        const TabletPoint p = SolveCounts(c.a, c.b);
        EXPECT_EQ(p.x, c.x) << c.a << "/" << c.b;
        EXPECT_EQ(p.y, c.y) << c.a << "/" << c.b;
    }
}

TEST(Geometry, EncodedPointsDecodeBackWithinThreeTenths) {
    std::mt19937 random(20261208);
    // Anywhere the program maps onto a pane, at least 200 tenths from the edge.
    std::uniform_int_distribution<int32_t> xs(200, 2800);
    std::uniform_int_distribution<int32_t> ys(0, 2000);
    for (int i = 0; i < 20000; ++i) {
        const int32_t x = xs(random);
        const int32_t y = ys(random);
        for (bool penUp : {false, true}) {
            std::array<uint8_t, 4> data{};
            ASSERT_TRUE(EncodePositionRecord(x, y, penUp, data)) << x << "," << y;
            uint16_t a = static_cast<uint16_t>(data[0] | data[3] << 8);
            uint16_t b = static_cast<uint16_t>(data[1] | data[2] << 8);
            if (penUp) {
                a = static_cast<uint16_t>(a - kPenUpOffset);
                b = static_cast<uint16_t>(b - kPenUpOffset);
            }
            const TabletPoint p = SolveCounts(a, b);
            EXPECT_LE(std::abs(p.x - x), 3) << x << "," << y;
            EXPECT_LE(std::abs(p.y - y), 3) << x << "," << y;
        }
    }
}

TEST(Geometry, RefusesPointsThatCountsCannotExpress) {
    std::array<uint8_t, 4> data{};
    EXPECT_FALSE(EncodePositionRecord(-5, 1000, false, data));
    EXPECT_FALSE(EncodePositionRecord(200000, 1000, false, data));
    EXPECT_FALSE(EncodePositionRecord(1000, -900000, false, data));
}

} // namespace
} // namespace penlynx
