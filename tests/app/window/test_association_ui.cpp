#include "core/MessageTexts.h"
#include "support/WindowTest.h"

#include "session/DeviceBridge.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTreeWidget>

namespace lumora::test {
namespace {

class AssociationUiTest : public WindowTest {
protected:
    QString Row(int index) {
        return Window()
            .findChild<QTreeWidget *>(QStringLiteral("lvStd"))
            ->topLevelItem(index)
            ->text(1);
    }
};

TEST_F(AssociationUiTest, SeatAssociationUpdatesAllGridsTheListAndTheFile) {
    Open(30);
    TStdChannel *seat = Tile(Window().SeatGrid, 5);
    QTest::mousePress(seat, Qt::RightButton);
    EXPECT_EQ(Window().CurrentTile, seat);
    EXPECT_TRUE(Action("N2")->isVisible()); // a named seat offers the deletion
    EXPECT_EQ(Action("N1")->text(), MessageTexts[MessageKey::Tip2]);
    {
        DialogAnswer answer([](TFrmSetName &dialog) {
            EXPECT_EQ(Find<QLineEdit>(dialog, "edtName")->text(), u"S5"_qs);
            EXPECT_EQ(Find<QLineEdit>(dialog, "edtID")->text(), u"6"_qs);
            Type(dialog, "edtName", u"A"_qs);
            Type(dialog, "edtID", u"12"_qs);
            Click(dialog, "btn1");
        });
        Action("N1")->trigger();
    }
    for (TBGPanel *grid : {Window().SeatGrid, Window().LiveGrid, Window().AnswerGrid}) {
        EXPECT_EQ(Tile(grid, 5)->StudentName(), u"A"_qs);
        EXPECT_EQ(Tile(grid, 5)->CardID(), 12);
    }
    EXPECT_EQ(Row(5), u"A"_qs);
    const auto saved = Reloaded();
    EXPECT_EQ((*saved)[5].Name.ToString(), u"A"_qs);
    EXPECT_EQ((*saved)[5].CardID.load(), 12);
    EXPECT_EQ((*saved)[5].CardSplitName.ToString(), u"A"_qs);
    EXPECT_EQ((*saved)[5].CardSplitID.load(), 12);
    EXPECT_EQ((*saved)[4].Name.ToString(), u"S4"_qs);
}

TEST_F(AssociationUiTest, AKeyPressedOnATabletRegistersIt) {
    Open(30); // seat i holds tablet i + 1
    const auto press = [](uint16_t tablet) {
        TabletEventHandler(1, 256, tablet, EVENT_KEY);
        QCoreApplication::sendPostedEvents();
    };
    QTest::mousePress(Tile(Window().SeatGrid, 5), Qt::RightButton);
    {
        DialogAnswer answer([&](TFrmSetName &dialog) {
            press(8); // seat 7's: named by the window, not taken
            EXPECT_TRUE(Find<QLabel>(dialog, "lblHeard")->text().contains(u"S7"_qs));
            press(201); // nobody's: filled in at once
            Click(dialog, "btn1");
        });
        Action("N1")->trigger();
    }
    EXPECT_EQ(Tile(Window().SeatGrid, 5)->CardID(), 201);
    EXPECT_EQ((*Reloaded())[5].CardID.load(), 201);
    // Closed, the dialog hears nothing more: a key of a tablet nobody holds
    // changes no seat.
    press(202);
    EXPECT_EQ(Tile(Window().SeatGrid, 5)->CardID(), 201);
}

TEST_F(AssociationUiTest, CancelledSeatAssociationChangesNothing) {
    Open(10);
    QTest::mousePress(Tile(Window().SeatGrid, 2), Qt::RightButton);
    {
        DialogAnswer answer([](TFrmSetName &dialog) {
            Type(dialog, "edtName", u"Nobody"_qs);
            Click(dialog, "btn2");
        });
        Action("N1")->trigger();
    }
    EXPECT_EQ(Tile(Window().SeatGrid, 2)->StudentName(), u"S2"_qs);
    EXPECT_EQ((*Reloaded())[2].Name.ToString(), u"S2"_qs);
}

TEST_F(AssociationUiTest, StudentAssociationSwapsTwoPanes) {
    std::vector<Student> students;
    for (int i = 0; i < 10; ++i) {
        students.push_back({QStringLiteral("S%1").arg(i), static_cast<uint16_t>(100 + i)});
    }
    students[2] = {u"B"_qs, 20};
    students[7] = {u"A"_qs, 12};
    OpenWith(students);
    QTest::mousePress(Tile(Window().LiveGrid, 2), Qt::RightButton);
    EXPECT_FALSE(Action("N2")->isVisible());
    EXPECT_EQ(Action("N1")->text(), MessageTexts[MessageKey::Tip10]);
    {
        DialogAnswer answer([](TFrmSetName &dialog) {
            auto *choice = Find<QComboBox>(dialog, "cbbStu");
            choice->setCurrentIndex(choice->findText(u"A"_qs));
            EXPECT_EQ(Find<QLineEdit>(dialog, "edtID")->text(), u"12"_qs);
            Click(dialog, "btn1");
        });
        Action("N1")->trigger();
    }
    EXPECT_EQ(Tile(Window().LiveGrid, 2)->StudentName(), u"A"_qs);
    EXPECT_EQ(Tile(Window().LiveGrid, 2)->CardID(), 12);
    EXPECT_EQ(Tile(Window().LiveGrid, 7)->StudentName(), u"B"_qs);
    EXPECT_EQ(Tile(Window().LiveGrid, 7)->CardID(), 20);
    EXPECT_EQ(Row(2), u"A"_qs);
    EXPECT_EQ(Row(7), u"B"_qs);
    // The seat grid is not touched.
    EXPECT_EQ(Tile(Window().SeatGrid, 2)->StudentName(), u"B"_qs);
    const auto saved = Reloaded();
    EXPECT_EQ((*saved)[2].PaneName(), u"A"_qs);
    EXPECT_EQ((*saved)[7].PaneName(), u"B"_qs);
    EXPECT_EQ((*saved)[7].PaneID(), 20);
    // Pen events of tablet 12 now reach pane 2.
    EXPECT_EQ(FindSlot(Window().Table(), 12, 1), 2);
}

TEST_F(AssociationUiTest, StudentAssociationIntoAnEmptyPaneKeepsTheOldPane) {
    OpenWith({{u"A"_qs, 12}, {QString(), 0}, {u"C"_qs, 30}});
    QTest::mousePress(Tile(Window().LiveGrid, 1), Qt::RightButton);
    {
        DialogAnswer answer([](TFrmSetName &dialog) {
            auto *choice = Find<QComboBox>(dialog, "cbbStu");
            choice->setCurrentIndex(choice->findText(u"A"_qs));
            Click(dialog, "btn1");
        });
        Action("N1")->trigger();
    }
    EXPECT_EQ(Tile(Window().LiveGrid, 1)->StudentName(), u"A"_qs);
    EXPECT_EQ(Tile(Window().LiveGrid, 0)->StudentName(), u"A"_qs);
}

TEST_F(AssociationUiTest, DeleteEmptiesTheSeatAndItsPaneAndSurvivesARestart) {
    OpenWith({{u"S0"_qs, 1}, {u"S1"_qs, 2}, {u"S2"_qs, 3}, {u"A"_qs, 12}, {u"S4"_qs, 5}});
    QTest::mousePress(Tile(Window().SeatGrid, 3), Qt::RightButton);
    {
        PromptRecorder prompts(true);
        Action("N2")->trigger();
        ASSERT_EQ(prompts.Prompts().size(), 1u);
        EXPECT_EQ(prompts.Prompts()[0].Text, MessageTexts[MessageKey::Tip13]);
        EXPECT_TRUE(prompts.Prompts()[0].WithCancel);
    }
    for (TBGPanel *grid : {Window().SeatGrid, Window().AnswerGrid, Window().LiveGrid}) {
        EXPECT_TRUE(Tile(grid, 3)->StudentName().isEmpty());
        EXPECT_EQ(Tile(grid, 3)->CardID(), 0);
    }
    EXPECT_TRUE(Row(3).isEmpty());
    const auto saved = Reloaded();
    EXPECT_TRUE((*saved)[3].Name.IsEmpty());
    EXPECT_TRUE((*saved)[3].PaneName().isEmpty());
    EXPECT_EQ((*saved)[4].Name.ToString(), u"S4"_qs);

    // An empty seat offers only the association.
    QTest::mousePress(Tile(Window().SeatGrid, 3), Qt::RightButton);
    EXPECT_FALSE(Action("N2")->isVisible());
}

TEST_F(AssociationUiTest, CancelledDeleteKeepsTheSeat) {
    Open(5);
    QTest::mousePress(Tile(Window().SeatGrid, 1), Qt::RightButton);
    {
        PromptRecorder prompts(false);
        Action("N2")->trigger();
    }
    EXPECT_EQ(Tile(Window().SeatGrid, 1)->StudentName(), u"S1"_qs);
    EXPECT_EQ((*Reloaded())[1].Name.ToString(), u"S1"_qs);
}

} // namespace
} // namespace lumora::test
