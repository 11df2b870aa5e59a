// The roster on disk: StudentInfo.ini in the data directory,
// loaded into and saved from the SlotTable (SlotTable.h).
//
// One section per entry, named by the 1-based entry number formatted with
// "%.4d" ("0001" for entry 0), with the keys CardID, Name, CardSplitID and
// CardSplitName in this order. IDs are stored in 16 bits (the low 16 bits of
// what the file holds: 70000 is 4464). Names are cut to kSlotTextBytes UTF-8
// bytes at a character boundary.
#pragma once

#include <QList>
#include <QString>

#include "config/SlotTable.h"
#include "config/TextFile.h"

namespace lumora {

class IniFile;

// dataDir + "/StudentInfo.ini".
QString RosterFilePath(const QString &dataDir);

// The section of entry index: "%.4d" of index + 1.
QString RosterSectionName(int index);

// Fills table from StudentInfo.ini of dataDir (LoadRoster):
// clears the table; N := the number of entry sections in the file (sections
// named by four digits other than "0000"; other sections such as [Extra] do
// not count), at most 100; entry i - 1 is read from section "%.4d" of i for
// i = 1..N, missing keys and missing sections reading as empty / 0; an entry
// without CardSplitName takes Name and CardID as its pane layer;
// EntryNumber := i; Count := N. A missing or unreadable file gives Count 0.
// A file that could not be read completely gives what could be read, and
// *problem (when given) says why. Returns Count.
int LoadRoster(const QString &dataDir, SlotTable &table, FileProblem *problem = nullptr);

// Writes entries to StudentInfo.ini of dataDir (SaveRoster): index
// -1 writes entries 0 .. Count - 1, an index 0..99 writes that entry only
// (all entries when there is no file yet, so that a file never starts with
// one entry of many). Only the written sections' four keys change; every
// other section, key and value of the file is kept (sections above Count are
// neither rewritten nor removed). Atomic. Returns false (with *error) when the
// file cannot be written, when it cannot be read completely (it is never
// rewritten from what was read) or the index is out of range; the old file is
// then untouched.
bool SaveRoster(const QString &dataDir, const SlotTable &table, int index,
                QString *error = nullptr);

// SaveRoster for several entries in one write.
bool SaveRosterEntries(const QString &dataDir, const SlotTable &table, const QList<int> &indices,
                       QString *error = nullptr);

// The two halves of LoadRoster and SaveRoster(-1) on a roster file already
// read, for other files in the same format (the classes kept beside it).
// ReadRosterEntries clears table and fills it as LoadRoster does; returns Count.
int ReadRosterEntries(const IniFile &ini, SlotTable &table);
// Writes entries 0 .. Count - 1 into ini as SaveRoster(-1) writes them into the
// file; every other section and key stays.
void WriteRosterEntries(IniFile &ini, const SlotTable &table);
// The entry sections of a roster file ("0001" ..) and how many of them name a
// student.
struct RosterSize {
    int Seats = 0;
    int Students = 0;
};
RosterSize CountRosterEntries(const IniFile &ini);

} // namespace lumora
