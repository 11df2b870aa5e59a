// What the record's writer does when Records/lessons.db cannot be used. A
// file at fault (not a database, damaged, of a newer schema, refusing
// writes) is renamed lessons.unusable-<stamp>.db with its WAL and a fresh one
// started. A file another run holds, or a failure of the machine rather than
// the file (full disk, I/O error), is left alone and nothing is recorded. A
// file found damaged while writing is marked, and checked whole at the next
// start.
#pragma once

#include "record/RecordDatabase.h"
#include "record/RecordProblem.h"

#include <QString>

#include <functional>
#include <optional>

namespace lumora {

class RecordFile {
public:
    // The writer's last step of opening (its prepared statements): false
    // with *error fails the file like a failed check.
    using PrepareStep = std::function<bool(QString *error)>;
    // Drops what the writer holds on the connection and closes it.
    using CloseStep = std::function<void()>;

    // The record file of dataDir, opened on connection (the writer's).
    RecordFile(const QString &dataDir, RecordConnection &connection);
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Opens the file for writing (creating folder and file as needed),
    // setting it aside for a fresh one as above; when nothing can be written
    // the connection is left closed. Returns what the teacher is to be told,
    // if anything.
    std::optional<RecordProblem> Open(const PrepareStep &prepare, const CloseStep &close);
    // The writer gives the file up after a failed write (before it rolls
    // back and closes): a file found damaged is marked for the next start.
    // Whether it was found damaged.
    bool Abandon();

private:
    bool OpenFile(const QString &path, const PrepareStep &prepare, QString *error);

    const QString dataDir_;
    RecordConnection &connection_;
};

// For tests only: called while a record is set aside, after each of its WAL
// and shared-memory files has moved (to simulate a crash there). Null (the
// default) calls nothing.
void SetAsideStepHookForTesting(void (*hook)());

} // namespace lumora
