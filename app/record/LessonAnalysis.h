// The item analysis of a recorded lesson: its ended choice questions and its
// handwritten questions with a grade are the items, its named students the
// rows (a student is a seat with a name, the same in every question). A right
// choice scores the question's points, a wrong one or none 0; a handwritten
// answer scores its grade, and has no score until graded. The options chosen
// and the first press come from the record.
#pragma once

#include "record/LessonHistory.h"
#include "session/ItemAnalysis.h"

#include <optional>
#include <vector>

namespace lumora {

struct LessonAnalysis {
    std::vector<QuestionInfo> Questions; // the analysed ones, in order
    TestStatistics Statistics;           // PerItem parallel to Questions
};

// What the record holds of the lesson, analysed; none when the record fails
// (history.Error() says why). A lesson without such questions gives no
// items.
std::optional<LessonAnalysis> AnalyseLesson(LessonHistory &history, int lesson);

// The options a choice item offers: the tablets' A to D at least, and up to
// the highest letter of its key or of any answer chosen.
int ItemOptions(uint32_t key, const std::vector<uint32_t> &chosen);

// The item's hints in the current language, one after the other.
QString HintsText(const ItemStatistics &item);

} // namespace lumora
