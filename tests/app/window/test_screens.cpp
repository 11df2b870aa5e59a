// The main window on two screens, a teacher's laptop and a projector (the
// offscreen platform's screens from two-screens.json): the key and the
// settings panel's button move the whole window to the next screen, the
// views follow its size, and the next start is on the screen last used.
#include "support/WindowTest.h"

#include "config/Preferences.h"
#include "controls/SkinButton.h"
#include "views/GroupBar.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace lumora::test {
namespace {

class Screens : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_EQ(QGuiApplication::screens().size(), 2) << "QT_QPA_PLATFORM=offscreen:configfile=";
    }
    static QScreen *Laptop() { return QGuiApplication::screens()[0]; }
    static QScreen *Projector() { return QGuiApplication::screens()[1]; }
    void NextScreenKey() {
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        QTest::keyClick(&Window(), Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    }
    // Every view of the view area fills it (the live view beside the list).
    void ExpectViewsFitTheArea() {
        const QSize area = Control<QWidget>("pnlBG")->size();
        EXPECT_EQ(Window().SeatGrid->size(), area);
        EXPECT_EQ(Window().AnswerGrid->size(), area);
        EXPECT_EQ(Control<QWidget>("pnlDraw")->size(), area);
        EXPECT_EQ(Window().LiveGrid->height(), area.height());
        const QWidget *panel = Control<QWidget>("pnlSet");
        EXPECT_EQ(panel->x(), (area.width() - panel->width()) / 2);
    }
};

TEST_F(Screens, TheKeyMovesTheWindowRoundTheScreensAndTheViewsFollow) {
    Open(30, 6, 5, 9);
    EXPECT_EQ(Window().screen(), Laptop()); // the primary one: none remembered
    EXPECT_EQ(Window().geometry(), Laptop()->geometry());
    const QSize small = Tile(Window().SeatGrid, 0)->size();

    NextScreenKey();
    EXPECT_EQ(Window().geometry(), Projector()->geometry());
    ExpectViewsFitTheArea();
    // The tiles grow with the screen, laid out again.
    EXPECT_GT(Tile(Window().SeatGrid, 0)->width(), small.width());
    EXPECT_TRUE(Tile(Window().SeatGrid, 29)->isVisibleTo(Window().SeatGrid));
    EXPECT_EQ(LoadPreferences(Dir()).Screen, u"projector"_qs);

    NextScreenKey(); // after the last, the first
    EXPECT_EQ(Window().geometry(), Laptop()->geometry());
    ExpectViewsFitTheArea();
    EXPECT_EQ(Tile(Window().SeatGrid, 0)->size(), small);
    EXPECT_EQ(LoadPreferences(Dir()).Screen, u"laptop"_qs);
}

TEST_F(Screens, TheLiveViewKeepsItsPageAndItsZoomedPane) {
    Open(30, 6, 5, 9);
    Choose("EssayQuestion");
    Window().PageKey(1); // panes 9 .. 17
    ASSERT_EQ(Window().LiveGrid->PageStart(), 9);
    NextScreenKey();
    EXPECT_EQ(VisiblePanes().front(), 9);
    // The student list stays beside the live view, whose panes fill the rest.
    EXPECT_TRUE(Control<QWidget>("lvStd")->isVisible());
    EXPECT_EQ(Window().LiveGrid->size(), Control<QWidget>("pnlBG")->size());
    EXPECT_EQ(Tile(Window().LiveGrid, 17)->geometry().bottomRight(),
              Window().LiveGrid->rect().bottomRight());

    Window().LiveGrid->SelectTile(12);
    Window().ZoomSelectedPane();
    NextScreenKey();
    EXPECT_TRUE(Tile(Window().LiveGrid, 12)->Zoomed());
    EXPECT_EQ(Tile(Window().LiveGrid, 12)->size(), Window().LiveGrid->size());
}

TEST_F(Screens, TheNextStartIsOnTheScreenLastUsedWhileItIsThere) {
    const std::pair<const char *, int> cases[] = {
        {"projector", 1},
        {"laptop", 0},
        {"gone", 0},
        {"", 0},
    };
    for (const auto &[remembered, screen] : cases) {
        SCOPED_TRACE(remembered);
        preferences_.Screen = QString::fromLatin1(remembered);
        Open(4);
        EXPECT_EQ(Window().geometry(), QGuiApplication::screens()[screen]->geometry());
        EXPECT_EQ(Window().screen(), QGuiApplication::screens()[screen]);
        Close();
    }
}

TEST_F(Screens, TheSettingsPanelSaysWhichScreenAndItsButtonMovesTheWindow) {
    Open(4);
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    auto *button = Control<TImageButton>("btnNextScreen");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(Control<QLabel>("lblScreen")->text(), u"第 1 个，共 2 个"_qs);
    EXPECT_TRUE(button->toolTip().contains(
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right).toString(QKeySequence::NativeText)))
        << button->toolTip().toStdString();
    button->Click();
    EXPECT_EQ(Window().screen(), Projector());
    EXPECT_EQ(Control<QLabel>("lblScreen")->text(), u"第 2 个，共 2 个"_qs);
    EXPECT_EQ(LoadPreferences(Dir()).Screen, u"projector"_qs);
}

} // namespace
} // namespace lumora::test
