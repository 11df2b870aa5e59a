// The result of an ended choice question: how many named students gave each
// distinct answer, as the bars of the result chart.
#pragma once

#include "config/SlotTable.h"

#include <QString>

#include <vector>

namespace lumora {

struct StatisticsBar {
    enum class Kind { Correct, Wrong, Unanswered };
    QString letters; // empty for the no-answer bar
    QString label;   // letters (or the no-answer text) and "  %d" of the count
    int count = 0;
    Kind kind = Kind::Wrong;
};

struct Statistics {
    // Distinct answers in the order first met in the roster, then the
    // no-answer bar when some named student did not answer.
    std::vector<StatisticsBar> bars;
    // Named students: the left axis maximum and the sum of all bars.
    int total = 0;
};

// Counts the answers of the named entries (Name not empty) 0 .. Count - 1.
// Every distinct answer gets its own bar, however many there are. A bar is
// Correct when its letters equal answerKey exactly.
Statistics BuildStatistics(const SlotTable &table, const QString &answerKey,
                           const QString &unansweredText);

// The same count over the answer masks of the named students in roster order
// (0 = no answer), for answers kept outside the table (the lesson record).
Statistics BuildStatistics(const std::vector<uint32_t> &namedAnswers, const QString &answerKey,
                           const QString &unansweredText);

// A bar's share of the total in the chart's "##0.## %" form: up to two
// decimals, no trailing zeros ("40 %", "33.33 %", "0 %").
QString FormatPercent(int count, int total);

} // namespace lumora
