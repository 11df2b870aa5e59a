// Roster import from a text file, without the
// dialogs: the caller asks the teacher, shows the Error1 prompt and reloads
// the grids.
//
// The file holds one student per line (a line ends at CR, LF or CR LF): the
// name, a "#", and the tablet ID in decimal, of which at most 6 characters
// are taken. It is read as DecodeTextFile reads it: with a byte order mark
// (UTF-8, UTF-16), else UTF-8, each line that is not UTF-8 in GB18030.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

#include "config/SlotTable.h"

namespace lumora {

struct ImportedStudent {
    QString Name;        // already cut to kSlotTextBytes UTF-8 bytes
    uint16_t CardID = 0; // low 16 bits of the ID read

    friend bool operator==(const ImportedStudent &, const ImportedStudent &) = default;
};

struct ImportParseResult {
    // One entry per student line read, in order (blank lines are skipped).
    // When a line failed, its entry is the last one: its name and CardID 0
    // (the name read is kept).
    QList<ImportedStudent> Entries;
    // A line's ID did not convert (or was -1): reading stopped at it. Every
    // line of the file is checked, also those beyond the 100th.
    bool Failed = false;
    int FailedLineIndex = -1; // 0-based line number in the file of the failing line
    QString FailedLine;       // that line, for the prompt
    // Student lines after the 100th, not read (the table holds 100 entries).
    int IgnoredLines = 0;
    // Student lines of the file (blank lines not counted).
    int LineCount = 0;
    // 1-based lines read that held bytes that are not text (or zero bytes):
    // their names show U+FFFD (or lack the zero), which the teacher is told.
    QList<int> NotTextLines;
};

// The lines of a text: split at CR LF, CR or LF. A break at the very end does
// not start another line ("a\n" is one line, "a\n\n" is "a" and "").
QStringList SplitLines(QStringView text);

// The ID part of an import line converted as the original's integer
// conversion did: leading blanks, an optional sign, then decimal digits to the
// end; anything else, an empty text and the value -1 are invalid (false).
// (The original also took "$1A" and "0x1A" as hexadecimal; IDs are decimal,
// so this one does not.)
bool ParseImportId(QStringView text, int32_t *value);

// Parses the import file's bytes (steps 5 and 6 of ImportRoster):
// for each line L that is not blank: Name := the part before the first "#"
// (empty without one);
// the ID is taken from at most 6 characters after that "#" (the first 6 of L
// when there is none); an invalid ID stops reading with Failed set. At most
// kSlotCount student lines are read.
ImportParseResult ParseImportFile(QByteArrayView bytes);

// The lines of a successful import that the roster has no seat for: lines
// beyond the first `seats`. A failed import read no line after the failing
// one, and the failing line is no student. 0 when nothing was left out.
int LinesBeyondLastSeat(const ImportParseResult &result, int seats);

// Replaces the roster with an import (steps 4 and 7): clears table, copies the
// entries into entries 0, 1, ... (seat layer only; EntryNumber 0), and sets
// Count := mainLine * mainRow limited to 0..100, whatever the number of lines.
void ApplyImport(SlotTable &table, const ImportParseResult &result, int mainLine, int mainRow);

} // namespace lumora
