#include "record/QuestionRecording.h"

#include <utility>

namespace lumora {

QuestionRecording::Pictures QuestionRecording::AnswerStateChosen(int state, int questionType,
                                                                 const QString &answerKey,
                                                                 const SlotTable &table) {
    const int previous = std::exchange(state_, state);
    const bool chosen = questionType != kQuestionNone;
    const Pictures pictures =
        questionType == kQuestionSubjective ? Pictures::AfterQueuedInk : Pictures::None;
    switch (state) {
    case kAnswerUnderWay:
        if (!open_ && chosen) {
            // Under way again after the end, not cleared: the same question.
            if (previous == kAnswerEnded && ended_) {
                recorder_.QuestionResumed();
            } else {
                recorder_.QuestionStarted(questionType, answerKey, table, place_);
            }
            open_ = true;
        }
        return Pictures::None;
    case kAnswerEnded:
        if (open_) {
            End(questionType, answerKey, table);
            return pictures;
        }
        // Ending again only rebuilds the chart: the answers cannot have changed.
        if (previous != kAnswerEnded && chosen) {
            recorder_.QuestionStarted(questionType, answerKey, table, place_);
            End(questionType, answerKey, table);
            return pictures;
        }
        return Pictures::None;
    default:
        if (open_) {
            End(questionType, answerKey, table);
            ended_ = false;
            return pictures == Pictures::None ? Pictures::None : Pictures::Now;
        }
        ended_ = false;
        return Pictures::None;
    }
}

void QuestionRecording::QuestionTypeChosen(int questionType, const QString &answerKey,
                                           const SlotTable &table) {
    if (state_ == kAnswerUnderWay && !open_ && questionType != kQuestionNone) {
        recorder_.QuestionStarted(questionType, answerKey, table, place_);
        open_ = true;
    }
}

QuestionRecording::Pictures
QuestionRecording::ProgramEnds(int questionType, const QString &answerKey, const SlotTable &table) {
    if (!open_) {
        return Pictures::None;
    }
    End(questionType, answerKey, table);
    return questionType == kQuestionSubjective ? Pictures::Now : Pictures::None;
}

void QuestionRecording::End(int questionType, const QString &answerKey, const SlotTable &table) {
    recorder_.QuestionEnded(questionType, answerKey, table, place_);
    open_ = false;
    ended_ = true;
}

} // namespace lumora
