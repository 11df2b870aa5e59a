// The roster on disk: StudentInfo.ini in the data directory,
// loaded into and saved from the SlotTable (SlotTable.h).
//
// One section per entry, named by the 1-based entry number formatted with
// "%.4d" ("0001" for entry 0), with the keys CardID, Name, CardSplitID and
// CardSplitName in this order. IDs are stored in 16 bits (the low 16 bits of
// what the file holds: 70000 is 4464). Names are cut to 32 UTF-8 bytes at a
// character boundary.
#pragma once

#include <QString>

#include "config/SlotTable.h"

namespace lumora {

// dataDir + "/StudentInfo.ini".
QString RosterFilePath(const QString &dataDir);

// The section of entry index: "%.4d" of index + 1.
QString RosterSectionName(int index);

// Fills table from StudentInfo.ini of dataDir (LoadRoster):
// clears the table; N := the number of sections in the file (their names are
// not looked at), at most 100; entry i - 1 is read from section "%.4d" of i
// for i = 1..N, missing keys and missing sections reading as empty / 0; an
// entry without CardSplitName takes Name and CardID as its pane layer;
// EntryNumber := i; Count := N. A missing or unreadable file gives Count 0.
// Returns Count.
int LoadRoster(const QString &dataDir, SlotTable &table);

// Writes entries to StudentInfo.ini of dataDir (SaveRoster): index
// -1 writes entries 0 .. Count - 1, an index 0..99 writes that entry only.
// Only the written sections' four keys change; every other section, key and
// value of the file is kept (sections above Count are neither rewritten nor
// removed). Atomic. Returns false (with *error) when the file cannot be read
// or written, or the index is out of range; the old file is then untouched.
bool SaveRoster(const QString &dataDir, const SlotTable &table, int index,
                QString *error = nullptr);

} // namespace lumora
