// Grids that show every student (pages when one screen is not enough), tiles
// and answer letters that grow with the grid, names that are never cut
// without a tooltip, and answer tiles that show who has not answered yet.
#include "controls/PageBar.h"
#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"
#include "core/GridLayout.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace lumora {
namespace {

void Fill(SlotTable &table, int count) {
    table.Clear();
    table.SetCount(count);
    for (int i = 0; i < count; ++i) {
        table[i].Name = QStringLiteral("S%1").arg(i + 1);
        table[i].CardID.store(static_cast<uint16_t>(i + 1));
    }
}

// Every tile shown on some page, none on two.
TEST(GridPaging, ThePagesTogetherShowEveryTileOnce) {
    struct Case {
        QSize panel, tile;
        int columns, rows, count, pages;
    } const cases[] = {
        {{1180, 660}, {110, 69}, 4, 4, 30, 2},   // 4 x 4 with 30 students
        {{1077, 631}, {98, 69}, 10, 9, 100, 2},  // 100 on a 720-pixel screen
        {{1077, 631}, {98, 69}, 10, 10, 100, 2}, // ten rows asked, nine fit
        {{1720, 1023}, {280, 160}, 6, 5, 30, 1}, // everyone at once
        {{1720, 1023}, {80, 60}, 10, 10, 100, 1}, {{800, 600}, {80, 69}, 8, 6, 49, 2},
        {{800, 600}, {80, 69}, 8, 6, 1, 1},
    };
    for (const Case &c : cases) {
        const GridPaging paging = PlanPaging(c.panel, c.tile, c.columns, c.rows, c.count);
        EXPECT_EQ(paging.Pages, c.pages) << c.count << " on " << c.columns << "x" << c.rows;
        ASSERT_GT(paging.PerPage, 0);
        std::vector<int> shown(size_t(c.count), 0); // how often each tile is shown
        for (int page = 0; page < paging.Pages; ++page) {
            const int rows = FittingRows(c.panel.height(), c.tile.height(), c.rows);
            const GridPlacement plan =
                PlanGrid(c.panel, c.tile, c.columns, paging.PageStart(page), rows, c.count);
            ASSERT_TRUE(plan.Applies);
            for (int i = 0; i < c.count; ++i) {
                if (plan.Shown[size_t(i)]) {
                    ++shown[size_t(i)];
                    // Wholly on the panel.
                    EXPECT_GE(plan.Positions[size_t(i)].y(), 0) << i;
                    EXPECT_LE(plan.Positions[size_t(i)].y() + c.tile.height(), c.panel.height())
                        << i;
                }
            }
        }
        EXPECT_EQ(shown, std::vector<int>(size_t(c.count), 1))
            << c.count << " on " << c.columns << "x" << c.rows;
    }
    // No room at all still leaves a row.
    EXPECT_EQ(FittingRows(40, 69, 4), 1);
    // Columns that do not fit change nothing: one page, nothing per page.
    EXPECT_EQ(PlanPaging({300, 300}, {80, 69}, 10, 4, 40).PerPage, 0);
    EXPECT_EQ(PlanPaging({300, 300}, {80, 69}, 10, 4, 40).Pages, 1);
}

TEST(GridPaging, TilesGrowWithTheRoomNeverBelowTheirBaseSize) {
    const QSize answer(80, 60);
    // The full-HD view area with 6 x 5 seats: large tiles.
    const QSize big = GridTileSize({1720, 1023}, answer, 6, 5);
    EXPECT_EQ(big.height(), (1023 - 6 * kGridGap) / 5);
    EXPECT_EQ(big.width(), (1720 - 7 * kGridGap) / 6);
    EXPECT_GT(TileScale(big, answer), 2.5);
    // Little room: the base size, and no growth.
    EXPECT_EQ(GridTileSize({500, 300}, answer, 10, 10), answer);
    EXPECT_EQ(TileScale(answer, answer), 1.0);
    EXPECT_EQ(TileScale({82, 62}, answer), 1.0); // within 5 %
    // Never much wider than high: one row of four on a wide panel.
    const QSize wide = GridTileSize({1720, 300}, answer, 4, 1);
    EXPECT_LE(wide.width(), wide.height() * kMaxTileShape + 1);
}

class PagedGrid : public ::testing::Test {
protected:
    void Make(int kind, int count, QSize size) {
        Fill(table, count);
        panel = std::make_unique<TBGPanel>(kind, table);
        panel->resize(size);
        panel->SetFitTiles(true);
        panel->SetPaged(true);
    }
    std::set<int> Visible() const {
        std::set<int> shown;
        for (TStdChannel *tile : panel->Tiles()) {
            if (!tile->isHidden()) {
                shown.insert(tile->Tag());
                EXPECT_TRUE(panel->rect().contains(tile->geometry()))
                    << tile->Tag() << " " << tile->x() << "," << tile->y() << " " << tile->width()
                    << "x" << tile->height() << " in " << panel->width() << "x" << panel->height();
            }
        }
        return shown;
    }
    SlotTable table;
    std::unique_ptr<TBGPanel> panel;
};

TEST_F(PagedGrid, FourByFourWithThirtyStudentsPagesThroughAll) {
    Make(kSeatGrid, 30, QSize(800, 600));
    panel->LayoutGrid(4, 0, 4);
    ASSERT_EQ(panel->GridPages(), 2);
    ASSERT_NE(panel->PageBar(), nullptr);
    EXPECT_FALSE(panel->PageBar()->isHidden());
    std::set<int> first = Visible();
    EXPECT_EQ(first.size(), 16u);
    // The strip's next button shows the rest, and nothing overlaps it.
    panel->PageBar()->NextButton()->Click();
    EXPECT_EQ(panel->GridPage(), 1);
    std::set<int> second = Visible();
    EXPECT_EQ(second.size(), 14u);
    for (int i : second) {
        EXPECT_EQ(first.count(i), 0u) << i;
        EXPECT_LE(panel->GetTile(i)->geometry().bottom(), panel->PageBar()->y()) << i;
    }
    EXPECT_FALSE(panel->PageBar()->NextButton()->isEnabled());
    EXPECT_EQ(panel->PageBar()->PageLabel()->text(), QStringLiteral("第 2 / 2 页"));
    EXPECT_EQ(panel->GridPageOf(29), 1);
    EXPECT_EQ(panel->GridPageOf(3), 0);
    EXPECT_EQ(panel->GridPageOf(30), -1);
    panel->SetGridPage(7); // no such page
    EXPECT_EQ(panel->GridPage(), 1);
    panel->PageBar()->PreviousButton()->Click();
    EXPECT_EQ(Visible(), first);

    // Room for everyone: one page, no strip.
    panel->LayoutGrid(6, 0, 5);
    EXPECT_EQ(panel->GridPages(), 1);
    EXPECT_TRUE(panel->PageBar()->isHidden());
    EXPECT_EQ(Visible().size(), 30u);
}

TEST_F(PagedGrid, AHundredOnASevenHundredTwentyPixelScreen) {
    // The view area of a 1280 x 720 screen, ten by ten asked: nine rows of
    // seats fit.
    Make(kSeatGrid, 100, QSize(1077, 663));
    panel->LayoutGrid(10, 0, 10);
    ASSERT_GE(panel->GridPages(), 2);
    std::set<int> all;
    for (int page = 0; page < panel->GridPages(); ++page) {
        panel->SetGridPage(page);
        for (int i : Visible()) {
            EXPECT_TRUE(all.insert(i).second) << i << " on two pages";
        }
    }
    EXPECT_EQ(all.size(), 100u);
}

TEST_F(PagedGrid, AnswerLettersGrowWithTheTile) {
    // Six by five on the full-HD view area.
    Make(kAnswerGrid, 30, QSize(1720, 1023));
    panel->LayoutGrid(6, 0, 5);
    TStdChannel *tile = panel->GetTile(7);
    SetAnswer(tile, QStringLiteral("B"));
    const QFontMetrics letters(tile->AnswerLabel()->font());
    EXPECT_GE(letters.tightBoundingRect(QStringLiteral("B")).height(), 32);
    // Inside the tile, below the name and the ID.
    const QRect label = tile->AnswerLabel()->geometry();
    EXPECT_TRUE(tile->InnerPanel()->rect().contains(label));
    EXPECT_GE(label.top(), tile->IDLabel()->geometry().bottom());
    // Eight letters still fit across.
    SetAnswer(tile, QStringLiteral("ABCDEFGH"));
    EXPECT_LE(tile->AnswerLabel()->fontMetrics().horizontalAdvance(QStringLiteral("ABCDEFGH")),
              tile->width());
    // A grid that has no room to spare keeps the base size and font.
    Make(kAnswerGrid, 30, QSize(500, 300));
    panel->LayoutGrid(6, 0, 5);
    EXPECT_EQ(panel->GetTile(0)->size(), QSize(80, 60));
    EXPECT_EQ(panel->GetTile(0)->Scale(), 1.0);
}

TEST_F(PagedGrid, SeatPicturesGrowWithoutReachingTheName) {
    int grown = 0;
    for (QSize area : {QSize(1720, 1023), QSize(1180, 700), QSize(1720, 640)}) {
        for (const auto &[columns, rows] : {std::pair{10, 10}, std::pair{6, 5}, std::pair{4, 4}}) {
            Make(kSeatGrid, columns * rows, area);
            panel->LayoutGrid(columns, 0, rows);
            TStdChannel *tile = panel->GetTile(0);
            if (tile->Scale() == 1.0) {
                continue; // the base size keeps the base arrangement
            }
            const QRect picture = tile->TileImage()->geometry();
            EXPECT_LE(picture.bottom(), tile->NameLabel()->y())
                << area.width() << "x" << area.height() << " " << columns << "x" << rows;
            EXPECT_GE(picture.width(), 48);
            EXPECT_TRUE(tile->InnerPanel()->rect().contains(tile->IDLabel()->geometry()));
            ++grown;
        }
    }
    EXPECT_GE(grown, 5);
}

TEST_F(PagedGrid, TilesOfStudentsWhoHaveNotAnsweredLookDifferent) {
    Make(kAnswerGrid, 3, QSize(600, 200));
    panel->LayoutGrid(3, 0, 1);
    for (TStdChannel *tile : panel->Tiles()) {
        EXPECT_TRUE(tile->Awaiting()) << tile->Tag();
    }
    SetAnswer(panel->GetTile(1), QStringLiteral("C"));
    EXPECT_FALSE(panel->GetTile(1)->Awaiting());
    EXPECT_NE(panel->GetTile(1)->palette().color(QPalette::Window),
              panel->GetTile(0)->palette().color(QPalette::Window));
    panel->ClearAnswers();
    EXPECT_TRUE(panel->GetTile(1)->Awaiting());
}

// Names as the program builds them (in the table before the grid grows):
// what does not fit ends in an ellipsis inside the tile, whose tooltip holds
// it whole, at every size, also after the tile grows again; what fits is
// shown whole without a tooltip.
TEST(TileNames, ANameThatDoesNotFitEndsInAnEllipsisAtEverySize) {
    const QString names[] = {QStringLiteral("Alexandra Konstantinopoulos"),
                             QStringLiteral("欧阳娜娜Nana"), QStringLiteral("王小明")};
    SlotTable table;
    table.SetCount(100);
    for (int i = 0; i < 100; ++i)
        table[i].Name = names[i % 3];
    InkWidth = 470;
    InkHeight = 326;
    int cut = 0, longShown = 0;
    for (const auto &[kind, panel, columns, panes] :
         {std::tuple{kSeatGrid, QSize(1173, 706), 10, 0},
          {kSeatGrid, QSize(1720, 1023), 6, 0},
          {kAnswerGrid, QSize(1077, 658), 10, 0},
          {kLiveGrid, QSize(300, 200), 0, 9}}) {
        TBGPanel grid(kind, table);
        grid.setFont(LumoraFont());
        grid.SetFitTiles(columns > 0);
        for (QSize size : {panel, panel / 2, panel}) {
            grid.resize(size);
            panes > 0 ? grid.LayoutPanes(panes, 0) : grid.LayoutGrid(columns, 0, columns);
            for (TStdChannel *tile : grid.Tiles()) {
                const QString shown = tile->NameLabel()->text(), whole = tile->StudentName();
                if (tile->isHidden() || tile->width() == 0)
                    continue;
                SCOPED_TRACE(whole.toStdString() + " " + std::to_string(tile->width()));
                EXPECT_TRUE(tile->InnerPanel()->rect().contains(tile->NameLabel()->geometry()));
                EXPECT_EQ(tile->toolTip(), shown == whole ? QString() : whole);
                cut += shown != whole;
                longShown += shown == names[1];
                EXPECT_TRUE(shown == whole ||
                            (shown.endsWith(QChar(0x2026)) && whole.startsWith(shown.chopped(1))));
                // A short name is never cut.
                EXPECT_TRUE(whole != names[2] || shown == whole);
            }
        }
    }
    EXPECT_GT(cut, 100);
    EXPECT_GT(longShown, 0) << "the long name is shown whole where it fits";
    InkWidth = InkHeight = 0;
}

} // namespace
} // namespace lumora
