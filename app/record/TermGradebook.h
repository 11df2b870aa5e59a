// A class's term as sheets: the gradebook (a row per student, a column per
// question of every lesson in date order, with each student's total, the
// points possible, the percentage and attendance), the item analysis of the
// term's choice questions with its reliability, and every key press.
#pragma once

#include "record/ExportSheet.h"
#include "record/LessonHistory.h"
#include "record/TermRange.h"
#include "record/TermRecord.h"

#include <optional>

namespace lumora {

struct TermExport {
    ExportSheet gradebook;
    ExportSheet statistics;
    ExportSheet presses;
    int lessons = 0; // held in the term
};

// The sheets of the lessons of classFile (empty: the unnamed class) started
// within range, read from dataDir's record; none with *error when the record
// is missing or fails, or the range is backwards. progress (optional) hears
// each step, on the calling thread.
std::optional<TermExport> BuildTermExport(const QString &dataDir, const QString &classFile,
                                          const TermRange &range, QString *error,
                                          const TermProgress &progress = {});

// The sheets of what was read (the lessons need not be there: a term without
// lessons is empty sheets).
TermExport TermSheets(const TermRecord &term);

// The gradebook as learning platforms import it: one heading row, each
// question's heading led by its lesson's ("2026-09-03 · Fractions · Q2").
ExportSheet WithOneHeadingRow(const ExportSheet &gradebook);

// The class as the teacher typed it: its name in the record, else its file
// name, else the only class whose name or file matches without regard to
// case. None with *error naming the classes there are for a blank, unknown or
// ambiguous text.
std::optional<LessonClass> ResolveTermClass(LessonHistory &history, const QString &text,
                                            QString *error);

} // namespace lumora
