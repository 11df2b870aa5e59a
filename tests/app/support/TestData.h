// The data of a test: students, Config.ini and StudentInfo.ini written the
// way a teacher's installation holds them, a roster in a SlotTable, and rows
// read from a lesson record file.
#pragma once

#include "config/SlotTable.h"

#include <QString>
#include <QVariantList>

#include <cstdint>
#include <vector>

namespace lumora::test {

struct Student {
    QString Name;
    uint16_t CardID = 0;
    // The pane layer; an empty name means the same student as the seat.
    QString SplitName = {};
    uint16_t SplitID = 0;
};

// Fills table with the students in order (pane layer = seat layer).
void FillTable(SlotTable &table, const std::vector<Student> &students);

// Tablet IDs 1..count with names "Student N".
std::vector<Student> NumberedClass(int count);

// Writes text as UTF-8; fails the calling test when it cannot.
void WriteTextFile(const QString &path, const QString &text);
// Config.ini with all six keys.
void WriteConfigFile(const QString &dataDir, int line, int row, int split,
                     const QString &language = "zh_CN", int languageType = 1);
// StudentInfo.ini, one section per student; the pane keys only for students
// with a pane layer of their own.
void WriteRosterFile(const QString &dataDir, const std::vector<Student> &students);
// Both files as the program writes them at exit: Config.ini with all six keys
// (MainLine and MainRow as given), StudentInfo.ini with the pane layer of the
// student named.
void ExpectWrittenAtExit(const QString &dataDir, int line, int row, const QString &student);
// The whole text of a file, or empty.
QString ReadTextFile(const QString &path);
// The rows of a query on a lesson record file, through a connection of its own.
std::vector<QVariantList> RecordRows(const QString &file, const QString &sql);

} // namespace lumora::test
