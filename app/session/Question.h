// The words of a question, shared by the session, the record, the views and
// the main window: the question types, the answer states, the session state
// the device handlers read, the clear key, and whether an answer is correct.
//
// QtCore only.
#pragma once

#include <QStringView>

#include <atomic>
#include <cstdint>
#include <optional>

namespace lumora {

// CurrentQuestionType: none chosen, single choice, multiple choice, subjective
// (handwritten).
inline constexpr int kQuestionNone = -1;
inline constexpr int kQuestionSingle = 0;
inline constexpr int kQuestionMultiple = 1;
inline constexpr int kQuestionSubjective = 2;
// CurrentAnswerState.
inline constexpr int kAnswerNotStarted = 0;
inline constexpr int kAnswerUnderWay = 1;
inline constexpr int kAnswerEnded = 2;

// The question type and answer state of the main window, which the device
// handlers read on the receiver's thread.
struct SessionState {
    std::atomic<int32_t> CurrentQuestionType{kQuestionNone};
    std::atomic<int32_t> CurrentAnswerState{-1};
};

// The clear key: empties a choice answer, wipes a subjective pane.
inline constexpr uint16_t kClearKey = 9;

// A choice answer's letters against the key: both come out in ascending
// order (AnswerToLetters, NormalizeAnswerKey), so a plain comparison decides.
inline bool LettersMatchKey(QStringView letters, QStringView key) {
    return letters == key;
}

// Whether an answer mask is correct for a question of that type: no answer is
// never correct; a subjective question has no key and gives no verdict.
std::optional<bool> IsCorrect(int questionType, uint32_t answer, QStringView key);

} // namespace lumora
