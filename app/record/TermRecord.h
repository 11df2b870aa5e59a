// What the record holds of one class's lessons over a term, read with a few
// queries over the whole range (never one per lesson or question), for the
// term's gradebook. Lessons in the bin are left out.
#pragma once

#include "record/TermRange.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace lumora {

class RecordConnection;

struct TermLesson {
    int number = 0;
    QDate day; // the local day it started on
    QString title;
};

struct TermQuestion {
    size_t lesson = 0; // index into TermRecord::lessons
    int number = 0;
    int type = 0; // 0 single, 1 multiple, 2 handwritten
    QString answerKey;
    double points = 1; // the set's points, else 1
    bool ended = false;
};

// A student's row in a question.
struct TermAnswer {
    size_t question = 0; // index into TermRecord::questions
    int seat = 0;
    QString name;
    uint16_t cardId = 0;
    uint32_t answer = 0;
    uint32_t carried = 0; // letters held from before the question
    std::optional<bool> correct;
    std::optional<double> grade;
    std::optional<int> firstPressMs; // none: nothing pressed
    QString picture;                 // absolute, inside Records/; empty: none
};

struct TermPress {
    size_t question = 0; // index into TermRecord::questions
    int seat = 0;
    QString name;
    uint16_t cardId = 0;
    uint16_t key = 0;
    int ms = 0;
};

struct TermRecord {
    std::vector<TermLesson> lessons;     // by start
    std::vector<TermQuestion> questions; // by lesson, then number
    std::vector<TermAnswer> answers;
    std::vector<TermPress> presses; // by question, seat, then as pressed
    // Names whose tablet was heard, by lesson index.
    std::vector<std::pair<size_t, QString>> heard;
};

// Called after each step of the reading with the steps done and their
// number, on the reading thread.
using TermProgress = std::function<void(int done, int total)>;
inline constexpr int kTermReadSteps = 5;

// The lessons of the class classFile (empty: the unnamed class) started on a
// day of range. None with *error when the record fails.
std::optional<TermRecord> ReadTermRecord(RecordConnection &connection, const QString &dataDir,
                                         const QString &classFile, const TermRange &range,
                                         QString *error, const TermProgress &progress = {});

} // namespace lumora
