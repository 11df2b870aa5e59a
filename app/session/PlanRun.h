// Running a question set: which question of the set is on, and where next,
// previous and repeat go. The window does what running a question means
// (its type, its key, not started, in progress); this keeps the place.
//
// QtCore only; user-interface thread.
#pragma once

#include "config/QuestionSet.h"

#include <QString>

namespace lumora {

class PlanRun {
public:
    enum class Move { Next, Previous, Repeat };

    // The set to run; no question of it is on yet. An empty set is none.
    void Choose(QuestionSet set);
    void Stop();
    bool Active() const { return !set_.Questions.empty(); }
    const QuestionSet &Set() const { return set_; }

    // The question a move runs, and the place is now; null when the move
    // leads past either end (or nothing is on to repeat): the place stays.
    const PlannedQuestion *Step(Move move);
    // The question on (0-based), -1 before the first.
    int Place() const { return place_; }
    const PlannedQuestion *Current() const;
    // "3 / 12" while a question of the set is on; empty otherwise.
    QString Counter() const;

private:
    QuestionSet set_;
    int place_ = -1;
};

} // namespace lumora
