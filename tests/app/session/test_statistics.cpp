#include "session/Statistics.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using Kind = StatisticsBar::Kind;

class StatisticsTest : public ::testing::Test {
protected:
    void SetUp() override { table.Clear(); }
    // Appends students: name (empty for none) and answer mask.
    void Add(const QString &name, uint32_t answer) {
        const int i = table.Count.load();
        table[i].Name = name;
        table[i].Answer = answer;
        table.SetCount(i + 1);
    }
    Statistics Build(const QString &key) { return BuildStatistics(table, key, u"未选择"_qs); }
    SlotTable table;
};

TEST_F(StatisticsTest, CountsDistinctAnswersInFirstMetOrder) {
    const uint32_t AB = 6, A = 2, B = 4;
    Add(u"s0"_qs, AB);
    for (int i = 1; i < 12; ++i) {
        Add(QString("s%1").arg(i), AB);
    }
    for (int i = 0; i < 10; ++i) {
        Add(QString("a%1").arg(i), A);
    }
    for (int i = 0; i < 3; ++i) {
        Add(QString("b%1").arg(i), B);
    }
    for (int i = 0; i < 5; ++i) {
        Add(QString("n%1").arg(i), 0);
    }
    const Statistics s = Build(u"AB"_qs);
    EXPECT_EQ(s.total, 30);
    ASSERT_EQ(s.bars.size(), 4u);
    EXPECT_EQ(s.bars[0].label, u"AB  12"_qs);
    EXPECT_EQ(s.bars[0].kind, Kind::Correct);
    EXPECT_EQ(FormatPercent(s.bars[0].count, s.total), u"40 %"_qs);
    EXPECT_EQ(s.bars[1].label, u"A  10"_qs);
    EXPECT_EQ(s.bars[1].kind, Kind::Wrong);
    EXPECT_EQ(s.bars[2].label, u"B  3"_qs);
    EXPECT_EQ(s.bars[3].label, u"未选择  5"_qs);
    EXPECT_EQ(s.bars[3].kind, Kind::Unanswered);
}

TEST_F(StatisticsTest, EdgeCasesOfTheRoster) {
    // Nobody answered: only the no-answer bar, at 100 %.
    Add(u"a"_qs, 0);
    Add(u"b"_qs, 0);
    Statistics s = Build(u"A"_qs);
    ASSERT_EQ(s.bars.size(), 1u);
    EXPECT_EQ(s.bars[0].kind, Kind::Unanswered);
    EXPECT_EQ(FormatPercent(s.bars[0].count, s.total), u"100 %"_qs);

    // Everybody answered: no no-answer bar; an empty key makes every bar wrong.
    table.Clear();
    Add(u"a"_qs, 2);
    Add(u"b"_qs, 4);
    s = Build(QString());
    ASSERT_EQ(s.bars.size(), 2u);
    EXPECT_EQ(s.bars[0].kind, Kind::Wrong);
    EXPECT_EQ(s.bars[1].kind, Kind::Wrong);

    // An entry without a name is left out, also when its tablet answered.
    Add(QString(), 2);
    s = Build(u"A"_qs);
    EXPECT_EQ(s.total, 2);
    EXPECT_EQ(s.bars[0].count, 1);

    // Empty roster: no bars, axis maximum 0.
    table.Clear();
    s = Build(u"A"_qs);
    EXPECT_TRUE(s.bars.empty());
    EXPECT_EQ(s.total, 0);
}

TEST_F(StatisticsTest, MoreThanSixteenDistinctAnswersAreAllCounted) {
    for (uint32_t mask = 1; mask <= 20; ++mask) {
        Add(QString("s%1").arg(mask), mask << 1);
    }
    const Statistics s = Build(u"A"_qs);
    ASSERT_EQ(s.bars.size(), 20u);
    int sum = 0;
    for (const auto &bar : s.bars) {
        sum += bar.count;
    }
    EXPECT_EQ(sum, s.total);
}

TEST(FormatPercent, KeepsUpToTwoDecimalsWithoutTrailingZeros) {
    struct Case {
        int count, total;
        const char *text;
    } const cases[] = {{12, 30, "40 %"}, {1, 3, "33.33 %"}, {2, 3, "66.67 %"}, {1, 8, "12.5 %"},
                       {0, 5, "0 %"},    {5, 5, "100 %"},   {0, 0, "0 %"}};
    for (const auto &c : cases) {
        EXPECT_EQ(FormatPercent(c.count, c.total), QString::fromLatin1(c.text));
    }
}

} // namespace
} // namespace lumora
