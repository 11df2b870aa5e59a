// The roster import as one operation: read and parse the file (nothing is
// changed when it cannot be read), replace the roster with it, and say what
// the teacher must be told. The window only asks for the file, keeps the
// device handlers off the table while it is replaced, and shows the notices.
//
// QtCore only; user-interface thread.
#pragma once

#include "config/ImportParser.h"
#include "config/SlotTable.h"

#include <QString>

#include <vector>

namespace lumora {

// One prompt for the teacher.
struct ImportNotice {
    enum class Kind { Warning, Error };
    Kind What = Kind::Warning;
    QString Text;

    friend bool operator==(const ImportNotice &, const ImportNotice &) = default;
};

// A file read and parsed, ready to replace the roster.
struct PreparedImport {
    bool Ready = false;                // false: the file could not be read
    std::vector<ImportNotice> Notices; // why it could not be read
    ImportParseResult Parsed;
};

// Reads and parses the import file at path. A file that cannot be read
// completely (gone, a folder, no permission) is not ready, with a notice
// naming it and the reason; so is a file with a line that is no student, with
// a notice naming the line's number, the line and the form expected.
PreparedImport PrepareRosterImport(const QString &path);

// Replaces the roster with a prepared import: the seat layer from the file,
// Count from the seat grid (mainLine x mainRow), and every student's pane
// showing the student's own tablet, as after loading the roster file. Returns
// what the teacher is told afterwards, in order: a line that stopped the
// reading, lines the roster had no seat for, lines that held bytes that are
// no text.
std::vector<ImportNotice> ApplyRosterImport(const PreparedImport &import, SlotTable &table,
                                            int mainLine, int mainRow);

} // namespace lumora
