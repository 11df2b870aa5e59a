// What the program does with its data files when something is wrong with
// them: a file that could not be read completely is kept aside under a new
// name before anything new is written, and the temporary files of saves that
// a killed process left behind are removed at the next start.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace lumora {

// Moves the file (or the folder standing where the file should be) at path to
// a free name beside it that keeps its suffix:
// "StudentInfo.ini" -> "StudentInfo-kept-20240305-080709.ini", then "-2",
// "-3" ... when that name is taken. The new path in *keptAs; false with *error
// when it cannot be moved.
bool KeepAside(const QString &path, QString *keptAs, QString *error,
               const QDateTime &now = QDateTime::currentDateTime());

// Removes the temporary files of saves (names ending in kUnfinishedSaveSuffix,
// platform/AtomicFile.h) that a process killed in the middle of a save left in dataDir;
// the old files they were to replace are whole. Returns the names removed.
QStringList RemoveUnfinishedSaves(const QString &dataDir);

} // namespace lumora
