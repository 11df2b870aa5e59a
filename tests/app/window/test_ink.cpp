// Handwriting of a subjective question: replayed pen strokes drawn into the
// panes of the tablets' pane-layer entries, where the conversion puts them,
// and key 9 wiping only the pane of the tablet that pressed it.
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "session/DeviceBridge.h"

#include <QTreeWidget>

namespace lumora::test {
namespace {

class Ink : public WindowTest {
protected:
    // The pixel row and column range of a horizontal tablet line at height y
    // from x0 to x1.
    QRect Band(int x0, int x1, int y) const {
        const double scaleX = kTabletWidth / InkWidth;
        const double scaleY = kTabletHeight / InkHeight;
        const CanvasPoint from = PenToCanvas(x0, y, scaleX, scaleY);
        const CanvasPoint to = PenToCanvas(x1, y, scaleX, scaleY);
        constexpr int kSlack = 8; // brush width and smoothing
        return QRect(QPoint(from.x - kSlack, from.y - kSlack),
                     QPoint(to.x + kSlack, to.y + kSlack));
    }
    QImage Pane(int i) const { return window_->LiveGrid->GetTile(i)->InkPicture(); }
};

TEST_F(Ink, StrokesReachTheirPanesAndKeyNineWipesOnlyItsOwn) {
    WriteConfig(2, 2, 4);
    // Seat 2's pane holds tablet 33; its seat tablet 23 writes into no pane.
    WriteRoster({{"Ann", 21}, {"Ben", 22}, {"Cai", 23, "Pane Cai", 33}, {"Dan", 24}});
    const std::vector<QPoint> upper = Line({1000, 800}, {2000, 800});
    const std::vector<QPoint> lower = Line({1000, 1500}, {2000, 1500});
    UseReplay(ReplayScript()
                  .Wait(300)
                  .Stroke(21, upper)
                  .Stroke(22, upper)
                  .Stroke(33, upper)
                  .Stroke(23, lower)
                  .Wait(1500)
                  .Keys(21, {ReplayScript::kClearCode})
                  .Keys(23, {ReplayScript::kClearCode})
                  .Stroke(21, lower)
                  .Wait(50)
                  .Stroke(24, upper) // last: once it shows, everything before it is handled
                  .Wait(60000));
    TFrmMain &w = Start();
    Choose("EssayQuestion");
    ASSERT_EQ(ShownViews(), (QStringList{"LiveGrid", "pnl2"}));
    const QRect top = Band(1000, 2000, 800);
    const QRect bottom = Band(1000, 2000, 1500);

    ASSERT_TRUE(WaitFor([&] {
        return InkPixels(Pane(0), top) > 0 && InkPixels(Pane(1), top) > 0 &&
               InkPixels(Pane(2), top) > 0;
    })) << "the first strokes never arrived";
    Shot(&w, QStringLiteral("ink-before-wipe"));
    ASSERT_TRUE(WaitFor([&] { return InkPixels(Pane(3), top) > 0; }))
        << "the last stroke never arrived";
    Shot(&w, QStringLiteral("ink-after-wipe"));

    // Tablet 21 wiped its pane, then wrote lower down.
    EXPECT_EQ(InkPixels(Pane(0), top), 0);
    EXPECT_GT(InkPixels(Pane(0), bottom), 0);
    // The others kept theirs, each only where the points map to.
    for (int pane : {1, 2, 3}) {
        EXPECT_EQ(InkPixels(Pane(pane)), InkPixels(Pane(pane), top)) << "ink astray in " << pane;
        EXPECT_GT(InkPixels(Pane(pane), top), 20) << pane;
    }
    EXPECT_EQ(InkPixels(Pane(0)), InkPixels(Pane(0), bottom));
    // Every pen-up ended its stroke; keys of a subjective question are no answers.
    for (int pane = 0; pane < 4; ++pane) {
        EXPECT_EQ(w.LiveGrid->GetTile(pane)->PenState(), 0) << pane;
        EXPECT_EQ(w.Table()[pane].Answer.load(), 0u) << pane;
    }

    // Changing the question type or the view keeps the ink.
    {
        DialogAnswer cancel([](TFrmSetName &) {});
        Choose("SingleChoice");
    }
    Choose("MainInterface");
    Choose("EssayQuestion");
    EXPECT_GT(InkPixels(Pane(1), top), 20);
    Choose("NotStarted");
    for (int pane = 0; pane < 4; ++pane) {
        EXPECT_EQ(InkPixels(Pane(pane)), 0) << pane;
    }
}

TEST_F(Ink, AReceiverLostInAStrokeEndsItSoTheNextStrokeStandsApart) {
    WriteConfig(2, 2, 4);
    WriteRoster({{"Ann", 21}, {"Ben", 22}, {"Cai", 23}, {"Dan", 24}});
    const std::vector<QPoint> upper = Line({1000, 800}, {1600, 800});
    const std::vector<QPoint> lower = Line({1000, 1500}, {2000, 1500});
    // Tablets 21 and 22 are writing when the receiver goes; the pen-ups are
    // never heard. After its return 21 writes lower down, and 24 last.
    UseReplay(ReplayScript()
                  .Wait(300)
                  .Stroke(21, upper, false)
                  .Stroke(22, upper, false)
                  .Wait(100)
                  .Unplug()
                  .Wait(1500)
                  .Plug()
                  .Wait(1500)
                  .Stroke(21, lower)
                  .Wait(50)
                  .Stroke(24, upper)
                  .Wait(60000));
    TFrmMain &w = Start();
    Choose("EssayQuestion");
    auto *usb = Control<QWidget>("btnUsbState");
    ASSERT_TRUE(WaitFor([&] { return !usb->isEnabled(); })) << "the loss was not shown";
    // The loss ended both open strokes.
    EXPECT_GT(InkPixels(Pane(0)), 0);
    EXPECT_GT(InkPixels(Pane(1)), 0);
    EXPECT_EQ(w.LiveGrid->GetTile(0)->PenState(), 0);
    EXPECT_EQ(w.LiveGrid->GetTile(1)->PenState(), 0);

    ASSERT_TRUE(WaitFor([&] { return InkPixels(Pane(3)) > 0; })) << "the last stroke never came";
    Shot(&w, QStringLiteral("ink-after-receiver-loss"));
    const QRect top = Band(1000, 1600, 800);
    const QRect bottom = Band(1000, 2000, 1500);
    ASSERT_FALSE(top.intersects(bottom));
    // Two strokes, nothing joining them.
    EXPECT_GT(InkPixels(Pane(0), top), 20);
    EXPECT_GT(InkPixels(Pane(0), bottom), 20);
    EXPECT_EQ(InkPixels(Pane(0)), InkPixels(Pane(0), top) + InkPixels(Pane(0), bottom));
}

class EssayPage : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteConfig(3, 3, 4);
        WriteRoster(NumberedClass(9));
        UseReplay(ReplayScript().Wait(60000));
    }
};

TEST_F(EssayPage, ASelectedStudentBeginsThePage) {
    TFrmMain &w = Start();
    auto *list = Control<QTreeWidget>("lvStd");
    list->setCurrentItem(list->topLevelItem(5));
    ASSERT_TRUE(list->topLevelItem(5)->isSelected());
    Choose("EssayQuestion");
    EXPECT_EQ(w.LiveGrid->PageStart(), 5);
    EXPECT_EQ(w.LiveGrid->PaneCount(), 4);
    EXPECT_TRUE(w.LiveGrid->GetTile(5)->Shown());
    EXPECT_FALSE(w.LiveGrid->GetTile(0)->Shown());
}

TEST_F(EssayPage, WithoutASelectedStudentThePageStays) {
    TFrmMain &w = Start();
    auto *list = Control<QTreeWidget>("lvStd");
    // A row can stay current after its selection was taken back (Ctrl+click).
    list->setCurrentItem(list->topLevelItem(5));
    list->clearSelection();
    ASSERT_TRUE(list->selectedItems().isEmpty());
    Choose("EssayQuestion");
    EXPECT_EQ(w.LiveGrid->PageStart(), 0);
    EXPECT_TRUE(w.LiveGrid->GetTile(0)->Shown());
}

} // namespace
} // namespace lumora::test
