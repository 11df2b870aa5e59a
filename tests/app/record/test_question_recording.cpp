// Which answer-state changes make a recorded question: sequences of what the
// teacher chooses, and the questions and picture moments they leave.
#include "record/QuestionRecording.h"

#include "RecordTest.h"
#include "record/RecordDatabase.h"

#include "../core/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora {
namespace {

constexpr uint32_t A = 1u << 1, B = 1u << 2;

struct Step {
    char what;           // 'T' a question type chosen, 'S' an answer state, 'E' the program ends
    int value;           // the type or the state
    uint32_t answer = 0; // the student's answer when the step is taken
};

struct Case {
    const char *name;
    std::vector<Step> steps;
    // Per question: number, type, ended, the student's letters.
    std::vector<QVariantList> questions;
    // Per step: '-' no pictures, 'N' now, 'A' after the queued ink.
    std::string pictures;
};

class Transitions : public ::testing::TestWithParam<Case> {};

TEST_P(Transitions, LeaveTheQuestionsAndPictureMoments) {
    const Case &c = GetParam();
    test::DataDir dir;
    SlotTable table;
    test::FillTable(table, {{"Ann", 1}});
    std::string pictures;
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        QuestionRecording questions(recorder);
        int type = kQuestionNone;
        for (const Step &step : c.steps) {
            table[0].Answer = step.answer;
            QuestionRecording::Pictures when = QuestionRecording::Pictures::None;
            if (step.what == 'T') {
                type = step.value;
                questions.QuestionTypeChosen(type, QStringLiteral("A"), table);
            } else if (step.what == 'S') {
                when = questions.AnswerStateChosen(step.value, type, QStringLiteral("A"), table);
            } else {
                when = questions.ProgramEnds(type, QStringLiteral("A"), table);
            }
            pictures += when == QuestionRecording::Pictures::Now              ? 'N'
                        : when == QuestionRecording::Pictures::AfterQueuedInk ? 'A'
                                                                              : '-';
        }
        recorder.Stop();
    }
    EXPECT_EQ(pictures, c.pictures);
    const QString db = RecordDatabasePath(dir.Path());
    if (c.questions.empty()) {
        EXPECT_FALSE(QFileInfo::exists(db) &&
                     test::Value(db, "SELECT COUNT(*) FROM question").toInt() != 0);
        return;
    }
    EXPECT_EQ(test::Rows(db,
                         "SELECT q.number, q.type, q.ended_at IS NOT NULL, s.letters "
                         "FROM question q JOIN student s ON s.question = q.id ORDER BY q.number"),
              c.questions);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, Transitions,
    ::testing::Values(
        Case{"InProgressThenEnded",
             {{'T', kQuestionSingle},
              {'S', kAnswerNotStarted},
              {'S', kAnswerUnderWay},
              {'S', kAnswerEnded, A}},
             {{1, 0, 1, "A"}},
             "----"},
        // The second ends without being under way: it is a question of its
        // own, and the first keeps its answers.
        Case{"EndedStraightAfterAnEarlierOne",
             {{'T', kQuestionSingle},
              {'S', kAnswerUnderWay},
              {'S', kAnswerEnded, A},
              {'S', kAnswerNotStarted},
              {'S', kAnswerEnded, B}},
             {{1, 0, 1, "A"}, {2, 0, 1, "B"}},
             "-----"},
        Case{"BackToNotStartedEndsItBeforeTheWipe",
             {{'T', kQuestionSubjective}, {'S', kAnswerUnderWay}, {'S', kAnswerNotStarted}},
             {{1, 2, 1, ""}},
             "--N"},
        Case{"EndingTwiceIsOneQuestion",
             {{'T', kQuestionSubjective},
              {'S', kAnswerUnderWay},
              {'S', kAnswerEnded},
              {'S', kAnswerEnded}},
             {{1, 2, 1, ""}},
             "--A-"},
        Case{"ATypeChosenUnderWayStartsIt",
             {{'S', kAnswerUnderWay}, {'T', kQuestionMultiple}, {'S', kAnswerEnded, A | B}},
             {{1, 1, 1, "AB"}},
             "---"},
        Case{"NoTypeNoQuestion",
             {{'S', kAnswerNotStarted}, {'S', kAnswerEnded}, {'S', kAnswerUnderWay}, {'E', 0}},
             {},
             "----"},
        Case{"TheProgramEndsTheOpenOne",
             {{'T', kQuestionSubjective}, {'S', kAnswerUnderWay}, {'E', 0}},
             {{1, 2, 1, ""}},
             "--N"},
        Case{"NothingIsOpenAfterTheEnd",
             {{'T', kQuestionSingle}, {'S', kAnswerUnderWay}, {'S', kAnswerEnded, B}, {'E', 0}},
             {{1, 0, 1, "B"}},
             "----"}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

} // namespace
} // namespace lumora
