// Helpers of the lesson record tests: a roster in a SlotTable, rows read
// straight from a database file, and waiting for the writer.
#pragma once

#include "config/SlotTable.h"
#include "record/Recorder.h"
#include "support/TestData.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace lumora::test {

// The rows of a query on the database file, each row its column values.
std::vector<QVariantList> Rows(const QString &databasePath, const QString &sql);
// Runs statements on a file through a plain connection (none of the
// record's pragmas or migrations), as another program would.
void RawExec(const QString &databasePath, const QStringList &statements);

// The single value of a query (invalid when there is no row).
QVariant Value(const QString &databasePath, const QString &sql);

// Runs a program through the shell (popen: the fork is in our own code,
// where ThreadSanitizer follows it, unlike QProcess's) without DISPLAY,
// WAYLAND_DISPLAY and QT_QPA_PLATFORM; its exit status (-1 when killed) and
// stdout and stderr together in *output.
int RunWithoutDisplay(const QString &program, const QStringList &arguments, QString *output);

// Waits (up to a generous limit, for loaded machines) until the recorder has
// committed at least commits transactions; false when it never did.
bool WaitForCommits(const Recorder &recorder, uint64_t commits);

} // namespace lumora::test
