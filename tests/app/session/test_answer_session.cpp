// The answer session without a window: what starting over clears, the result
// and the final letters of an ended question, the progress for each type, and
// which panes count as being written on.
#include "session/AnswerSession.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

class AnswerSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Ann answered B, Ben AC, Cid nothing, an entry without a tablet
        // answered D; entry 4 lies beyond Count.
        const struct {
            const char16_t *name;
            uint16_t id;
            uint32_t answer;
        } entries[] = {{u"Ann", 1, 4}, {u"Ben", 2, 10}, {u"Cid", 3, 0}, {u"Dee", 0, 16}};
        int i = 0;
        for (const auto &e : entries) {
            table_[i].Name = QString::fromUtf16(e.name);
            table_[i].CardSplitName = QString::fromUtf16(e.name);
            table_[i].CardID = e.id;
            table_[i].Answer = e.answer;
            ++i;
        }
        table_[4].Answer = 2;
        table_.SetCount(4);
    }
    SlotTable table_;
    SessionState state_;
    AnswerSession session_{table_, state_};
};

TEST_F(AnswerSessionTest, StartingOverClearsTheRosterAnswersAndWhoHasWritten) {
    session_.ChooseQuestionType(kQuestionSubjective);
    EXPECT_TRUE(session_.PenPoint(1, 0));
    session_.StartOver();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(table_[i].Answer.load(), 0u) << i;
    }
    EXPECT_EQ(table_[4].Answer.load(), 2u); // beyond the roster
    EXPECT_EQ(session_.CurrentProgress(), (Progress{0, 4}));
    EXPECT_TRUE(session_.PenPoint(1, 10)); // a first stroke again
}

TEST_F(AnswerSessionTest, AnEndedChoiceQuestionGivesBarsAndTheLettersOfEveryTablet) {
    session_.ChooseQuestionType(kQuestionSingle);
    const auto result = session_.Result(QStringLiteral("B"), QStringLiteral("none"));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->total, 4);
    ASSERT_EQ(result->bars.size(), 4u); // B, AC, D, no answer
    EXPECT_EQ(result->bars[0].kind, StatisticsBar::Kind::Correct);
    EXPECT_EQ(result->bars[1].kind, StatisticsBar::Kind::Wrong);
    EXPECT_EQ(result->bars[3].kind, StatisticsBar::Kind::Unanswered);
    using Final = std::vector<std::pair<int, QString>>;
    EXPECT_EQ(session_.FinalAnswers(), (Final{{0, "B"}, {1, "AC"}, {2, ""}}));

    session_.ChooseQuestionType(kQuestionSubjective);
    EXPECT_FALSE(session_.Result(QStringLiteral("B"), QStringLiteral("none")).has_value());
}

TEST_F(AnswerSessionTest, ProgressFollowsTheQuestionType) {
    EXPECT_FALSE(session_.CurrentProgress().has_value());
    session_.ChooseQuestionType(kQuestionMultiple);
    EXPECT_EQ(session_.CurrentProgress(), (Progress{3, 4})); // Dee's D counts: she has a name
    session_.ChooseQuestionType(kQuestionSubjective);
    EXPECT_EQ(session_.CurrentProgress(), (Progress{0, 4}));
    session_.PenPoint(2, 0);
    EXPECT_EQ(session_.CurrentProgress(), (Progress{1, 4}));
}

TEST_F(AnswerSessionTest, APaneCountsAsWritingForThreeSecondsAfterItsLastPoint) {
    EXPECT_FALSE(session_.WritingNow(5, 0));
    EXPECT_TRUE(session_.PenPoint(5, 1000));
    EXPECT_FALSE(session_.PenPoint(5, 2000)); // not its first
    EXPECT_TRUE(session_.WritingNow(5, 4999));
    EXPECT_FALSE(session_.WritingNow(5, 5000));
    EXPECT_FALSE(session_.PenPoint(-1, 0));
    EXPECT_FALSE(session_.PenPoint(kSlotCount, 0));
    EXPECT_FALSE(session_.WritingNow(kSlotCount, 0));
}

} // namespace
} // namespace lumora
