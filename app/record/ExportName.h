// The file an export of a lesson is offered under: the lesson's date and
// number in the teacher's language ("2026-12-08 lesson 3.xlsx"), in the
// teacher's documents folder.
#pragma once

#include <QDate>
#include <QString>

namespace lumora {

// pattern is the language's text with "%1" the date (yyyy-MM-dd) and "%2"
// the lesson's number; suffix the extension without its dot. Characters no
// file name may hold (/ \ : * ? " < > | and control characters) become
// blanks, blanks are collapsed and the name never ends in a dot or a blank.
// A pattern that lacks a place gets it added (an empty one gives
// "<date> <lesson>").
QString SuggestedExportName(const QString &pattern, QDate date, int lesson, const QString &suffix);
// The same with "%2" a text (a class's name: "2026-12-08 7A term.xlsx").
QString SuggestedExportName(const QString &pattern, QDate date, const QString &what,
                            const QString &suffix);

// SuggestedExportName in the teacher's documents folder while it exists,
// else in home (a file dialog given a folder that is not there would open in
// the program's working folder).
QString SuggestedExportPath(const QString &documents, const QString &home, const QString &pattern,
                            QDate date, int lesson, const QString &suffix);
QString SuggestedExportPath(const QString &documents, const QString &home, const QString &pattern,
                            QDate date, const QString &what, const QString &suffix);

} // namespace lumora
