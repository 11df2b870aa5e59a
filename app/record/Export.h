// Export of a recorded lesson to a file, shared by the history view and the
// command line.
#pragma once

#include "record/TermRange.h"
#include "record/TermRecord.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace lumora {

class LessonHistory;

enum class ExportFormat { Csv, Xlsx };

// "csv" or "xlsx" (any case); none otherwise.
std::optional<ExportFormat> ParseExportFormat(const QString &text);

// A lesson as the history shows it: its number, or "last" for the latest.
// None with *error for anything else or a lesson the record does not hold.
std::optional<int> ResolveLesson(LessonHistory &history, const QString &text, QString *error);

// A file beside path named after it: suffix before the extension
// ("out/lesson.csv", "-presses" -> "out/lesson-presses.csv").
QString SiblingFilePath(const QString &path, const QString &suffix);
// The CSV file of the presses beside the gradebook's.
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

// The files a term export writes for output: output itself; in CSV also the
// statistics ("-statistics") and the presses ("-presses") beside it.
QStringList TermExportFiles(ExportFormat format, const QString &output);

// Writes the term of the class classFile (empty: the unnamed class) over
// range to output (CSV: three files that change together or not at all;
// XLSX: the sheets Gradebook, Statistics and Presses), with the targets
// judged as ExportLesson judges them. False with *error when the record is
// missing, the class held no lesson in range, or a file may not or cannot be
// written. progress (optional) hears each step, on the calling thread.
bool ExportTerm(const QString &dataDir, const QString &classFile, const TermRange &range,
                ExportFormat format, const QString &output, ExistingFiles existing, QString *error,
                const TermProgress &progress = {});

} // namespace lumora
