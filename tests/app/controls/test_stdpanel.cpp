// TStdChannel, the tile routines and TBGPanel offscreen.
#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"
#include "core/GridLayout.h"
#include "core/Helpers.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace lumora {
namespace {

void FillTable(SlotTable &table, int count) {
    table.Clear();
    table.SetCount(count);
    for (int i = 0; i < count; ++i) {
        table[i].Name = QStringLiteral("Student %1").arg(i);
        table[i].CardID.store(static_cast<uint16_t>(i + 1));
    }
}

QColor TextColour(QLabel *label) {
    return label->palette().color(QPalette::WindowText);
}

struct InkSize {
    InkSize(int w, int h) {
        InkWidth = w;
        InkHeight = h;
    }
    ~InkSize() {
        InkWidth = 0;
        InkHeight = 0;
    }
};

TEST(SeatTile, CardIDFormat) {
    TStdChannel tile(nullptr, false);
    tile.resize(80, 69);
    SetCardID(&tile, 0);
    EXPECT_EQ(tile.IDLabel()->text(), QStringLiteral("(0000)"));
    SetCardID(&tile, 12);
    EXPECT_EQ(tile.IDLabel()->text(), QStringLiteral("(0012)"));
    SetCardID(&tile, 12345);
    EXPECT_EQ(tile.IDLabel()->text(), QStringLiteral("(12345)"));
    SetCardID(&tile, 65535);
    EXPECT_EQ(tile.IDLabel()->text(), QStringLiteral("(65535)"));
    EXPECT_EQ(tile.CardID(), 65535);
    EXPECT_EQ(tile.IDLabel()->x(), (80 - 42) / 2);
}

TEST(SeatTile, AnswerColoursAgainstTheKey) {
    TStdChannel tile(nullptr, false);
    tile.resize(80, 60);
    AnswerKey.clear();
    SetAnswer(&tile, QString());
    EXPECT_EQ(TextColour(tile.AnswerLabel()), QColor(0x00, 0x80, 0x00));
    AnswerKey = QStringLiteral("AC");
    SetAnswer(&tile, QStringLiteral("AC"));
    EXPECT_EQ(TextColour(tile.AnswerLabel()), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(tile.AnswerText(), QStringLiteral("AC"));
    SetAnswer(&tile, QStringLiteral("CA"));
    EXPECT_EQ(TextColour(tile.AnswerLabel()), QColor(0xFF, 0x00, 0x00));
    SetAnswer(&tile, QStringLiteral("A"));
    EXPECT_EQ(TextColour(tile.AnswerLabel()), QColor(0xFF, 0x00, 0x00));
    SetAnswer(&tile, QStringLiteral("ac"));
    EXPECT_EQ(TextColour(tile.AnswerLabel()), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(tile.AnswerLabel()->x(), (80 - 12) / 2);
    AnswerKey.clear();
}

TEST(SeatTile, LabelCentring) {
    TStdChannel tile(nullptr, false);
    tile.resize(80, 69);
    SetStudentName(&tile, QStringLiteral("ABCDEFGHIJKLMNOPQRST")); // 20: elided, not cut
    EXPECT_EQ(tile.NameLabel()->text(), QStringLiteral("ABCDEFGHIJ…"));
    SetStudentName(&tile, QStringLiteral("张三"));
    EXPECT_EQ(tile.NameLabel()->x(), 28);
    SetStudentName(&tile, QStringLiteral("王小明 Li"));
    EXPECT_EQ(tile.NameLabel()->x(), (80 - 54) / 2);
    EXPECT_EQ(tile.StudentName(), QStringLiteral("王小明 Li"));
}

TEST(SeatTile, TheFontDrawsWhatTheCentringCounts) {
    const QFont font = LumoraFont();
    if (QFontInfo(font).family() != QStringLiteral("WenQuanYi Zen Hei Mono"))
        GTEST_SKIP() << "fonts-wqy-zenhei is not installed";
    const QFontMetrics fm(font);
    for (const QString &text :
         {QStringLiteral("(0012)"), QStringLiteral("张三"), QStringLiteral("Zhang San"),
          QStringLiteral("欧阳娜娜"), QStringLiteral("李 Lee"), QStringLiteral("ＡＢＣ")})
        EXPECT_EQ(fm.horizontalAdvance(text), LabelTextWidth(text)) << qPrintable(text);
}

TEST(SeatTile, ArrangementOfTheThreeKinds) {
    InkSize ink(200, 150);
    TStdChannel seat(nullptr, false);
    SetLinkPicture(&seat, true, kSeatGrid);
    seat.SetBounds(QRect(0, 0, 80, 69));
    EXPECT_EQ(seat.InnerPanel()->geometry(), QRect(1, 1, 78, 67));
    EXPECT_EQ(seat.TileImage()->geometry(), QRect(16, -3, 48, 48));
    // Name above ID; the ID's glyphs end inside the tile whatever the font's
    // baseline (41 and 55 when it lies 10 pixels down).
    const QFontMetrics fm = seat.IDLabel()->fontMetrics();
    EXPECT_LT(seat.IDLabel()->y() + fm.ascent() +
                  fm.tightBoundingRect(QStringLiteral("(0)")).bottom(),
              seat.InnerPanel()->height());
    EXPECT_EQ(seat.IDLabel()->y() - seat.NameLabel()->y(), 14);
    EXPECT_TRUE(seat.AnswerLabel()->isHidden());

    TStdChannel answer(nullptr, false);
    answer.TileImage()->hide();
    answer.AnswerLabel()->show();
    answer.SetBounds(QRect(0, 0, 80, 60));
    EXPECT_EQ(answer.NameLabel()->y(), 8);
    EXPECT_EQ(answer.IDLabel()->y(), 24);
    EXPECT_EQ(answer.AnswerLabel()->y(), 42);

    TStdChannel pane(nullptr, true);
    pane.SetBounds(QRect(0, 0, 400, 300));
    EXPECT_EQ(pane.TileImage()->geometry(), QRect(0, 0, 398, 268));
    EXPECT_EQ(pane.NameLabel()->y(), seat.NameLabel()->y() + 300 - 69);
    EXPECT_EQ(pane.IDLabel()->y(), seat.IDLabel()->y() + 300 - 69);
}

TEST(SeatTile, InkSheetIsMadeByTheFirstStrokeAndGivenBackByAWipe) {
    InkSize ink(120, 90);
    ASSERT_EQ(SDKIni(120, 90), 1);
    TStdChannel pane(nullptr, true);
    QImage *image = pane.InkImage();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->isNull()); // nothing written: no pixels yet
    EXPECT_EQ(pane.InkSize(), QSize(120, 90));
    EXPECT_EQ(pane.InkPicture().pixel(60, 45), qRgb(255, 255, 255));
    pane.DrawInk(0, QPoint(10, 10), 1);
    pane.DrawInk(0, QPoint(30, 12), 2);
    EXPECT_EQ(image->format(), QImage::Format_Grayscale8);
    EXPECT_EQ(image->size(), QSize(120, 90));
    EXPECT_LT(qGray(pane.InkPicture().pixel(10, 10)), 40);
    pane.ClearInk();
    EXPECT_TRUE(image->isNull());
    EXPECT_EQ(pane.InkPicture().pixel(10, 10), qRgb(255, 255, 255));
    SDKClear();
    TStdChannel seat(nullptr, false);
    EXPECT_EQ(seat.InkImage(), nullptr);
    EXPECT_TRUE(seat.InkSize().isEmpty());
}

TEST(SeatTile, LinkPictureOnlyOnTheSeatGrid) {
    InitSkinResources();
    const QImage connet(QStringLiteral(":/skin/Connet.png"));
    const QImage discon(QStringLiteral(":/skin/DisCon.png"));
    TStdChannel tile(nullptr, false);
    SetLinkPicture(&tile, true, kSeatGrid);
    EXPECT_EQ(tile.TileImage()->Picture(), connet);
    SetLinkPicture(&tile, false, kSeatGrid);
    EXPECT_EQ(tile.TileImage()->Picture(), discon);
    SetLinkPicture(&tile, true, kLiveGrid);
    EXPECT_EQ(tile.TileImage()->Picture(), discon);
    SetLinkPicture(&tile, true, kAnswerGrid);
    EXPECT_EQ(tile.TileImage()->Picture(), discon);
    // Painted for a scaled screen, the picture keeps its size in the layout.
    for (const qreal ratio : {1.5, 2.0}) {
        tile.TileImage()->SetPicture(SkinImage(QStringLiteral("Connet"), ratio));
        EXPECT_EQ(tile.TileImage()->size(), QSize(48, 48)) << ratio;
    }
}

TEST(SeatTile, LabelColourLeavesTheAnswerAlone) {
    TStdChannel tile(nullptr, false);
    AnswerKey = QStringLiteral("B");
    SetAnswer(&tile, QStringLiteral("A"));
    SetLabelColor(&tile, QColor(0, 0, 255));
    EXPECT_EQ(TextColour(tile.NameLabel()), QColor(0, 0, 255));
    EXPECT_EQ(TextColour(tile.IDLabel()), QColor(0, 0, 255));
    EXPECT_EQ(TextColour(tile.AnswerLabel()), QColor(255, 0, 0));
    AnswerKey.clear();
}

TEST(PenState, Sequences) {
    TStdChannel tile(nullptr, true);
    EXPECT_EQ(tile.PenState(), 0);
    EXPECT_EQ(AdvancePenState(&tile, true), 1);
    EXPECT_EQ(AdvancePenState(&tile, true), 2);
    EXPECT_EQ(AdvancePenState(&tile, true), 2);
    EXPECT_EQ(AdvancePenState(&tile, false), 0);
    EXPECT_EQ(tile.PenState(), 0);
    // two points after a pen-up: 1 then 2; a pen-up between them: 1 then 1
    EXPECT_EQ(AdvancePenState(&tile, true), 1);
    EXPECT_EQ(AdvancePenState(&tile, true), 2);
    AdvancePenState(&tile, false);
    EXPECT_EQ(AdvancePenState(&tile, true), 1);
    AdvancePenState(&tile, false);
    EXPECT_EQ(AdvancePenState(&tile, true), 1);
    EXPECT_EQ(AdvancePenState(nullptr, true), 0);
}

struct ShownPane : ::testing::Test {
    InkSize ink{100, 80};
    SlotTable table;
    std::unique_ptr<TBGPanel> panel;
    void SetUp() override {
        FillTable(table, 6);
        panel = std::make_unique<TBGPanel>(kLiveGrid, table);
        panel->resize(400, 300);
        panel->LayoutPanes(4, 0);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        QCoreApplication::processEvents();
    }
    int Paints(int i) {
        // The queued flush, held back to the next frame, then the update
        // request it posts.
        QTest::qWait(3 * 16);
        return panel->GetTile(i)->TileImage()->PaintCount();
    }
};

TEST_F(ShownPane, ALastPageShowsEmptyPanesWhereNoTileIs) {
    panel->LayoutPanes(4, 4); // tiles 4 and 5 on top, nothing below them
    const QImage shot = panel->grab().toImage();
    EXPECT_EQ(shot.pixelColor(100, 225), kEmptyPane);
    EXPECT_EQ(shot.pixelColor(300, 225), kEmptyPane);
    EXPECT_EQ(shot.pixelColor(200, 225), QColor(Qt::black)); // the gap between them
}

TEST_F(ShownPane, AdvanceRepaintsOnlyAShownPane) {
    TStdChannel *tile = panel->GetTile(1);
    ASSERT_TRUE(tile->Shown());
    const int before = Paints(1);
    AdvancePenState(tile, true);
    EXPECT_GT(Paints(1), before);
    tile->SetShown(false);
    const int hidden = Paints(1);
    AdvancePenState(tile, true);
    EXPECT_EQ(Paints(1), hidden);
    EXPECT_EQ(tile->PenState(), 2); // the state moved on all the same
}

TEST_F(ShownPane, PenUpFromAnotherThreadIsQueued) {
    TStdChannel *tile = panel->GetTile(2);
    AdvancePenState(tile, true);
    AdvancePenState(tile, true);
    const int before = Paints(2);
    std::thread reader([tile] { AdvancePenState(tile, false); });
    reader.join();
    EXPECT_EQ(tile->PenState(), 0);
    EXPECT_GT(Paints(2), before);
    EXPECT_EQ(AdvancePenState(tile, true), 1);
}

TEST_F(ShownPane, ConcurrentPenUpsAndPointsStayValid) {
    // The pen state word alone, hammered from both threads (a pane off the
    // page: no repaint requests, whose queue is Qt's own business).
    TStdChannel *tile = panel->GetTile(0);
    tile->SetShown(false);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop.load())
            AdvancePenState(tile, false);
    });
    for (int i = 0; i < 2000; ++i) {
        const int state = AdvancePenState(tile, true);
        ASSERT_TRUE(state == 1 || state == 2);
    }
    stop.store(true);
    reader.join();
    QCoreApplication::processEvents();
}

struct PanelFixture : ::testing::Test {
    SlotTable table;
    std::vector<QObject *> senders;
    std::vector<QPoint> points;
    std::vector<QObject *> doubles;
    void Watch(TBGPanel &panel) {
        QObject::connect(&panel, &TBGPanel::OnMouseDown,
                         [this](QObject *s, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
                             senders.push_back(s);
                             points.push_back(QPoint(x, y));
                         });
        QObject::connect(&panel, &TBGPanel::OnDblClick,
                         [this](QObject *s) { doubles.push_back(s); });
    }
};

TEST_F(PanelFixture, BuildsOneTilePerEntry) {
    FillTable(table, 12);
    table[3].CardSplitName = QStringLiteral("Pane Three");
    table[3].CardSplitID.store(333);
    TBGPanel seat(kSeatGrid, table);
    EXPECT_EQ(seat.TileCount(), 12);
    EXPECT_EQ(seat.Tiles().size(), 12);
    EXPECT_EQ(seat.TileWidth(), 80);
    EXPECT_EQ(seat.TileHeight(), 69);
    EXPECT_EQ(seat.SelectedIndex(), -1);
    EXPECT_EQ(seat.palette().color(QPalette::Window), QColor(0xA9, 0xC9, 0xEF));
    for (int i = 0; i < 12; ++i) {
        TStdChannel *tile = seat.GetTile(i);
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(tile->Tag(), i);
        EXPECT_EQ(tile->pos(), QPoint(0, 0));
        EXPECT_EQ(tile->size(), QSize(80, 69));
        EXPECT_FALSE(tile->isHidden());
        EXPECT_EQ(tile->CardID(), i + 1);
    }
    EXPECT_EQ(seat.GetTile(3)->StudentName(), QStringLiteral("Student 3"));
    EXPECT_FALSE(seat.GetTile(0)->TileImage()->Picture().isNull());

    TBGPanel live(kLiveGrid, table);
    EXPECT_EQ(live.TileWidth(), 0);
    EXPECT_EQ(live.TileHeight(), 0);
    EXPECT_EQ(live.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(live.GetTile(3)->StudentName(), QStringLiteral("Pane Three"));
    EXPECT_EQ(live.GetTile(3)->CardID(), 333);
    EXPECT_EQ(live.GetTile(4)->StudentName(), QStringLiteral("Student 4"));
    EXPECT_EQ(live.GetTile(0)->size(), QSize(0, 0));
    EXPECT_TRUE(live.GetTile(0)->TileImage()->Picture().isNull());

    TBGPanel answers(kAnswerGrid, table);
    EXPECT_EQ(answers.TileHeight(), 60);
    EXPECT_TRUE(answers.GetTile(0)->TileImage()->isHidden());
    EXPECT_FALSE(answers.GetTile(0)->AnswerLabel()->isHidden());
    EXPECT_EQ(answers.GetTile(0)->NameLabel()->y(), 8);
    EXPECT_EQ(answers.GetTile(3)->StudentName(), QStringLiteral("Student 3"));
}

TEST_F(PanelFixture, EmptySeatStillHasItsTile) {
    table.Clear();
    table.SetCount(1);
    TBGPanel seat(kSeatGrid, table);
    TStdChannel *tile = seat.GetTile(0);
    ASSERT_NE(tile, nullptr);
    EXPECT_TRUE(tile->NameLabel()->text().isEmpty());
    EXPECT_EQ(tile->IDLabel()->text(), QStringLiteral("(0000)"));
    EXPECT_FALSE(tile->TileImage()->Picture().isNull());
}

TEST_F(PanelFixture, GetTileRange) {
    FillTable(table, 100);
    TBGPanel seat(kSeatGrid, table);
    EXPECT_NE(seat.GetTile(0), nullptr);
    EXPECT_NE(seat.GetTile(99), nullptr);
    EXPECT_EQ(seat.GetTile(100), nullptr);
    EXPECT_EQ(seat.GetTile(-1), nullptr);
    EXPECT_EQ(seat.GetTile(256), nullptr);
    EXPECT_EQ(seat.GetTile(-256), nullptr);
}

TEST_F(PanelFixture, SelectTile) {
    FillTable(table, 10);
    TBGPanel seat(kSeatGrid, table);
    seat.SelectTile(3);
    EXPECT_EQ(seat.SelectedIndex(), 3);
    EXPECT_TRUE(seat.GetTile(3)->Selected());
    seat.SelectTile(5);
    EXPECT_FALSE(seat.GetTile(3)->Selected());
    EXPECT_TRUE(seat.GetTile(5)->Selected());
    // the same index again does nothing at all
    seat.GetTile(5)->SetSelected(false);
    seat.GetTile(2)->SetSelected(true);
    seat.SelectTile(5);
    EXPECT_FALSE(seat.GetTile(5)->Selected());
    EXPECT_TRUE(seat.GetTile(2)->Selected());
    // -1 (and any index out of range) removes every frame
    seat.SelectTile(-1);
    for (TStdChannel *tile : seat.Tiles())
        EXPECT_FALSE(tile->Selected());
    EXPECT_EQ(seat.SelectedIndex(), -1);
    seat.SelectTile(40);
    EXPECT_EQ(seat.SelectedIndex(), 40);
    for (TStdChannel *tile : seat.Tiles())
        EXPECT_FALSE(tile->Selected());
}

TEST_F(PanelFixture, SelectionFrameColours) {
    FillTable(table, 2);
    TBGPanel seat(kSeatGrid, table);
    seat.SelectTile(0);
    const QImage shot = seat.GetTile(0)->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 30)), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(QColor(shot.pixel(40, 0)), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(QColor(shot.pixel(79, 30)), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(QColor(shot.pixel(40, 68)), QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(QColor(seat.GetTile(1)->grab().toImage().pixel(0, 30)), QColor(0xA9, 0xC9, 0xEF));
    InkSize ink(50, 40);
    TBGPanel live(kLiveGrid, table);
    live.resize(400, 300);
    live.LayoutPanes(4, 0);
    live.SelectTile(1);
    EXPECT_EQ(QColor(live.GetTile(1)->grab().toImage().pixel(0, 30)), QColor(Qt::black));
}

TEST_F(PanelFixture, LayoutGridOnAPanel) {
    FillTable(table, 60);
    TBGPanel seat(kSeatGrid, table);
    seat.resize(800, 600);
    seat.LayoutGrid(8, 0, 6);
    EXPECT_EQ(seat.GetTile(0)->pos(), QPoint(17, 26));
    EXPECT_EQ(seat.GetTile(1)->pos(), QPoint(114, 26));
    EXPECT_EQ(seat.GetTile(8)->pos(), QPoint(17, 121));
    EXPECT_EQ(seat.GetTile(47)->geometry().bottom() + 1, 570);
    EXPECT_FALSE(seat.GetTile(47)->isHidden());
    EXPECT_TRUE(seat.GetTile(48)->isHidden());
    // more columns than fit: nothing changes
    seat.LayoutGrid(11, 0, 6); // 11 x 80 > 800
    EXPECT_EQ(seat.GetTile(0)->pos(), QPoint(17, 26));
    EXPECT_TRUE(seat.GetTile(48)->isHidden());
    // a start beyond the last tile hides everything
    seat.LayoutGrid(8, 60, 6);
    for (TStdChannel *tile : seat.Tiles())
        EXPECT_TRUE(tile->isHidden());
}

TEST_F(PanelFixture, LayoutPanesOnAPanel) {
    InkSize ink(200, 150);
    FillTable(table, 30);
    TBGPanel live(kLiveGrid, table);
    live.resize(800, 600);
    live.LayoutPanes(9, 3);
    EXPECT_EQ(live.PageStart(), 3);
    EXPECT_EQ(live.PaneCount(), 9);
    EXPECT_EQ(live.GetTile(3)->geometry(), QRect(0, 0, 266, 199));
    EXPECT_EQ(live.GetTile(11)->geometry(), QRect(534, 400, 266, 200));
    EXPECT_EQ(live.GetTile(2)->size(), QSize(0, 0));
    EXPECT_EQ(live.GetTile(12)->size(), QSize(0, 0));
    EXPECT_TRUE(live.GetTile(3)->Shown());
    EXPECT_FALSE(live.GetTile(12)->Shown());
    EXPECT_EQ(TextColour(live.GetTile(3)->NameLabel()), QColor(0, 0, 255));
    EXPECT_EQ(TextColour(live.GetTile(4)->NameLabel()), QColor(Qt::black));
    // labels centred for the pane's width
    EXPECT_EQ(live.GetTile(4)->NameLabel()->x(), (266 - 9 * 6) / 2);
    EXPECT_EQ(live.GetTile(4)->TileImage()->geometry(), QRect(0, 0, 264, 199 - 32));
    for (TStdChannel *tile : live.Tiles())
        EXPECT_FALSE(tile->Zoomed());

    // one pane: the whole panel, zoomed; the page to return to is kept
    live.LayoutPanes(1, 7);
    EXPECT_EQ(live.GetTile(7)->geometry(), QRect(0, 0, 800, 600));
    EXPECT_TRUE(live.GetTile(7)->Zoomed());
    EXPECT_EQ(live.PageStart(), 3);
    EXPECT_EQ(live.PaneCount(), 9);
    EXPECT_EQ(live.GetTile(3)->size(), QSize(0, 0));
    live.LayoutPanes(live.PaneCount(), live.PageStart());
    EXPECT_EQ(live.GetTile(3)->geometry(), QRect(0, 0, 266, 199));
    EXPECT_FALSE(live.GetTile(7)->Zoomed());

    // six panes: nobody zoomed
    live.LayoutPanes(6, 0);
    EXPECT_EQ(live.GetTile(0)->geometry(), QRect(1, 1, 398, 198));
    EXPECT_EQ(live.GetTile(5)->geometry(), QRect(400, 399, 398, 198));
    for (TStdChannel *tile : live.Tiles())
        EXPECT_FALSE(tile->Zoomed());

    // unsupported counts and starts change nothing
    for (int n : {5, 16}) {
        live.LayoutPanes(n, 0);
        EXPECT_EQ(live.GetTile(0)->geometry(), QRect(1, 1, 398, 198));
        EXPECT_EQ(live.PaneCount(), 6);
    }
    live.LayoutPanes(4, 30);
    EXPECT_EQ(live.GetTile(0)->geometry(), QRect(1, 1, 398, 198));
    live.LayoutPanes(4, -1);
    EXPECT_EQ(live.PaneCount(), 6);

    // nine panes from 25 of 30: five panes, the rest black background
    live.LayoutPanes(9, 25);
    EXPECT_EQ(live.GetTile(29)->geometry(), QRect(267, 200, 266, 199));
}

TEST_F(PanelFixture, ClearInkAndAnswers) {
    InkSize ink(60, 40);
    FillTable(table, 3);
    TBGPanel live(kLiveGrid, table);
    ASSERT_EQ(SDKIni(60, 40), 1);
    for (TStdChannel *tile : live.Tiles())
        tile->DrawInk(tile->Tag(), QPoint(5, 5), 1);
    SDKClear();
    const auto inked = [&live](int i) {
        return qGray(live.GetTile(i)->InkPicture().pixel(5, 5)) < 128;
    };
    live.ClearInk(1);
    EXPECT_FALSE(inked(1));
    EXPECT_TRUE(inked(0));
    live.ClearInk(3); // not a tile: nothing
    live.ClearInk(-2);
    EXPECT_TRUE(inked(0));
    live.ClearInk(-1);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(live.GetTile(i)->InkImage()->isNull()) << i;

    TBGPanel answers(kAnswerGrid, table);
    SetAnswer(answers.GetTile(0), QStringLiteral("B"));
    live.ClearAnswers(); // wrong kind: nothing
    answers.ClearInk(-1);
    answers.ClearAnswers();
    EXPECT_TRUE(answers.GetTile(0)->AnswerText().isEmpty());
    TBGPanel seat(kSeatGrid, table);
    SetAnswer(seat.GetTile(0), QStringLiteral("B"));
    seat.ClearAnswers();
    EXPECT_EQ(seat.GetTile(0)->AnswerText(), QStringLiteral("B"));
}

TEST_F(PanelFixture, Reload) {
    FillTable(table, 10);
    TBGPanel seat(kSeatGrid, table);
    seat.resize(800, 600);
    seat.LayoutGrid(8, 0, 6);
    seat.SelectTile(4);
    FillTable(table, 5);
    table[0].Name = QStringLiteral("New");
    seat.Reload(table, kSeatGrid);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(seat.TileCount(), 5);
    EXPECT_EQ(seat.SelectedIndex(), -1);
    EXPECT_EQ(seat.findChildren<TStdChannel *>(Qt::FindDirectChildrenOnly).size(), 5);
    for (TStdChannel *tile : seat.Tiles())
        EXPECT_EQ(tile->pos(), QPoint(0, 0));
    EXPECT_EQ(seat.GetTile(0)->StudentName(), QStringLiteral("New"));
    EXPECT_EQ(seat.GetTile(5), nullptr);
}

TEST_F(PanelFixture, PressesReachThePanelWithTheTileAsSender) {
    FillTable(table, 4);
    TBGPanel seat(kSeatGrid, table);
    seat.resize(800, 600);
    seat.LayoutGrid(4, 0, 1);
    Watch(seat);
    TStdChannel *tile = seat.GetTile(2);
    QTest::mousePress(tile->NameLabel(), Qt::RightButton, {}, QPoint(3, 4));
    QTest::mousePress(tile->TileImage(), Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mousePress(tile->InnerPanel(), Qt::LeftButton, {}, QPoint(1, 2));
    QTest::mousePress(tile, Qt::LeftButton, {}, QPoint(0, 0));
    QTest::mousePress(&seat, Qt::LeftButton, {}, QPoint(790, 590));
    ASSERT_EQ(senders.size(), 5u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(senders[i], tile) << i;
    EXPECT_EQ(points[0], QPoint(3, 4));
    EXPECT_EQ(points[1], QPoint(7, 8));
    EXPECT_EQ(senders[4], &seat);
    QTest::mouseDClick(tile->IDLabel(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(tile->IDLabel(), Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(doubles.size(), 1u);
    EXPECT_EQ(senders.size(), 6u); // the double-click's press follows it
    EXPECT_EQ(doubles[0], tile);
}

} // namespace
} // namespace lumora

namespace lumora {
namespace {

// The ink sheet is scaled over the largest part of the picture that keeps its
// shape: shrunk by area averaging, enlarged linearly, white paper stays
// exactly white, the surround colour around it.
TEST(InkPicture, ScaledOverThePictureWithItsShapeKept) {
    InkSize ink(100, 80);
    TStdChannel pane(nullptr, true);
    QImage *image = pane.InkImage();
    *image = QImage(100, 80, QImage::Format_Grayscale8);
    image->fill(0xFF);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 40; ++x)
            image->setPixel(x, y, qRgb(0, 0, 0)); // the left 40 % black
    for (QSize picture :
         {QSize(50, 40), QSize(200, 160), QSize(37, 91), QSize(100, 80), QSize(300, 120)}) {
        pane.SetBounds(QRect(QPoint(0, 0), picture + QSize(2, 32)));
        ASSERT_EQ(pane.TileImage()->size(), picture);
        const QRect sheet = pane.TileImage()->SheetRect();
        EXPECT_EQ(sheet, FitRect(QSize(100, 80), picture));
        const QImage shot = pane.TileImage()->grab().toImage().copy(sheet);
        const int w = sheet.width(), h = sheet.height();
        EXPECT_EQ(shot.pixel(0, h / 2), qRgb(0, 0, 0)) << w;
        EXPECT_EQ(shot.pixel(w * 40 / 100 - 2, h - 1), qRgb(0, 0, 0)) << w;
        EXPECT_EQ(shot.pixel(w * 40 / 100 + 2, 0), qRgb(255, 255, 255)) << w;
        EXPECT_EQ(shot.pixel(w - 1, h - 1), qRgb(255, 255, 255)) << w;
        // the edge is one grey step at most a pixel wide (area or linear)
        int greys = 0;
        for (int x = 0; x < w; ++x)
            greys += qRed(shot.pixel(x, h / 2)) != 0 && qRed(shot.pixel(x, h / 2)) != 255;
        EXPECT_LE(greys, w > 100 ? 2 : 1) << w;
    }
}

} // namespace
} // namespace lumora
