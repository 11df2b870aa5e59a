// A question set: the questions a teacher prepares before class, as a CSV
// file that a spreadsheet can also write. The first row names the columns
// (any order; English or Chinese names, case ignored):
//
//   type,key,text,picture,seconds,points
//   single,B,What is 2 + 1?,,30,1
//   multiple,ACD,"Which are even: 2, 3, 4, 6?",,,2
//   handwritten,,Draw the triangle,triangle.png,120,
//
// type is single / multiple / handwritten (单选 / 多选 / 主观); key the letters
// A to H of a choice question (one for single choice; none for handwriting);
// text, picture (a path relative to the set's folder), seconds (the time
// limit, 1 to 3600) and points (0 to 1000) may be empty. Cells are separated
// by the first of comma, semicolon or tab that the header holds; quotes work
// as spreadsheets write them. Blank rows are skipped.
//
// Reading reports every bad row with its number (the file's line where the
// row starts) and what is wrong; a set with any bad row is not taken at all.
//
// QtCore only.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace lumora {

// One prepared question. Type uses the session's question types: 0 single
// choice, 1 multiple choice, 2 handwritten (subjective).
struct PlannedQuestion {
    int Type = 0;
    QString Key;     // letters in ascending order; empty for handwriting
    QString Text;    // may be empty
    QString Picture; // relative to the set's picture folder; may be empty
    int Seconds = 0; // time limit; 0: none
    std::optional<double> Points;

    friend bool operator==(const PlannedQuestion &, const PlannedQuestion &) = default;
};

struct QuestionSet {
    QString Name;
    std::vector<PlannedQuestion> Questions;
};

inline constexpr int kPlanMaxSeconds = 3600;
inline constexpr double kPlanMaxPoints = 1000;
// Highest letter of a key: keys 1 to 8 of a tablet answer, key 9 clears.
inline constexpr QChar kPlanLastKeyLetter = u'H';

// What is wrong with one row (or the file).
struct SetRowProblem {
    enum Kind {
        NoColumn,         // the header lacks a column (Value: its name)
        UnknownColumn,    // the header names a column nobody knows (Value)
        BadType,          // Value: the type written
        KeyMissing,       // a choice question without a key
        BadKey,           // letters other than A to H (Value)
        KeyTooLong,       // single choice with more than one letter (Value)
        KeyOnHandwritten, // a handwritten question has no key (Value)
        BadSeconds,       // Value
        BadPoints,        // Value
        BadPicture,       // absolute, leaving the folder, or not there (Value)
        TooManyCells,     // more cells than the header names
        OpenQuote,        // a quoted cell never closed
        NotText,          // bytes that are no text, or a zero byte
        NoQuestions,      // a file without a single question (Row 0)
    };
    int Row = 0;
    Kind What = NoQuestions;
    QString Value;

    friend bool operator==(const SetRowProblem &, const SetRowProblem &) = default;
    // In the current message texts ("row 3: ..."), and without the row.
    QString Describe() const;
    QString DescribeWhat() const;
};

struct SetReadResult {
    QuestionSet Set; // empty when any problem was found
    std::vector<SetRowProblem> Problems;
    bool Ok() const { return Problems.empty(); }
};

// Reads a set from a file's bytes (decoded as every text file is). When
// pictureFolder is not empty, every picture must be a file under it.
SetReadResult ParseQuestionSet(const QByteArray &bytes, const QString &pictureFolder = QString());

// Reads questions from cells as an editor holds them: each row the cells of
// type, key, text, picture, seconds and points in that order (type in any of
// its names); the problems' Row is the question's number (from 1).
SetReadResult ReadQuestionRows(const std::vector<QStringList> &rows,
                               const QString &pictureFolder = QString());

// The name of a type as the file writes it ("single").
QString QuestionTypeName(int type);

// The set as CSV: UTF-8 with a byte order mark (so spreadsheets take it as
// UTF-8), CRLF, the header in English, cells quoted where needed; a text that
// a spreadsheet would take for a formula gets a leading apostrophe, which
// reading drops again.
QByteArray QuestionSetCsv(const QuestionSet &set);

} // namespace lumora
