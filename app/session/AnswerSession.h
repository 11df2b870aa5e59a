// The answer session without a window: the question type and answer state
// the teacher chose, what choosing them does to the students' answers, the
// result of an ended choice question, and how far the class is.
//
// QtCore only; user-interface thread (the device handlers read the state
// through SessionState and write the answers themselves).
#pragma once

#include "config/SlotTable.h"
#include "session/AnswerProgress.h"
#include "session/Question.h"
#include "session/Statistics.h"

#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace lumora {

class AnswerSession {
public:
    // A pane stays marked as written on this long after its last pen point.
    static constexpr qint64 kRecentWritingMs = 3000;

    // table and state outlive the session.
    AnswerSession(SlotTable &table, SessionState &state) : table_(table), state_(state) {}

    int QuestionType() const { return state_.CurrentQuestionType.load(); }
    int AnswerState() const { return state_.CurrentAnswerState.load(); }

    void ChooseQuestionType(int type) { state_.CurrentQuestionType = type; }
    void ChooseAnswerState(int state) { state_.CurrentAnswerState = state; }
    // Not started, once the question's record has what the students did:
    // every student's answer is emptied and nobody has written yet.
    void StartOver();

    // The bars of an ended question, counted from the students' answers;
    // none for a subjective question.
    std::optional<Statistics> Result(const QString &answerKey, const QString &unansweredText) const;
    // The letters the answer grid shows at the end: every entry with a
    // tablet, with its final answer.
    std::vector<std::pair<int, QString>> FinalAnswers() const;

    // The bottom bar's count for the type chosen: students who answered a
    // choice question, panes written on in a subjective one; none without a
    // type.
    std::optional<Progress> CurrentProgress() const;

    // A pen point reached pane `slot` at nowMs (a steady clock); true when
    // the pane had not been written on since the question started.
    bool PenPoint(int slot, qint64 nowMs);
    // Pane `slot` has been written on since the question started, the last
    // time less than kRecentWritingMs before nowMs.
    bool WritingNow(int slot, qint64 nowMs) const;
    // New students (an import): nobody has written yet.
    void ForgetWriting() { writing_.Reset(); }

private:
    SlotTable &table_;
    SessionState &state_;
    WritingProgress writing_;
    std::array<qint64, kSlotCount> lastInk_{};
};

} // namespace lumora
