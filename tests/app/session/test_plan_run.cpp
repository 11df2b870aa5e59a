// Running a question set: where each move goes, and the countdown of a
// question's time limit (expiring exactly once, paused, extended, stopped).
#include "session/Countdown.h"
#include "session/PlanRun.h"
#include "session/Question.h"
#include "session/RandomPick.h"

#include <gtest/gtest.h>

#include <set>

namespace lumora {
namespace {

using Move = PlanRun::Move;

QuestionSet ThreeQuestions() {
    return {
        "S",
        {{0, "A", "one", "", 0, {}}, {1, "BC", "two", "", 30, 2.0}, {2, "", "three", "", 0, {}}}};
}

TEST(PlanRun, MovesKeepThePlaceWithinTheSet) {
    struct Step {
        Move move;
        const char *runs; // the text of the question run, or null for none
        int place;
        const char *counter;
    };
    const Step steps[] = {
        {Move::Repeat, nullptr, -1, ""},   // nothing on to repeat
        {Move::Previous, nullptr, -1, ""}, // nothing before the first
        {Move::Next, "one", 0, "1 / 3"},
        {Move::Previous, nullptr, 0, "1 / 3"},
        {Move::Repeat, "one", 0, "1 / 3"},
        {Move::Next, "two", 1, "2 / 3"},
        {Move::Next, "three", 2, "3 / 3"},
        {Move::Next, nullptr, 2, "3 / 3"}, // past the last: stays
        {Move::Previous, "two", 1, "2 / 3"},
        {Move::Repeat, "two", 1, "2 / 3"},
    };
    PlanRun run;
    EXPECT_EQ(run.Step(Move::Next), nullptr); // no set
    run.Choose(ThreeQuestions());
    for (const Step &step : steps) {
        const PlannedQuestion *question = run.Step(step.move);
        if (step.runs == nullptr) {
            EXPECT_EQ(question, nullptr) << step.place;
        } else {
            ASSERT_NE(question, nullptr) << step.runs;
            EXPECT_EQ(question->Text, step.runs);
        }
        EXPECT_EQ(run.Place(), step.place);
        EXPECT_EQ(run.Counter(), step.counter);
    }
    // Another set starts before its first question; an empty one is none.
    run.Choose(ThreeQuestions());
    EXPECT_EQ(run.Place(), -1);
    run.Choose(QuestionSet{});
    EXPECT_FALSE(run.Active());
    EXPECT_EQ(run.Step(Move::Next), nullptr);
}

TEST(Countdown, ExpiresOnceAtZeroAndNeverWhenPausedOrStopped) {
    Countdown countdown;
    countdown.Start(30000, 1000);
    EXPECT_EQ(countdown.RemainingMs(11000), 20000);
    EXPECT_FALSE(countdown.Expire(30999));
    countdown.Pause(20000);
    EXPECT_EQ(countdown.RemainingMs(90000), 11000); // time stands while paused
    EXPECT_FALSE(countdown.Expire(90000));
    countdown.Resume(50000);
    EXPECT_FALSE(countdown.Expire(60999));
    EXPECT_TRUE(countdown.Expire(61000));
    EXPECT_FALSE(countdown.Expire(61000));
    EXPECT_FALSE(countdown.Expire(99000));
    EXPECT_FALSE(countdown.Running());

    countdown.Start(5000, 0);
    countdown.Stop(); // ended early
    EXPECT_FALSE(countdown.Expire(10000));
    countdown.Start(0, 0); // no limit
    EXPECT_FALSE(countdown.Running());
    EXPECT_FALSE(countdown.Expire(1));
}

TEST(Countdown, MoreTimeExtendsOrStartsOne) {
    Countdown countdown;
    countdown.Add(30000, 1000); // a limit set on the fly
    EXPECT_TRUE(countdown.Running());
    countdown.Add(60000, 2000);
    EXPECT_EQ(countdown.LimitMs(), 90000);
    EXPECT_EQ(countdown.RemainingMs(2000), 89000);
    countdown.Add(-5000, 2000); // never less
    EXPECT_FALSE(countdown.Expire(90999));
    EXPECT_TRUE(countdown.Expire(91000));
}

TEST(Countdown, ShowsWholeSecondsRoundedUp) {
    const std::pair<qint64, const char *> shown[] = {
        {0, "0:00"},     {1, "0:01"},  {1000, "0:01"},    {1001, "0:02"},
        {65000, "1:05"}, {-5, "0:00"}, {3600000, "60:00"}};
    for (const auto &[ms, text] : shown) {
        EXPECT_EQ(Countdown::Format(ms), text) << ms;
    }
}

TEST(RandomPick, CandidatesArePresentNamedAndAnsweredAsAsked) {
    SlotTable table;
    // Ann B (right), Ben A (wrong), Cid nothing, an empty seat, Dee B but absent.
    const std::pair<const char *, uint32_t> entries[] = {
        {"Ann", 1u << 2}, {"Ben", 1u << 1}, {"Cid", 0}, {"", 1u << 1}, {"Dee", 1u << 2}};
    std::bitset<kSlotCount> present;
    for (int i = 0; i < 5; ++i) {
        table[i].Name = QString::fromLatin1(entries[i].first);
        table[i].Answer = entries[i].second;
        present.set(static_cast<size_t>(i), i != 4);
    }
    table.SetCount(5);
    const struct {
        PickAmong among;
        int type;
        std::vector<int> expected;
    } cases[] = {
        {PickAmong::Present, kQuestionSingle, {0, 1, 2}},
        {PickAmong::Answered, kQuestionSingle, {0, 1}},
        {PickAmong::AnsweredWrongly, kQuestionSingle, {1}},
        // No verdict on handwriting: nobody answered it wrongly.
        {PickAmong::AnsweredWrongly, kQuestionSubjective, {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PickCandidates(table, present, c.among, c.type, "B"), c.expected)
            << static_cast<int>(c.among);
    }
}

TEST(RandomPick, NeverTheSameTwiceInARowAndEveryOneInTime) {
    RandomPick pick(7);
    const std::vector<int> three = {4, 9, 12};
    std::set<int> seen;
    int last = -1;
    for (int i = 0; i < 300; ++i) {
        const std::optional<int> picked = pick.Pick(three);
        ASSERT_TRUE(picked.has_value());
        EXPECT_NE(*picked, last);
        EXPECT_TRUE(std::find(three.begin(), three.end(), *picked) != three.end());
        seen.insert(*picked);
        last = *picked;
    }
    EXPECT_EQ(seen.size(), 3u);
    // One candidate: picked again; none: no pick, and the last one stays.
    EXPECT_EQ(pick.Pick({12}), 12);
    EXPECT_EQ(pick.Pick({12}), 12);
    EXPECT_EQ(pick.Pick({}), std::nullopt);
    EXPECT_EQ(pick.Last(), 12);
}

} // namespace
} // namespace lumora
