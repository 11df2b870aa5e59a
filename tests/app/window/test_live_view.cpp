#include "support/WindowTest.h"

#include "session/DeviceBridge.h"
#include "views/GroupBar.h"

#include <QCoreApplication>
#include <QTreeWidget>

namespace lumora::test {
namespace {

class LiveViewTest : public WindowTest {
protected:
    QTreeWidget *List() { return Window().findChild<QTreeWidget *>(QStringLiteral("lvStd")); }
    void PressRow(int index) {
        QTreeWidgetItem *row = List()->topLevelItem(index);
        List()->scrollToItem(row);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(row).center());
    }
    void Subjective() { Window().Item(QStringLiteral("EssayQuestion"))->Click(); }
    void Post(QEvent::Type type, uint32_t w, uint32_t l) {
        QCoreApplication::postEvent(&Window(), new DeviceEvent(type, w, l));
        QCoreApplication::sendPostedEvents(&Window());
    }
    static int DarkPixels(const QImage &image) {
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                dark += qGray(image.pixel(x, y)) < 200;
            }
        }
        return dark;
    }
};

TEST_F(LiveViewTest, ChoosingAStudentInTheListStartsThePageExactlyThere) {
    Open(30, 6, 5, 9);
    Subjective();
    EXPECT_TRUE(Window().LiveGrid->isVisible());
    EXPECT_TRUE(List()->isVisible());
    PressRow(25);
    EXPECT_EQ(Window().LiveGrid->PageStart(), 25);
    EXPECT_EQ(VisiblePanes(), (std::vector<int>{25, 26, 27, 28, 29}));
}

TEST_F(LiveViewTest, DoubleClickZoomsAPaneAndBringsThePageBack) {
    Open(20, 6, 5, 6);
    Subjective();
    TStdChannel *pane = Tile(Window().LiveGrid, 3);
    QTest::mouseDClick(pane, Qt::LeftButton);
    EXPECT_EQ(VisiblePanes(), (std::vector<int>{3}));
    EXPECT_EQ(pane->size(), Window().LiveGrid->size());
    QTest::mouseDClick(pane, Qt::LeftButton);
    EXPECT_EQ(Window().LiveGrid->PaneCount(), 6);
    EXPECT_EQ(Window().LiveGrid->PageStart(), 0);
    EXPECT_EQ(VisiblePanes(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(LiveViewTest, PressingAPaneSelectsItsRowAndMarksItsLabels) {
    Open(30, 6, 5, 9);
    Subjective();
    QTest::mousePress(Tile(Window().LiveGrid, 4), Qt::LeftButton);
    EXPECT_EQ(List()->indexOfTopLevelItem(List()->currentItem()), 4);
    EXPECT_EQ(Tile(Window().LiveGrid, 4)->NameLabel()->palette().color(QPalette::WindowText),
              QColor(0, 0, 255));
    QTest::mousePress(Tile(Window().LiveGrid, 5), Qt::LeftButton);
    EXPECT_EQ(Tile(Window().LiveGrid, 4)->NameLabel()->palette().color(QPalette::WindowText),
              QColor(Qt::black));
    // A left press opens no menu.
    EXPECT_EQ(Window().CurrentTile, Tile(Window().LiveGrid, 5));
}

TEST_F(LiveViewTest, SubjectiveQuestionWithASelectedRowShowsThatStudentsPage) {
    Open(30, 6, 5, 9);
    List()->setCurrentItem(List()->topLevelItem(12));
    Subjective();
    EXPECT_EQ(Window().LiveGrid->PageStart(), 12);
}

TEST_F(LiveViewTest, InkReachesPanesOffThePageAndKeyNineWipesOnlyItsPane) {
    Open(30, 6, 5, 9);
    Subjective();
    // Pane 20 is not on the first page; it draws all the same.
    const uint32_t points[] = {PackCanvasPoint({40, 40}), PackCanvasPoint({60, 45}),
                               PackCanvasPoint({80, 50})};
    for (int slot : {20, 1}) {
        for (uint32_t p : points) {
            Post(WM_TABLET_PEN, static_cast<uint32_t>(slot), p);
        }
        Post(WM_TABLET_PEN_UP, static_cast<uint32_t>(slot), 0);
    }
    EXPECT_GT(DarkPixels(Tile(Window().LiveGrid, 20)->InkPicture()), 20);
    EXPECT_EQ(Tile(Window().LiveGrid, 20)->PenState(), 0);
    PressRow(20);
    EXPECT_TRUE(Tile(Window().LiveGrid, 20)->Shown());

    Post(WM_TABLET_WIPE, 20, 0);
    EXPECT_EQ(DarkPixels(Tile(Window().LiveGrid, 20)->InkPicture()), 0);
    EXPECT_GT(DarkPixels(Tile(Window().LiveGrid, 1)->InkPicture()), 20);
    // NotStarted wipes every pane.
    Window().Item(QStringLiteral("NotStarted"))->Click();
    EXPECT_EQ(DarkPixels(Tile(Window().LiveGrid, 1)->InkPicture()), 0);
}

TEST_F(LiveViewTest, PointsAboveThePaneAreClippedNotStreakedDown) {
    Open(4, 2, 2, 4);
    Subjective();
    // A stroke that leaves the pane over its top edge: nothing below row 60.
    Post(WM_TABLET_PEN, 0, PackCanvasPoint({50, 40}));
    Post(WM_TABLET_PEN, 0, PackCanvasPoint({52, 10}));
    Post(WM_TABLET_PEN, 0, PackCanvasPoint({54, -30}));
    Post(WM_TABLET_PEN, 0, PackCanvasPoint({56, -45}));
    const QImage ink = Tile(Window().LiveGrid, 0)->InkPicture();
    int below = 0;
    for (int y = 60; y < ink.height(); ++y) {
        for (int x = 0; x < ink.width(); ++x) {
            below += qGray(ink.pixel(x, y)) < 200;
        }
    }
    EXPECT_EQ(below, 0);
    EXPECT_GT(DarkPixels(ink), 0);
}

} // namespace
} // namespace lumora::test
