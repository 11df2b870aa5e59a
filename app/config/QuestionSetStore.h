// The teacher's question sets in the data folder: QuestionSets/<name>.csv,
// each with its pictures in QuestionSets/<name>/. Importing reads a set from
// anywhere and copies it and its pictures in; nothing is copied when any row
// is bad. Every write is atomic and checked (platform/AtomicFile.h).
//
// QtCore only; user-interface thread.
#pragma once

#include "config/QuestionSet.h"

#include <QString>
#include <QStringList>

namespace lumora {

inline constexpr QStringView kQuestionSetFolder = u"QuestionSets";

QString QuestionSetsFolder(const QString &dataDir);
QString QuestionSetPath(const QString &dataDir, const QString &name);
QString QuestionSetPictureFolder(const QString &dataDir, const QString &name);

// The sets' names, sorted for reading.
QStringList ListQuestionSets(const QString &dataDir);

// A set read (or imported), or why not: one line per problem, in the current
// message texts.
struct SetFileResult {
    QuestionSet Set;
    QStringList Problems;
    bool Ok() const { return Problems.isEmpty(); }
};

SetFileResult LoadQuestionSet(const QString &dataDir, const QString &name);

// Reads the CSV file at source (pictures relative to its folder) and stores
// it under its base name, replacing a set of that name. Nothing is written
// unless the whole file was good.
SetFileResult ImportQuestionSet(const QString &dataDir, const QString &source);

// Writes the set (its Name) to the data folder. False with *error on failure;
// the old file stays then.
bool SaveQuestionSet(const QString &dataDir, const QuestionSet &set, QString *error);

// Writes the set to target and copies its pictures beside it (a picture
// already there is left as it is).
bool ExportQuestionSet(const QString &dataDir, const QuestionSet &set, const QString &target,
                       QString *error);

} // namespace lumora
