// What a lesson's export holds: a gradebook (one row per student, one column
// per question, totals and percentages per student and per question) and
// every key press with its time.
#pragma once

#include "record/ExportSheet.h"
#include "record/LessonHistory.h"

#include <optional>

namespace lumora {

struct LessonExport {
    ExportSheet gradebook;
    ExportSheet presses;
};

// The two sheets of lesson; none with *error when the database fails or
// there is no such lesson.
std::optional<LessonExport> BuildLessonExport(LessonHistory &history, int lesson, QString *error);

// The letter a key press stands for: "clear" for the clear key, the option
// letter of the key's bit otherwise, empty for a key that has none.
QString KeyLabel(uint16_t key);

} // namespace lumora
