// Export of a recorded lesson to a file, shared by the history view and the
// command line.
#pragma once

#include <QString>

#include <optional>

namespace lumora {

class LessonHistory;

enum class ExportFormat { Csv, Xlsx };

// "csv" or "xlsx" (any case); none otherwise.
std::optional<ExportFormat> ParseExportFormat(const QString &text);

// A lesson as the history shows it: its number, or "last" for the latest.
// None with *error for anything else or a lesson the record does not hold.
std::optional<int> ResolveLesson(LessonHistory &history, const QString &text, QString *error);

// The CSV file of the presses beside the gradebook's: "-presses" before the
// extension ("out/lesson.csv" -> "out/lesson-presses.csv").
QString PressesFilePath(const QString &path);

// What an export does with a target file that already exists.
enum class ExistingFiles { Keep, Replace };

// Writes the lesson's gradebook and presses to output (CSV: two files that
// change together or not at all; XLSX: two sheets). Only ordinary files are
// ever replaced, and only with ExistingFiles::Replace; a device, pipe,
// socket, folder or any of the program's own files in dataDir is refused.
// False with *error, naming what is wrong, when the record or the lesson is
// missing or a file may not or cannot be written.
bool ExportLesson(const QString &dataDir, const QString &lesson, ExportFormat format,
                  const QString &output, ExistingFiles existing, QString *error);

} // namespace lumora
