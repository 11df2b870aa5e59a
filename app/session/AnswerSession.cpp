#include "session/AnswerSession.h"

#include "core/Helpers.h"

namespace lumora {

void AnswerSession::StartOver() {
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        table_[i].Answer = 0;
    }
    writing_.Reset();
}

std::optional<Statistics> AnswerSession::Result(const QString &answerKey,
                                                const QString &unansweredText) const {
    if (QuestionType() == kQuestionSubjective) {
        return std::nullopt;
    }
    return BuildStatistics(table_, answerKey, unansweredText);
}

std::vector<std::pair<int, QString>> AnswerSession::FinalAnswers() const {
    std::vector<std::pair<int, QString>> answers;
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        if (table_[i].CardID.load() != 0) {
            answers.emplace_back(i, AnswerToLetters(table_[i].Answer.load()));
        }
    }
    return answers;
}

std::optional<Progress> AnswerSession::CurrentProgress() const {
    switch (QuestionType()) {
    case kQuestionNone:
        return std::nullopt;
    case kQuestionSubjective:
        return writing_.Count(table_);
    default:
        return CountAnswered(table_);
    }
}

bool AnswerSession::PenPoint(int slot, qint64 nowMs) {
    if (slot < 0 || slot >= kSlotCount) {
        return false;
    }
    lastInk_[static_cast<size_t>(slot)] = nowMs;
    return writing_.Wrote(slot);
}

bool AnswerSession::WritingNow(int slot, qint64 nowMs) const {
    return slot >= 0 && slot < kSlotCount && writing_.HasWritten(slot) &&
           nowMs - lastInk_[static_cast<size_t>(slot)] < kRecentWritingMs;
}

} // namespace lumora
