// The layout arithmetic of the seat grid panel and its tiles, without widgets.
#include "core/GridLayout.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

TEST(GridLayout, LabelWidthCountsHalfAndFullWidth) {
    EXPECT_EQ(LabelTextWidth(u""), 0);
    EXPECT_EQ(LabelTextWidth(u"(0012)"), 36);
    EXPECT_EQ(LabelTextWidth(u"张三"), 24);
    EXPECT_EQ(LabelTextWidth(u"Li 明"), 30);
    EXPECT_EQ(LabelTextWidth(u"ＡＢ"), 24);       // full-width forms
    EXPECT_EQ(LabelTextWidth(u"\U00020000"), 12); // a supplementary ideograph is one character
    EXPECT_EQ(CentredLabelLeft(80, u"(0012)"), 22);
    EXPECT_EQ(CentredLabelLeft(80, u"张三"), 28);
    EXPECT_EQ(CentredLabelLeft(80, u"ABCDEFGHIJKLMNOPQRST"), -20);
    EXPECT_EQ(CentredLabelLeft(80, u"ABCDEFGHIJKLMNOPQRSTU"), -23); // truncated toward zero
    EXPECT_EQ(CentredLabelLeft(80, u"A"), 37);
}

TEST(GridLayout, EightBySixOnEightHundredBySixHundred) {
    const GridPlacement plan = PlanGrid(QSize(800, 600), QSize(80, 69), 8, 0, 6, 60);
    ASSERT_TRUE(plan.Applies);
    EXPECT_EQ(plan.GapX, 17);
    EXPECT_EQ(plan.GapY, 26);
    EXPECT_EQ(plan.Positions[0], QPoint(17, 26));
    EXPECT_EQ(plan.Positions[1], QPoint(114, 26));
    EXPECT_EQ(plan.Positions[7], QPoint(696, 26));
    EXPECT_EQ(plan.Positions[8], QPoint(17, 121));
    EXPECT_EQ(plan.Positions[47].y() + 69, 570);
    for (int i = 0; i < 48; ++i)
        EXPECT_TRUE(plan.Shown[i]) << i;
    for (int i = 48; i < 60; ++i)
        EXPECT_FALSE(plan.Shown[i]) << i;
}

TEST(GridLayout, StartAndFewerTiles) {
    const GridPlacement plan = PlanGrid(QSize(800, 600), QSize(80, 69), 8, 5, 6, 10);
    ASSERT_TRUE(plan.Applies);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(plan.Shown[i]);
    EXPECT_EQ(plan.Positions[5], QPoint(17, 26));
    EXPECT_EQ(plan.Positions[9], QPoint(17 + 4 * 97, 26));
}

TEST(GridLayout, ShortPanelStillLaysOutWithZeroGap) {
    // 8 columns of 80 need 640; 635 is less than c + 1 short: the gap is 0
    const GridPlacement plan = PlanGrid(QSize(635, 600), QSize(80, 69), 8, 0, 6, 16);
    ASSERT_TRUE(plan.Applies);
    EXPECT_EQ(plan.GapX, 0);
    EXPECT_EQ(plan.Positions[7], QPoint(560, plan.GapY));
    EXPECT_GT(plan.Positions[7].x() + 80, 635); // the last column reaches past the edge
}

TEST(GridLayout, NegativeHorizontalGapChangesNothing) {
    EXPECT_FALSE(PlanGrid(QSize(630, 600), QSize(80, 69), 8, 0, 6, 16).Applies);
    EXPECT_FALSE(PlanGrid(QSize(800, 600), QSize(80, 69), 0, 0, 6, 16).Applies);
}

TEST(GridLayout, NegativeVerticalGapOverlapsAndCutsRows) {
    // 6 rows of 69 in 300 pixels: v = (300 - 414) / 7 = -16
    const GridPlacement plan = PlanGrid(QSize(800, 300), QSize(80, 69), 8, 0, 6, 48);
    ASSERT_TRUE(plan.Applies);
    EXPECT_EQ(plan.GapY, -16);
    EXPECT_EQ(plan.Positions[0].y(), -16);
    EXPECT_EQ(plan.Positions[8].y(), 37);
    EXPECT_EQ(plan.Positions[16].y(), 90);
    EXPECT_EQ(plan.Positions[24].y(), 143);
    EXPECT_EQ(plan.Positions[32].y(), 196); // bottom 265 <= 300
    EXPECT_TRUE(plan.Shown[39]);
    // row 6 would start at 249 and end at 318 > 300: hidden, and all after it
    for (int i = 40; i < 48; ++i)
        EXPECT_FALSE(plan.Shown[i]) << i;
}

TEST(GridLayout, StartBeyondTheLastTileHidesEverything) {
    const GridPlacement plan = PlanGrid(QSize(800, 600), QSize(80, 69), 8, 10, 6, 10);
    ASSERT_TRUE(plan.Applies);
    for (bool shown : plan.Shown)
        EXPECT_FALSE(shown);
}

TEST(GridLayout, FourPanes) {
    const PanePlacement plan = PlanPanes(QSize(800, 600), 4, 0, 10);
    ASSERT_TRUE(plan.Applies);
    EXPECT_EQ(plan.Rects[0], QRect(0, 0, 400, 300));
    EXPECT_EQ(plan.Rects[1], QRect(401, 0, 399, 300));
    EXPECT_EQ(plan.Rects[2], QRect(0, 301, 400, 299));
    EXPECT_EQ(plan.Rects[3], QRect(401, 301, 399, 299));
    EXPECT_FALSE(plan.InPage[4]);
}

TEST(GridLayout, NinePanes) {
    const PanePlacement plan = PlanPanes(QSize(800, 600), 9, 3, 20);
    ASSERT_TRUE(plan.Applies);
    const int lefts[] = {0, 267, 534}, tops[] = {0, 200, 400};
    for (int k = 0; k < 9; ++k) {
        const QRect r = plan.Rects[3 + k];
        EXPECT_EQ(r.x(), lefts[k % 3]) << k;
        EXPECT_EQ(r.y(), tops[k / 3]) << k;
        EXPECT_EQ(r.width(), 266) << k;
        EXPECT_EQ(r.height(), k / 3 == 2 ? 200 : 199) << k;
    }
    EXPECT_FALSE(plan.InPage[2]);
    EXPECT_FALSE(plan.InPage[12]);
}

TEST(GridLayout, SixPanes) {
    const PanePlacement plan = PlanPanes(QSize(800, 600), 6, 0, 6);
    ASSERT_TRUE(plan.Applies);
    const int lefts[] = {1, 400}, tops[] = {1, 200, 399};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(plan.Rects[k], QRect(lefts[k % 2], tops[k / 2], 398, 198)) << k;
    }
}

TEST(GridLayout, OnePane) {
    const PanePlacement plan = PlanPanes(QSize(800, 600), 1, 7, 8);
    ASSERT_TRUE(plan.Applies);
    EXPECT_EQ(plan.Rects[7], QRect(0, 0, 800, 600));
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(plan.InPage[i]);
}

TEST(GridLayout, NinePanesWithFewerTiles) {
    const PanePlacement plan = PlanPanes(QSize(800, 600), 9, 25, 30);
    ASSERT_TRUE(plan.Applies);
    for (int i = 25; i < 30; ++i)
        EXPECT_TRUE(plan.InPage[i]);
    EXPECT_EQ(plan.Rects[29], QRect(267, 200, 266, 199));
    // The four places after the last tile stay pane places.
    EXPECT_EQ(plan.EmptyPlaces,
              (std::vector<QRect>{QRect(534, 200, 266, 199), QRect(0, 400, 266, 200),
                                  QRect(267, 400, 266, 200), QRect(534, 400, 266, 200)}));
    EXPECT_EQ(PlanPanes(QSize(800, 600), 6, 4, 6).EmptyPlaces,
              (std::vector<QRect>{QRect(1, 200, 398, 198), QRect(400, 200, 398, 198),
                                  QRect(1, 399, 398, 198), QRect(400, 399, 398, 198)}));
    EXPECT_TRUE(PlanPanes(QSize(800, 600), 9, 21, 30).EmptyPlaces.empty());
}

TEST(GridLayout, UnsupportedPaneCountsAndStarts) {
    for (int n : {0, 2, 3, 5, 8, 16, -4})
        EXPECT_FALSE(PlanPanes(QSize(800, 600), n, 0, 20).Applies) << n;
    EXPECT_FALSE(PlanPanes(QSize(800, 600), 4, 20, 20).Applies);
    EXPECT_FALSE(PlanPanes(QSize(800, 600), 4, -1, 20).Applies);
    EXPECT_FALSE(PlanPanes(QSize(800, 600), 4, 0, 0).Applies);
}

} // namespace
} // namespace lumora
