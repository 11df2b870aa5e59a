// The item statistics against a published worked example and against small
// examples computed by hand below (not by the code under test).
#include "session/ItemAnalysis.h"

#include <gtest/gtest.h>

#include <array>

namespace lumora {
namespace {

constexpr double kTolerance = 5e-5;

// Worked example: K. L. Wuensch, "The Kuder-Richardson 20", East Carolina
// University, StatHelp (core.ecu.edu/wuenschk/StatHelp/KR20.txt): ten
// students A..J, ten items scored 1 (right) or 0. Published there: the item
// difficulties p = .7 .7 .6 .7 .6 .8 .7 .7 .5 .6, p*q = .21 .21 .24 .21 .24
// .16 .21 .21 .25 .24 and the variance of the totals 5.84.
//   sum p*q = 5 x .21 + 3 x .24 + .16 + .25 = 2.18
//   KR-20 = 10/9 x (1 - 2.18 / 5.84) = 1.11111 x 0.62671 = 0.696347
//   totals 8 7 7 2 2 9 8 9 7 7: mean 66/10 = 6.6, variance 58.4/10 = 5.84
constexpr std::array<std::array<int, 10>, 10> kWuensch = {{
    {1, 1, 1, 1, 1, 1, 0, 1, 1, 0}, // A  8
    {1, 0, 1, 1, 0, 1, 1, 1, 0, 1}, // B  7
    {1, 1, 1, 1, 0, 1, 1, 0, 0, 1}, // C  7
    {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, // D  2
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0}, // E  2
    {1, 1, 1, 0, 1, 1, 1, 1, 1, 1}, // F  9
    {1, 1, 0, 1, 1, 1, 0, 1, 1, 1}, // G  8
    {1, 1, 1, 1, 1, 1, 1, 1, 0, 1}, // H  9
    {0, 1, 0, 1, 1, 1, 1, 1, 0, 1}, // I  7
    {1, 1, 0, 1, 1, 0, 1, 1, 1, 0}, // J  7
}};

AnalysisInput Wuensch() {
    AnalysisInput input;
    input.Items.resize(10);
    for (const auto &row : kWuensch) {
        auto &cells = input.Students.emplace_back();
        for (const int score : row) {
            cells.push_back({score, 0, std::nullopt});
        }
    }
    return input;
}

TEST(ItemAnalysis, MatchesThePublishedKr20Example) {
    const TestStatistics stats = AnalyseItems(Wuensch());
    EXPECT_EQ(stats.Students, 10);
    EXPECT_EQ(stats.Items, 10);
    EXPECT_TRUE(stats.Dichotomous);
    EXPECT_DOUBLE_EQ(stats.MaxTotal, 10);
    EXPECT_NEAR(*stats.Mean, 6.6, kTolerance);
    EXPECT_NEAR(*stats.StandardDeviation * *stats.StandardDeviation, 5.84, kTolerance);
    EXPECT_NEAR(*stats.Reliability, 0.696347, kTolerance);
    const double p[] = {.7, .7, .6, .7, .6, .8, .7, .7, .5, .6};
    for (int item = 0; item < 10; ++item) {
        EXPECT_NEAR(*stats.PerItem[item].Difficulty, p[item], kTolerance) << item + 1;
    }
}

TEST(ItemAnalysis, DiscriminationIsTheItemAgainstTheRestOfTheTotal) {
    // Item 1, right for A B C F G H J, wrong for D E I. Rest (total - item):
    //   A7 B6 C6 D2 E2 F8 G7 H8 I7 J6: mean 59/10 = 5.9,
    //   variance 391/10 - 5.9^2 = 39.1 - 34.81 = 4.29, s = 2.071232
    //   mean rest of the right 48/7 = 6.857143, of the wrong 11/3 = 3.666667
    //   r = (6.857143 - 3.666667) / 2.071232 x sqrt(.7 x .3) = 1.540377 x 0.458258 = 0.705890
    // Item 3, right for A B C D F H: rest of the right 7+6+6+1+8+8 = 36, /6 = 6;
    //   of the wrong E2 G8 I7 J7 = 24, /4 = 6: equal means, r = 0.
    // Item 9, right for A E F G J: rest 7+1+8+7+6 = 29, /5 = 5.8; wrong B7 C7
    //   D2 H9 I7 = 32, /5 = 6.4; rest mean 6.1, variance 431/10 - 6.1^2 = 5.89,
    //   s = 2.426932; r = (5.8 - 6.4) / 2.426932 x sqrt(.5 x .5) = -0.123613.
    // Upper/lower index of item 1: 0.27 x 10 = 2.7 students a group. Totals
    //   from the top F9 H9 | A8 G8 ...: F, H whole, A and G 0.35 each; from the
    //   bottom D2 E2 | B7 C7 I7 J7: D, E whole, B C I J 0.175 each.
    //   upper (1 + 1 + .35 + .35) / 2.7 = 1; lower (.175 x 3, B C J) / 2.7 = 0.194444
    //   D = 1 - 0.194444 = 0.805556
    const TestStatistics stats = AnalyseItems(Wuensch());
    EXPECT_NEAR(*stats.PerItem[0].Discrimination, 0.705890, kTolerance);
    EXPECT_NEAR(*stats.PerItem[2].Discrimination, 0.0, kTolerance);
    EXPECT_NEAR(*stats.PerItem[8].Discrimination, -0.123613, kTolerance);
    EXPECT_NEAR(*stats.PerItem[0].UpperLower, 0.805556, kTolerance);
    EXPECT_NEAR(stats.GroupSize, 2.7, kTolerance);

    const struct {
        int item;
        std::vector<ItemHint> hints;
    } rows[] = {
        {0, {}},
        {2, {{MessageKey::ItemNoDiscrimination, {}}}},
        {5, {}}, // p .8, r .286
        {8, {{MessageKey::ItemNegativeDiscrimination, {}}}},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(stats.PerItem[row.item].Hints, row.hints) << row.item + 1;
    }
}

TEST(ItemAnalysis, DistractorsByAbilityGroup) {
    // Item 9 of the example as a choice of A..D, key A: the wrong B C D I
    // chose B, the wrong H (an upper student) chose C, nobody chose D.
    AnalysisInput input = Wuensch();
    input.Items[8] = {1, 4, 1u << 1};
    const char chosen[] = "ABBBAAAC"
                          "BA";
    for (int s = 0; s < 10; ++s) {
        input.Students[s][8].Chosen = 1u << (chosen[s] - 'A' + 1);
        input.Students[s][8].FirstPressMs = 1000 * (s + 1);
    }
    const ItemStatistics item = AnalyseItems(input).PerItem[8];
    ASSERT_EQ(item.Options.size(), 4u);
    EXPECT_EQ(item.Options[0].Chosen, 5);
    EXPECT_TRUE(item.Options[0].Right);
    EXPECT_EQ(item.Options[1].Chosen, 4);
    EXPECT_EQ(item.Options[2].Chosen, 1);
    EXPECT_EQ(item.Options[3].Chosen, 0);
    // C: H is wholly upper: 1 / 2.7 = 0.370370; none of the lower group.
    EXPECT_NEAR(*item.Options[2].Upper, 0.370370, kTolerance);
    EXPECT_NEAR(*item.Options[2].Lower, 0, kTolerance);
    // B in the lower group: D whole, B C I .175 each: (1 + .525) / 2.7 = 0.564815;
    // in the middle (10 - 5.4 = 4.6): B C I .825 each: 2.475 / 4.6 = 0.538043.
    EXPECT_NEAR(*item.Options[1].Lower, 0.564815, kTolerance);
    EXPECT_NEAR(*item.Options[1].Middle, 0.538043, kTolerance);
    EXPECT_EQ(item.Hints, (std::vector<ItemHint>{{MessageKey::ItemNegativeDiscrimination, {}},
                                                 {MessageKey::ItemDistractorDrawsUpper, "C"},
                                                 {MessageKey::ItemDistractorUnused, "D"}}));
    // First presses 1..10 s: the median of ten is (5 + 6) / 2 s.
    EXPECT_DOUBLE_EQ(*item.MedianFirstPressMs, 5500);
}

TEST(ItemAnalysis, AlphaForItemsWithPoints) {
    // Three items of 2 points, four students:
    //   S1 2 2 1 = 5   S2 1 2 2 = 5   S3 0 1 0 = 1   S4 1 1 1 = 3
    // item variances: (1+0+1+0)/4 = .5, (.25 x 4)/4 = .25, (0+1+1+0)/4 = .5; sum 1.25
    // totals: mean 3.5, variance (2.25+2.25+6.25+.25)/4 = 2.75
    // alpha = 3/2 x (1 - 1.25/2.75) = 1.5 x 0.545455 = 0.818182
    AnalysisInput input;
    input.Items.assign(3, AnalysisItem{2, 0, 0});
    for (const auto &row : {std::array{2, 2, 1}, {1, 2, 2}, {0, 1, 0}, {1, 1, 1}}) {
        auto &cells = input.Students.emplace_back();
        for (const int points : row) {
            cells.push_back({points, 0, std::nullopt});
        }
    }
    const TestStatistics stats = AnalyseItems(input);
    EXPECT_FALSE(stats.Dichotomous);
    EXPECT_NEAR(*stats.Reliability, 0.818182, kTolerance);
    EXPECT_NEAR(*stats.StandardDeviation, 1.658312, kTolerance); // sqrt(2.75)
    EXPECT_NEAR(*stats.PerItem[1].Difficulty, 0.75, kTolerance); // 6 of 8 points
}

TEST(ItemAnalysis, StudentsWithoutAScoreAreLeftOut) {
    // An absent student, and one whose item 2 is not graded: the test
    // statistics stay those of the ten; item 1 counts the eleventh's point.
    AnalysisInput input = Wuensch();
    input.Students.emplace_back(10, AnalysisCell{});
    auto &partial = input.Students.emplace_back(10, AnalysisCell{1.0, 0, std::nullopt});
    partial[1].Points.reset();
    // An item nobody has a score on yet is no part of the test.
    input.Items.push_back({});
    for (auto &row : input.Students) {
        row.push_back({});
    }
    const TestStatistics stats = AnalyseItems(input);
    EXPECT_EQ(stats.Students, 10);
    EXPECT_EQ(stats.Items, 10);
    EXPECT_NEAR(*stats.Reliability, 0.696347, kTolerance);
    EXPECT_EQ(stats.PerItem[0].Scored, 11);
    EXPECT_NEAR(*stats.PerItem[0].Difficulty, 8.0 / 11, kTolerance);
    EXPECT_FALSE(stats.PerItem[10].Difficulty.has_value());
    EXPECT_TRUE(stats.PerItem[10].Hints.empty());
}

TEST(ItemAnalysis, TooLittleToSayAnythingGivesNothing) {
    // Everybody right: easy, nothing to correlate; one student: no groups,
    // no reliability; no students at all.
    AnalysisInput allRight;
    allRight.Items.assign(2, AnalysisItem{});
    allRight.Students.assign(3, {AnalysisCell{1.0, 0, {}}, AnalysisCell{1.0, 0, {}}});
    const TestStatistics easy = AnalyseItems(allRight);
    EXPECT_FALSE(easy.PerItem[0].Discrimination.has_value());
    EXPECT_FALSE(easy.Reliability.has_value());
    EXPECT_EQ(easy.PerItem[0].Hints, (std::vector<ItemHint>{{MessageKey::ItemEasy, {}}}));

    allRight.Students.resize(1);
    const TestStatistics one = AnalyseItems(allRight);
    EXPECT_FALSE(one.PerItem[0].UpperLower.has_value());
    EXPECT_EQ(one.StandardDeviation, 0.0);
    EXPECT_FALSE(one.Reliability.has_value());

    allRight.Students.clear();
    const TestStatistics none = AnalyseItems(allRight);
    EXPECT_EQ(none.Students, 0);
    EXPECT_FALSE(none.Mean.has_value());
    EXPECT_FALSE(none.PerItem[1].Difficulty.has_value());
}

} // namespace
} // namespace lumora
