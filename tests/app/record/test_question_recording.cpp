// Which answer-state changes make a recorded question: sequences of what the
// teacher chooses, and the questions and picture moments they leave.
#include "record/QuestionRecording.h"

#include "RecordTest.h"
#include "record/RecordDatabase.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <string>

namespace lumora {
namespace {

struct Case {
    const char *name;
    // Steps: 's' single, 'm' multiple, 'h' handwritten chosen; '0', '1', '2'
    // the answer state; 'E' the program ends. 'A' / 'B' before a step: the
    // student's answer from then on.
    const char *steps;
    // Per question: number, type, ended, the student's letters.
    std::vector<QVariantList> questions;
    // Per step: '-' no pictures, 'N' now, 'I' once the queued ink is drawn.
    const char *pictures;
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
        const QString key = QStringLiteral("A");
        int type = kQuestionNone;
        for (const char *step = c.steps; *step != 0; ++step) {
            using P = QuestionRecording::Pictures;
            P when = P::None;
            if (*step == 'A' || *step == 'B') {
                table[0].Answer = 1u << (*step - 'A' + 1);
                continue;
            }
            if (*step == 's' || *step == 'm' || *step == 'h') {
                type = *step == 's' ? kQuestionSingle
                                    : (*step == 'm' ? kQuestionMultiple : kQuestionSubjective);
                questions.QuestionTypeChosen(type, key, table);
            } else if (*step == 'E') {
                when = questions.ProgramEnds(type, key, table);
            } else {
                when = questions.AnswerStateChosen(*step - '0', type, key, table);
            }
            pictures += when == P::Now ? 'N' : (when == P::AfterQueuedInk ? 'I' : '-');
        }
        recorder.Stop();
    }
    EXPECT_EQ(pictures, c.pictures);
    const QString db = RecordDatabasePath(dir.Path());
    EXPECT_EQ(QFileInfo::exists(db) ? test::Rows(db, "SELECT q.number, q.type, q.ended_at IS NOT "
                                                     "NULL, s.letters FROM question q JOIN student "
                                                     "s ON s.question = q.id ORDER BY q.number")
                                    : std::vector<QVariantList>(),
              c.questions);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, Transitions,
    ::testing::Values(
        Case{"InProgressThenEnded", "s01A2", {{1, 0, 1, "A"}}, "----"},
        // Ended without being under way, after an earlier question:
        // a question of its own; the first keeps its answers.
        Case{"EndedStraightIsANewOne", "s1A20B2", {{1, 0, 1, "A"}, {2, 0, 1, "B"}}, "-----"},
        Case{"BackToNotStartedEndsItBeforeTheWipe", "h10", {{1, 2, 1, ""}}, "--N"},
        Case{"EndingTwiceIsOneQuestion", "h122", {{1, 2, 1, ""}}, "--I-"},
        Case{"ATypeChosenUnderWayStartsIt", "1mB2", {{1, 1, 1, "B"}}, "---"},
        Case{"NoTypeNoQuestion", "021E", {}, "----"},
        Case{"TheProgramEndsTheOpenOne", "h1E", {{1, 2, 1, ""}}, "--N"},
        Case{"NothingIsOpenAfterTheEnd", "s1B2E", {{1, 0, 1, "B"}}, "----"},
        // Under way again after the end, not cleared: the same question.
        Case{"UnderWayAgainAfterTheEndGoesOn", "s1A21B2", {{1, 0, 1, "B"}}, "-----"},
        Case{"ClearedInBetweenIsANewOne", "s1A201B2", {{1, 0, 1, "A"}, {2, 0, 1, "B"}}, "------"}),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

} // namespace
} // namespace lumora
