// The navigation bar, the tile presses and the receiver indicator: which view
// each item shows and marks, items that must do nothing, the exit
// confirmation, the seat menu, and the device state messages.
#include "core/Helpers.h"
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "controls/SkinButton.h"
#include "core/MessageTexts.h"
#include "session/DeviceBridge.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QTest>

namespace lumora::test {
namespace {

// Six seats: five students with tablets 1..5 and a seat without a name.
class Navigation : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteConfig(3, 2, 4);
        auto students = NumberedClass(5);
        students.push_back({QString(), 6});
        WriteRoster(students);
        UseReplay(ReplayScript().Wait(60000));
    }

    // Everything a navigation item may change.
    struct Snapshot {
        QStringList views;
        QStringList marks;
        int questionType;
        int answerState;
        QString answerLine;
        bool answerLineHidden;
        QString answerKey;
        bool operator==(const Snapshot &) const = default;
    };
    Snapshot Take() {
        return {ShownViews(),
                MarkedItems(),
                window_->Session().CurrentQuestionType.load(),
                window_->Session().CurrentAnswerState.load(),
                Label("lblAns")->text(),
                Label("lblAns")->isHidden(),
                AnswerKey};
    }
};

// The answer dialog of a choice question: the key typed, then OK.
DialogResponder AnswerWith(const QString &key) {
    return [key](TFrmSetName &dialog) {
        Type(dialog, "edtName", key);
        Click(dialog, "btn1");
    };
}

TEST_F(Navigation, LiveViewBeforeAnyQuestionTypeShowsTheAnswerGrid) {
    Start();
    Choose("LiveView");
    EXPECT_EQ(ShownViews(), QStringList{"AnswerGrid"});
    EXPECT_EQ(MarkedItems(), (QStringList{"LiveView", "NotStarted"}));
    EXPECT_EQ(Control<QWidget>("pnl2")->width(), 0);
    EXPECT_TRUE(Control<QWidget>("img3")->isHidden());
}

struct ViewCase {
    const char *question; // chosen first (choice questions get their dialog cancelled), or null
    const char *item;
    QStringList shown;
    QStringList marked;
};

class ViewSwitch : public Navigation, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(ViewSwitch, ShowsOneViewAndMarksTheItem) {
    const ViewCase &c = GetParam();
    DialogAnswer cancel([](TFrmSetName &) {});
    Start();
    if (c.question != nullptr) {
        Choose(c.question);
    }
    Choose(c.item);
    EXPECT_EQ(ShownViews(), c.shown);
    EXPECT_EQ(MarkedItems(), c.marked);
    const bool sideBar = c.shown.contains(QStringLiteral("pnl2"));
    EXPECT_EQ(Control<QWidget>("pnl2")->width(), sideBar ? 130 : 0);
    EXPECT_EQ(Control<QWidget>("img3")->isHidden(), !sideBar);
    if (sideBar) {
        // The live grid exactly fills the area left of the side bar.
        window_->layout()->activate();
        EXPECT_EQ(window_->LiveGrid->width(), Control<QWidget>("pnlBG")->width());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, ViewSwitch,
    ::testing::Values(
        ViewCase{nullptr, "MainInterface", {"SeatGrid"}, {"MainInterface", "NotStarted"}},
        ViewCase{nullptr, "Statisticalresults", {"pnlDraw"}, {"NotStarted", "Statisticalresults"}},
        ViewCase{nullptr,
                 "LayoutSettings",
                 {"pnlSet"},
                 {"LayoutSettings", "MainInterface", "NotStarted"}},
        ViewCase{"LayoutSettings", "MainInterface", {"SeatGrid"}, {"MainInterface", "NotStarted"}},
        ViewCase{
            "SingleChoice", "LiveView", {"AnswerGrid"}, {"LiveView", "NotStarted", "SingleChoice"}},
        ViewCase{"multipleChoice",
                 "MainInterface",
                 {"SeatGrid"},
                 {"MainInterface", "NotStarted", "multipleChoice"}},
        ViewCase{"EssayQuestion",
                 "LiveView",
                 {"LiveGrid", "pnl2"},
                 {"EssayQuestion", "LiveView", "NotStarted"}},
        ViewCase{"EssayQuestion",
                 "Statisticalresults",
                 {"pnlDraw"},
                 {"EssayQuestion", "NotStarted", "Statisticalresults"}}));

class InertItem : public Navigation, public ::testing::WithParamInterface<const char *> {};

TEST_P(InertItem, ChangesNothing) {
    DialogAnswer answer(AnswerWith(QStringLiteral("ab")));
    Start();
    Choose("multipleChoice");
    Choose("UnderWay");
    Choose("Statisticalresults");
    const Snapshot before = Take();
    Choose(GetParam());
    EXPECT_TRUE(Take() == before) << "after " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Headings, InertItem,
                         ::testing::Values("TopicsType", "AnswerState", "QuestionsEdit"));

class Quit : public Navigation, public ::testing::WithParamInterface<bool> {
protected:
    // The Quit item, or the title strip's close button.
    void Trigger() {
        if (GetParam()) {
            Choose("Quit");
        } else {
            QTest::mouseClick(Control<TImageButton>("btnClose"), Qt::LeftButton);
        }
    }
};

TEST_P(Quit, CancelLeavesTheProgramRunning) {
    DialogAnswer answer(AnswerWith(QStringLiteral("a")));
    PromptRecorder prompts(false);
    TFrmMain &w = Start();
    Choose("SingleChoice");
    const Snapshot before = Take();
    Trigger();
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(prompts.Prompts()[0].Title, QStringLiteral("Vote System"));
    EXPECT_EQ(prompts.Prompts()[0].Text, QStringLiteral("确定退出系统吗?"));
    EXPECT_TRUE(prompts.Prompts()[0].WithCancel);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(Take() == before);
    ASSERT_NE(w.AnswerGrid, nullptr);
    // Still running: device messages still reach the grids.
    QCoreApplication::postEvent(&w, new DeviceEvent(WM_TABLET_KEY, 1, 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(w.AnswerGrid->GetTile(1)->AnswerText(), QStringLiteral("A"));
}

TEST_P(Quit, OkClosesAndWritesBothFiles) {
    PromptRecorder prompts(true);
    TFrmMain &w = Start();
    ASSERT_TRUE(QFile::remove(DataPath("Config.ini")));
    ASSERT_TRUE(QFile::remove(DataPath("StudentInfo.ini")));
    Trigger();
    EXPECT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.SeatGrid, nullptr);
    EXPECT_TRUE(QFile::exists(DataPath("Config.ini")));
    EXPECT_TRUE(QFile::exists(DataPath("StudentInfo.ini")));
}

INSTANTIATE_TEST_SUITE_P(ItemAndButton, Quit, ::testing::Bool());

struct SeatPress {
    int seat;
    Qt::MouseButton button;
    bool menu;
    bool deleteItemShown;
};

class SeatTile : public Navigation, public ::testing::WithParamInterface<SeatPress> {};

TEST_P(SeatTile, PressSelectsAndRightPressPopsUpTheMenu) {
    const SeatPress &c = GetParam();
    TFrmMain &w = Start();
    QMenu *menu = Menu();
    // Before: a right press on the unnamed seat has hidden N2.
    QTest::mousePress(w.SeatGrid->GetTile(5), Qt::RightButton, {}, QPoint(8, 8));
    ASSERT_FALSE(MenuItem("N2")->isVisible());
    menu->hide();

    TStdChannel *tile = w.SeatGrid->GetTile(c.seat);
    QTest::mousePress(tile, c.button, {}, QPoint(12, 9));
    EXPECT_EQ(w.SeatGrid->SelectedIndex(), c.seat);
    EXPECT_EQ(w.CurrentTile, tile);
    EXPECT_EQ(menu->isVisible(), c.menu);
    EXPECT_TRUE(MenuItem("N1")->isVisible());
    EXPECT_EQ(MenuItem("N2")->isVisible(), c.deleteItemShown);
    if (c.menu) {
        EXPECT_EQ(MenuItem("N1")->text(), MessageTexts[MessageKey::Tip2]);
        EXPECT_EQ(MenuItem("N1")->data().toInt(), 0);
        Shot(&w, QStringLiteral("seat-menu-%1").arg(c.seat));
        Shot(menu, QStringLiteral("seat-menu-%1-items").arg(c.seat));
    }
    menu->hide();
}

INSTANTIATE_TEST_SUITE_P(Presses, SeatTile,
                         ::testing::Values(SeatPress{5, Qt::RightButton, true, false},
                                           SeatPress{0, Qt::RightButton, true, true},
                                           SeatPress{0, Qt::LeftButton, false, true},
                                           SeatPress{5, Qt::LeftButton, false, true}));

TEST_F(Navigation, RightPressOnTheSeatMenuAppearsAtThePressedPoint) {
    TFrmMain &w = Start();
    TStdChannel *tile = w.SeatGrid->GetTile(0);
    QTest::mousePress(tile, Qt::RightButton, {}, QPoint(20, 15));
    ASSERT_TRUE(Menu()->isVisible());
    EXPECT_EQ(Menu()->pos(), tile->mapToGlobal(QPoint(20, 15)));
    Menu()->hide();
}

TEST_F(Navigation, AnswerTilePressSelectsWithoutMenu) {
    TFrmMain &w = Start();
    Choose("LiveView");
    TStdChannel *tile = w.AnswerGrid->GetTile(2);
    QTest::mousePress(tile, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(w.AnswerGrid->SelectedIndex(), 2);
    EXPECT_EQ(w.CurrentTile, tile);
    EXPECT_FALSE(Menu()->isVisible());
    EXPECT_EQ(w.SeatGrid->SelectedIndex(), -1);
}

// Device states posted by the test; the replayed receiver's own state
// messages are held back so that only these count.
constexpr uint32_t kPostedByTest = 0x7E57;
class OwnStatesOnly : public QObject {
protected:
    bool eventFilter(QObject *, QEvent *event) override {
        return event->type() == WM_DEVICE_STATE &&
               static_cast<DeviceEvent *>(event)->lParam != kPostedByTest;
    }
};

struct StateCase {
    std::vector<uint32_t> states;
    bool enabled;
};

class DeviceState : public Navigation, public ::testing::WithParamInterface<StateCase> {};

TEST_P(DeviceState, DrivesTheReceiverButton) {
    TFrmMain &w = Start();
    OwnStatesOnly filter;
    w.installEventFilter(&filter);
    for (uint32_t state : GetParam().states) {
        QCoreApplication::postEvent(&w, new DeviceEvent(WM_DEVICE_STATE, state, kPostedByTest));
    }
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_EQ(Control<QWidget>("btnUsbState")->isEnabled(), GetParam().enabled);
    w.removeEventFilter(&filter);
}

INSTANTIATE_TEST_SUITE_P(Sequences, DeviceState,
                         ::testing::Values(StateCase{{}, true}, StateCase{{0}, false},
                                           StateCase{{0, 1}, true}, StateCase{{0, 3}, true},
                                           StateCase{{0, 2}, false}, StateCase{{2}, true},
                                           StateCase{{1, 3, 0, 2}, false}, StateCase{{0, 4}, false},
                                           StateCase{{0, 0, 1}, true}));

TEST_F(Navigation, DeviceMessagesForSeatsThatDoNotExistAreIgnored) {
    TFrmMain &w = Start();
    Choose("EssayQuestion");
    for (uint32_t slot : {6u, 99u, 100u, 255u, 0xFFFFFFFFu}) {
        for (QEvent::Type type : {WM_TABLET_KEY, WM_TABLET_PEN, WM_TABLET_PEN_UP, WM_TABLET_WIPE}) {
            QCoreApplication::postEvent(&w, new DeviceEvent(type, slot, 0x00400040));
        }
    }
    QCoreApplication::sendPostedEvents(&w);
    for (int seat = 0; seat < 6; ++seat) {
        EXPECT_TRUE(w.AnswerGrid->GetTile(seat)->AnswerText().isEmpty());
        EXPECT_EQ(InkPixels(w.LiveGrid->GetTile(seat)->InkPicture()), 0);
    }
}

TEST_F(Navigation, ReceiverLostAndBackFromTheReplay) {
    UseReplay(
        ReplayScript().Wait(200).Keys(2, {1}).Wait(300).Unplug().Wait(1500).Plug().Wait(60000));
    Start();
    auto *button = Control<QWidget>("btnUsbState");
    ASSERT_TRUE(WaitFor([&] { return !button->isEnabled(); })) << "the loss was not shown";
    Shot(window_, QStringLiteral("receiver-lost"));
    EXPECT_TRUE(WaitFor([&] { return button->isEnabled(); })) << "the return was not shown";
}

} // namespace
} // namespace lumora::test
