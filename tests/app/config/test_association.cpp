#include "config/Association.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

class AssociationTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.Clear();
        table.SetCount(10);
    }
    void Seat(int i, const QString &name, uint16_t id) {
        table[i].Name = name;
        table[i].CardID = id;
    }
    void Pane(int i, const QString &name, uint16_t id) {
        table[i].CardSplitName = name;
        table[i].CardSplitID = id;
    }
    SlotTable table;
};

TEST_F(AssociationTest, SeatAssociationSetsBothLayers) {
    Pane(5, u"Old"_qs, 99);
    AssociateSeatEntry(table, 5, u"A"_qs, 12);
    EXPECT_EQ(table[5].Name.ToString(), u"A"_qs);
    EXPECT_EQ(table[5].CardID.load(), 12);
    EXPECT_EQ(table[5].CardSplitName.ToString(), u"A"_qs);
    EXPECT_EQ(table[5].CardSplitID.load(), 12);
    // No other seat is looked at: the same student may sit twice.
    AssociateSeatEntry(table, 6, u"A"_qs, 12);
    EXPECT_EQ(table[5].Name.ToString(), u"A"_qs);
}

TEST_F(AssociationTest, StudentAssociationSwapsThePanes) {
    Seat(2, u"B"_qs, 20);
    Seat(7, u"A"_qs, 12);
    // Pane layers empty: the panes show the seat layer.
    const auto changed = AssociatePaneEntry(table, 2, u"A"_qs, 12);
    EXPECT_EQ(changed, (std::vector<int>{2, 7}));
    EXPECT_EQ(table[2].PaneName(), u"A"_qs);
    EXPECT_EQ(table[2].PaneID(), 12);
    EXPECT_EQ(table[7].PaneName(), u"B"_qs);
    EXPECT_EQ(table[7].PaneID(), 20);
    // Seat layers stay.
    EXPECT_EQ(table[2].Name.ToString(), u"B"_qs);
    EXPECT_EQ(table[7].Name.ToString(), u"A"_qs);
}

TEST_F(AssociationTest, StudentAssociationIntoAnEmptyPaneShowsTheStudentTwice) {
    Seat(7, u"A"_qs, 12);
    const auto changed = AssociatePaneEntry(table, 3, u"A"_qs, 12);
    EXPECT_EQ(changed, (std::vector<int>{3}));
    EXPECT_EQ(table[3].PaneName(), u"A"_qs);
    EXPECT_EQ(table[7].PaneName(), u"A"_qs);
}

TEST_F(AssociationTest, StudentAssociationMatchesNameAndIdExactly) {
    Seat(1, u"C"_qs, 30);
    Seat(4, u"A"_qs, 13); // same name, other tablet: not a match
    Seat(8, u"A"_qs, 12);
    const auto changed = AssociatePaneEntry(table, 1, u"A"_qs, 12);
    EXPECT_EQ(changed, (std::vector<int>{1, 8}));
    EXPECT_EQ(table[4].PaneName(), u"A"_qs);
    EXPECT_EQ(table[8].PaneName(), u"C"_qs);
    // Entries past the count are not searched.
    table.SetCount(5);
    Seat(9, u"Z"_qs, 1);
    EXPECT_EQ(AssociatePaneEntry(table, 0, u"Z"_qs, 1).size(), 1u);
}

TEST_F(AssociationTest, DeleteClearsTheSeatAndTheFirstPaneOfThatStudent) {
    Seat(3, u"A"_qs, 12);
    Pane(3, u"A"_qs, 12);
    Pane(6, u"A"_qs, 12);
    EXPECT_EQ(DeleteSeatEntry(table, 3), 3);
    EXPECT_TRUE(table[3].Name.IsEmpty());
    EXPECT_EQ(table[3].CardID.load(), 0);
    EXPECT_TRUE(table[3].CardSplitName.IsEmpty());
    // Only the first match is cleared.
    EXPECT_EQ(table[6].CardSplitName.ToString(), u"A"_qs);
}

TEST_F(AssociationTest, DeleteWithoutAPaneMatchClearsOnlyTheSeat) {
    Seat(3, u"A"_qs, 12);
    Pane(3, u"B"_qs, 20);
    EXPECT_EQ(DeleteSeatEntry(table, 3), -1);
    EXPECT_EQ(table[3].CardSplitName.ToString(), u"B"_qs);
    // A cleared pane layer shows the seat layer again (empty now).
    Seat(4, u"D"_qs, 40);
    Pane(4, u"D"_qs, 40);
    EXPECT_EQ(DeleteSeatEntry(table, 4), 4);
    EXPECT_TRUE(table[4].PaneName().isEmpty());
}

} // namespace
} // namespace lumora
