// What the program does with its data files when something is wrong with
// them: a file that could not be read completely is kept aside under a new
// name before anything new is written, and the temporary files of saves that
// a killed process left behind are removed at the next start.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace lumora {

// Moves the file (or the folder standing where the file should be) at path to
// a free name beside it that keeps its suffix:
// "StudentInfo.ini" -> "StudentInfo-kept-20240305-080709.ini", then "-2",
// "-3" ... when that name is taken. The new path in *keptAs; false with *error
// when it cannot be moved.
bool KeepAside(const QString &path, QString *keptAs, QString *error,
               const QDateTime &now = QDateTime::currentDateTime());

// Copies the file at path to the name KeepAside would move it to, leaving the
// file itself where it is; checked like every save. The copy's path in
// *keptAs; false with *error when it cannot be read or written.
bool CopyAside(const QString &path, QString *keptAs, QString *error,
               const QDateTime &now = QDateTime::currentDateTime());

// Removes the temporary files of saves (names ending in kUnfinishedSaveSuffix,
// platform/AtomicFile.h) that a process killed in the middle of a save left in dataDir;
// the old files they were to replace are whole. Returns the names removed.
QStringList RemoveUnfinishedSaves(const QString &dataDir);

// Whether path is (or lies inside) one of the program's own files or folders
// in dataDir: the settings, the roster, the languages, the classes, the
// record with its pictures, the lock and the files kept aside. Links are
// followed; a file that does not exist yet is judged by its folder.
bool BelongsToDataFolder(const QString &dataDir, const QString &path);

// The name of the file in the data folder that one running program holds.
inline constexpr QStringView kDataFolderLockName = u"Lumora.lock";

} // namespace lumora
