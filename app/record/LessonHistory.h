// Read-side queries of the lesson record for the history view and the
// exports. Opens Records/lessons.db (never creating it) on the calling
// thread; the writer may be committing at the same time (WAL), and what it
// committed last is what is seen.
#pragma once

#include "record/PenStroke.h"
#include "record/RecordDatabase.h"
#include "session/Statistics.h"

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace lumora {

struct LessonInfo {
    int number = 0;    // as the history shows it
    QString startedAt; // ISO 8601 with offset
    QString endedAt;   // empty when the run did not end cleanly
    int questionCount = 0;
    // The class it was held with (its file under Classes/ and its name
    // then); both empty for the unnamed class and lessons from before
    // classes were kept.
    QString classFile;
    QString className;
    QString title;     // empty for none
    QString deletedAt; // when it went to the bin; empty while it is not there
};

// A class that lessons were held with, as the history's filter lists it.
struct LessonClass {
    QString file; // empty: the unnamed class
    QString name; // its name in its latest lesson
    int lessons = 0;
};

struct QuestionInfo {
    int number = 0; // in the lesson, from 1
    int type = 0;   // 0 single, 1 multiple, 2 subjective
    QString answerKey;
    QString startedAt;
    QString endedAt; // empty when the question was never ended
    // What a right answer scores: the set's points, else 1 (a question set
    // up by hand, or a record from before points were kept).
    double points = 1;
};

struct StudentResult {
    int seat = 0; // from 1
    QString name;
    uint16_t cardId = 0;
    uint16_t paneId = 0;
    uint32_t answer = 0;
    QString letters;
    std::optional<bool> correct;     // none for a subjective question
    std::optional<int> firstPressMs; // none when the student pressed nothing
    std::optional<double> grade;     // a handwritten answer's points, once graded
};

struct PictureInfo {
    int seat = 0;
    QString name;
    QString path;                // absolute
    std::optional<double> grade; // the points the teacher gave, once graded
};

struct PressInfo {
    int question = 0;
    int seat = 0;
    QString name;
    uint16_t cardId = 0;
    uint16_t key = 0;
    int ms = 0;
    uint32_t answer = 0; // after the press
};

// A student of the lesson (a seat with its name in any of its questions):
// heard means the tablet was in the room, answered that it pressed a key or
// left a picture.
struct AttendanceInfo {
    enum class Status { Present, Silent, Absent };
    int seat = 0;
    QString name;
    QString firstHeard; // empty when not heard
    QString lastHeard;
    bool answered = false;
    // Present: answered; silent: heard but never answered; absent: neither.
    Status status() const {
        return answered ? Status::Present : firstHeard.isEmpty() ? Status::Absent : Status::Silent;
    }
};

struct UnknownTabletInfo {
    uint16_t tabletId = 0;
    QString firstHeard;
    QString lastHeard;
    qint64 events = 0;
};

class LessonHistory {
public:
    // False with *error when dataDir holds no record or it cannot be read.
    bool Open(const QString &dataDir, QString *error);
    void Close() { connection_.Close(); }

    // Every query returns nothing (std::nullopt) when the database fails;
    // Error() then says why. An unknown lesson or question gives empty lists.
    // Every lesson, those in the bin too, oldest first.
    std::optional<std::vector<LessonInfo>> Lessons();
    // The classes of the lessons outside the bin, by name.
    std::optional<std::vector<LessonClass>> Classes();
    std::optional<std::vector<QuestionInfo>> Questions(int lesson);
    // In seat order.
    std::optional<std::vector<StudentResult>> Students(int lesson, int question);
    // The bars of the result chart, counted like the live chart from the
    // final answers; no bars for a subjective question.
    std::optional<Statistics> Bars(int lesson, int question, const QString &unansweredText);
    // Pictures whose path stays inside the Records folder, in seat order.
    std::optional<std::vector<PictureInfo>> Pictures(int lesson, int question);
    // Every pen point of a student (by seat) in order, each pen-up as a
    // sample that is not down.
    std::optional<std::vector<PenSample>> PenPoints(int lesson, int question, int seat);
    // Every press of the lesson by question, then seat, in the order pressed.
    std::optional<std::vector<PressInfo>> Presses(int lesson);
    std::optional<std::vector<UnknownTabletInfo>> UnknownTablets(int lesson);
    // In seat order. A record from before attendance was kept knows who
    // answered only.
    std::optional<std::vector<AttendanceInfo>> Attendance(int lesson);

    // Grades a student's (by seat) answer to a handwritten question: points
    // from 0 up, or none to take the grade back. False with Error() when
    // there is no such answer or the record cannot be written (a record
    // opened read-only).
    bool SetGrade(int lesson, int question, int seat, std::optional<double> points);
    // The lesson's title (blanks at the ends dropped; empty takes it back).
    bool SetTitle(int lesson, const QString &title);
    // Puts a lesson in the bin (at deletedAt, ISO 8601) or takes it out. The
    // newest lesson without an end may still be recorded and stays out.
    bool MoveToBin(int lesson, const QString &deletedAt);
    bool RestoreFromBin(int lesson);
    // Removes the lessons in the bin with everything recorded of them, then
    // their picture folders; *removed (when given) how many lessons. False
    // with Error() naming any folder that could not be removed (the lessons
    // are gone; the folder is only left behind).
    bool EmptyBin(int *removed = nullptr);

    const QString &Error() const { return error_; }
    const QString &DataDir() const { return dataDir_; }

private:
    // The grades of a question by seat; empty for a record from before
    // grades were kept.
    std::map<int, double> Grades(int lesson, int question);

    QString dataDir_;
    RecordConnection connection_;
    QString error_;
};

} // namespace lumora
