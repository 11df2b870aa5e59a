#include "session/RandomPick.h"

#include "core/Helpers.h"
#include "session/Question.h"

#include <algorithm>

namespace lumora {

std::vector<int> PickCandidates(const SlotTable &table, const std::bitset<kSlotCount> &present,
                                PickAmong among, int questionType, const QString &answerKey) {
    std::vector<int> candidates;
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    for (int i = 0; i < count; ++i) {
        const StudentSlot &entry = table[i];
        if (entry.Name.IsEmpty() || !present.test(static_cast<size_t>(i))) {
            continue;
        }
        const uint32_t answer = entry.Answer.load();
        if (among != PickAmong::Present && AnswerToLetters(answer).isEmpty()) {
            continue;
        }
        if (among == PickAmong::AnsweredWrongly &&
            IsCorrect(questionType, answer, answerKey).value_or(true)) {
            continue;
        }
        candidates.push_back(i);
    }
    return candidates;
}

std::optional<int> RandomPick::Pick(const std::vector<int> &candidates) {
    std::vector<int> open = candidates;
    if (open.size() > 1) {
        std::erase(open, last_);
    }
    if (open.empty()) {
        return std::nullopt;
    }
    std::uniform_int_distribution<size_t> choose(0, open.size() - 1);
    last_ = open[choose(random_)];
    return last_;
}

} // namespace lumora
