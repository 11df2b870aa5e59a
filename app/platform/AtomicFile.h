// Checked atomic writes: the bytes go to a temporary file in the same folder
// (named "<file>.<random>.lumora-save"), every write, the flush and the sync
// to disk are checked, and only then does a rename replace the target. On any
// failure the old file stays as it was and the temporary file is removed; one
// left by a killed process is recognisable by its name (RemoveUnfinishedSaves,
// platform/DataFiles.h).
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace lumora {

// The name part that marks the temporary file of a save.
inline constexpr QStringView kUnfinishedSaveSuffix = u".lumora-save";

// Replaces the file at path with bytes, atomically and checked (see the top of
// this file). The folder must exist. A link is saved through: the file it
// points to is replaced. A file without write permission for its owner is
// never replaced (even by a user who could). Returns false and leaves the old file
// untouched on any failure; *error (when given) holds the platform's reason.
bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr);

// Replaces several files as one: every new file is written and synced beside
// its target first, and only then are the targets replaced; when a step fails,
// the targets already replaced get their old contents back, so either all
// change or none. *failedPath (when given) names the file that failed.
bool WriteFilesAtomically(const std::vector<std::pair<QString, QByteArray>> &files,
                          QString *error = nullptr, QString *failedPath = nullptr);

// Renames the file source over target in one step (rename(2); MoveFileExW
// with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH on Windows), both
// in the same folder. False with *error (the system's reason) when the target
// stays as it was: a folder, a file in use or read-only on Windows.
bool MoveFileOver(const QString &source, const QString &target, QString *error = nullptr);

// For tests only: a function WriteFileAtomically calls after the temporary
// file is written and synced and before it replaces the target (to simulate a
// crash there). Null (the default) calls nothing.
void SetBeforeReplaceHookForTesting(void (*hook)());

// For tests only: WriteFilesAtomically fails (as on a full disk) when it
// comes to replace the file at index; -1 (the default) never.
void FailReplaceAtForTesting(int index);

} // namespace lumora
