// Item analysis of a set of questions (items) answered by a class: how hard
// each item was, how well it told stronger from weaker students, which wrong
// options drew whom, how long students took to press, and how reliable the
// set was as a whole; with plain-language hints for the teacher.
//
// Input: a matrix of students x items. A cell holds the points the student got
// (0 for a wrong answer or no answer), or none when the student has no score
// there (absent, or a handwritten answer not graded yet); for a choice item
// also the options chosen and the time to the first press.
//
// Definitions (population variances throughout, as the classic texts use):
// - Difficulty: mean points / the item's points over the students with a score
//   there; for items scored 0 or 1 the share that answered right.
// - The total of a student: the sum over the items that anyone has a score
//   on. Test statistics, discrimination and ability groups use the complete
//   students only (a score on every such item).
// - Discrimination: the corrected item-total correlation, the Pearson
//   correlation of the item's points with the rest of the total (total minus
//   the item); for items scored 0/1 this is the point-biserial correlation.
// - Upper/lower index: (mean points of the upper 27 % - mean points of the
//   lower 27 %) / the item's points, the groups by total. A group holds
//   0.27 x N students; students tied on the total at a group's edge belong to
//   it with an equal share each, so the groups never depend on the order the
//   students came in. The middle group is everyone else.
// - Reliability: coefficient alpha, k / (k - 1) x (1 - sum of the item
//   variances / the variance of the totals). With every score 0 or 1 it is
//   KR-20 (p x q is then the item variance) and said so.
//
// Plain C++ over QtCore; any thread.
#pragma once

#include "core/MessageTexts.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace lumora {

struct AnalysisItem {
    double Points = 1; // what a fully right answer scores; above 0
    int Options = 0;   // a choice item's options A, B, ... (0: no options, e.g. handwriting)
    uint32_t Key = 0;  // the right options as an answer mask (bit n: letter 64 + n)
};

struct AnalysisCell {
    std::optional<double> Points;    // none: no score (absent, not graded)
    uint32_t Chosen = 0;             // the options chosen (0: none)
    std::optional<int> FirstPressMs; // none: no press
};

struct AnalysisInput {
    std::vector<AnalysisItem> Items;
    std::vector<std::vector<AnalysisCell>> Students; // one row per student, one cell per item
};

// Hint thresholds: difficulty below Hard or above Easy; discrimination below
// Weak does not tell students apart, below 0 it points the wrong way.
inline constexpr double kHardBelow = 0.30;
inline constexpr double kEasyAbove = 0.90;
inline constexpr double kWeakDiscriminationBelow = 0.20;
// Share of the class in each of the upper and lower groups.
inline constexpr double kGroupShare = 0.27;

// A hint for the teacher: a message with its argument (an option's letter).
struct ItemHint {
    MessageKey Key = MessageKey::ItemHard;
    QString Argument;
    friend bool operator==(const ItemHint &, const ItemHint &) = default;
};
// The hint in the current language.
QString HintText(const ItemHint &hint);

struct OptionStatistics {
    QChar Letter;
    bool Right = false; // part of the key
    int Chosen = 0;     // students with a score who chose it
    // Share of each ability group that chose it (none without groups); times
    // the group's size (GroupSize, the rest for the middle) the number of
    // its students.
    std::optional<double> Upper;
    std::optional<double> Middle;
    std::optional<double> Lower;
};

struct ItemStatistics {
    int Scored = 0;   // students with a score on it
    int NoAnswer = 0; // of those, students who chose no option (choice items)
    std::optional<double> Difficulty;
    std::optional<double> Discrimination; // corrected item-total correlation
    std::optional<double> UpperLower;     // the 27 % index
    std::vector<OptionStatistics> Options;
    std::optional<double> MedianFirstPressMs;
    std::vector<ItemHint> Hints;
};

struct TestStatistics {
    int Students = 0;     // complete students
    double GroupSize = 0; // of the upper and of the lower group: 0.27 x Students (0 without groups)
    int Items = 0;        // items anyone has a score on
    double MaxTotal = 0;  // the points of those items
    std::optional<double> Mean;
    std::optional<double> StandardDeviation; // of the totals, population
    std::optional<double> Reliability;       // coefficient alpha (KR-20 when Dichotomous)
    bool Dichotomous = false;                // every score 0 or 1
    std::vector<ItemStatistics> PerItem;     // one per input item
};

TestStatistics AnalyseItems(const AnalysisInput &input);

} // namespace lumora
