// What a lesson's export holds: a gradebook (one row per student, one column
// per question, totals and percentages per student and per question), every
// key press with its time, and the item analysis of the choice questions
// (the workbook's third sheet).
#pragma once

#include "record/ExportSheet.h"
#include "record/LessonHistory.h"

#include <optional>

namespace lumora {

struct LessonExport {
    ExportSheet gradebook;
    ExportSheet presses;
    ExportSheet statistics;
};

// The sheets of lesson; none with *error when the database fails or
// there is no such lesson.
std::optional<LessonExport> BuildLessonExport(LessonHistory &history, int lesson, QString *error);

struct LessonAnalysis;
// The item analysis as a sheet: a row per analysed question (difficulty,
// discrimination, the upper-lower index, the median first press, how many
// chose each option, the hints), then the lesson's totals and reliability.
// With lead, each question's row begins with lead's cells for it (and the
// heading row with leadHeading), as the term's sheet names each lesson.
ExportSheet StatisticsSheet(const LessonAnalysis &analysis,
                            const std::vector<ExportCell> &leadHeading = {},
                            const std::vector<std::vector<ExportCell>> &lead = {});

// The name of a question type as the sheets write it.
QString TypeName(int type);

// The letter a key press stands for: "clear" for the clear key, the option
// letter of the key's bit otherwise, empty for a key that has none.
QString KeyLabel(uint16_t key);

} // namespace lumora
