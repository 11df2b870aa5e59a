#include "session/PlanRun.h"

#include "core/MessageTexts.h"

#include <utility>

namespace lumora {

void PlanRun::Choose(QuestionSet set) {
    set_ = std::move(set);
    place_ = -1;
}

void PlanRun::Stop() {
    Choose(QuestionSet{});
}

const PlannedQuestion *PlanRun::Step(Move move) {
    const int count = static_cast<int>(set_.Questions.size());
    int next = place_;
    switch (move) {
    case Move::Next:
        next = place_ + 1;
        break;
    case Move::Previous:
        // Before the first nothing was on to go back from.
        next = place_ > 0 ? place_ - 1 : -1;
        break;
    case Move::Repeat:
        break;
    }
    if (next < 0 || next >= count) {
        return nullptr;
    }
    place_ = next;
    return Current();
}

const PlannedQuestion *PlanRun::Current() const {
    if (place_ < 0 || place_ >= static_cast<int>(set_.Questions.size())) {
        return nullptr;
    }
    return &set_.Questions[static_cast<size_t>(place_)];
}

QString PlanRun::Counter() const {
    if (Current() == nullptr) {
        return QString();
    }
    return FormatMessage(MessageTexts[MessageKey::PlanCounter],
                         {QString::number(place_ + 1), QString::number(set_.Questions.size())});
}

} // namespace lumora
