// The writer side of the lesson record: turns queued events into rows of
// Records/lessons.db and ink pictures into PNG files. Used only by the
// recorder's writer thread, which owns it and its connection.
#pragma once

#include "config/SlotTable.h"
#include "record/RecordDatabase.h"
#include "record/RecordEvent.h"
#include "record/RecordFile.h"
#include "record/RecordProblem.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace lumora {

class RecordWriter {
public:
    // lessonStart and lessonStartNs: the program's start on the wall clock
    // and on the steady clock, so event stamps become wall-clock times.
    RecordWriter(const QString &dataDir, const QDateTime &lessonStart, int64_t lessonStartNs);
    ~RecordWriter();
    RecordWriter(const RecordWriter &) = delete;
    RecordWriter &operator=(const RecordWriter &) = delete;

    // Opens the database as RecordFile decides: a file that cannot be used
    // is renamed aside and a fresh one created; when nothing can be written
    // the writer stays closed. Returns what the teacher is to be told, if
    // anything.
    std::optional<RecordProblem> Open();
    bool IsOpen() const { return connection_.IsOpen(); }
    // Limits the file to pages of 4 KiB (0: no limit); a full file fails its
    // writes like a full disk.
    bool LimitPages(int pages);

    // One transaction around many events. False with *error when the
    // database refuses; the caller rolls back and closes.
    bool Begin(QString *error);
    bool Apply(RecordEvent &event, QString *error);
    bool Commit(QString *error);
    void Rollback();
    // After a failed write: rolls back and closes; a file found corrupt is
    // marked so that the next start checks it whole and sets it aside.
    bool Abandon(); // whether the file was found damaged
    // Sets the lesson's end (inside a transaction); nothing when no lesson row
    // was ever needed.
    bool EndLesson(int64_t ns, QString *error);
    void Close();

    // Events that belonged to no open question or to no named student.
    uint64_t Ignored() const { return ignored_; }

private:
    struct Question {
        qint64 id = 0;
        int number = 0;
        int type = 0;
        QString key;
        int64_t startNs = 0;
        bool open = false; // takes key presses and pen points
        std::array<qint64, kSlotCount> student{};
        // Per entry: the letters already there when the question started
        // that no press during it has touched since.
        std::array<uint32_t, kSlotCount> carried{};
    };

    bool Prepare(QString *error);
    // Adds the rows of pictures that a killed run saved but never recorded.
    bool ReconcilePictures(QString *error);
    bool EnsureLesson(QString *error);
    // The class being taught from ns: another one than the lesson's ends a
    // lesson with questions (the next lesson begins then); a lesson without
    // any simply takes it, and a renamed class is kept under its new name
    // (and file).
    bool TakeClass(const RecordPayload &payload, int64_t ns, bool renamed, QString *error);
    bool StartQuestion(const RecordEvent &event, QString *error);
    bool RecordPick(const RecordEvent &event, QString *error);
    bool EndQuestion(const RecordEvent &event, QString *error);
    // Whether answer counts as correct for the student in entry slot: never
    // with a letter carried over from before the question.
    QVariant Correct(int slot, uint32_t answer) const;
    bool WriteRoster(const std::vector<RosterEntry> &roster, bool final, QString *error);
    bool RecordKey(const RecordEvent &event, QString *error);
    bool RecordPen(const RecordEvent &event, QString *error);
    // Writes the stroke pieces gathered so far (upMs < 0: the stroke goes on).
    bool FlushStroke(int slot, int64_t upMs, QString *error);
    bool FlushStrokes(QString *error);
    bool SavePicture(const RecordEvent &event, QString *error);
    bool FlushUnknownTablets(QString *error);
    // The roster's heard times into the lesson's attendance (earliest first,
    // latest last).
    bool WriteAttendance(const std::vector<RosterEntry> &roster, QString *error);
    QString WallTime(int64_t ns) const;
    qint64 StudentOf(int slot) const; // 0: none
    int Milliseconds(int64_t ns) const;
    bool Exec(QSqlQuery &query, QString *error);

    const QString dataDir_;
    const QDateTime lessonStart_;
    const int64_t lessonStartNs_;
    RecordConnection connection_;
    RecordFile file_; // on connection_
    std::optional<QSqlQuery> insertPress_;
    std::optional<QSqlQuery> updateAnswer_;
    std::optional<QSqlQuery> insertStroke_;
    qint64 lesson_ = 0;
    QString lessonFolder_;
    int64_t lessonBeganNs_; // the program's start, or the switch to another class
    QString classFile_;
    QString className_;
    Question question_;
    std::array<QByteArray, kSlotCount> strokes_; // points not yet written, per entry
    struct Heard {
        int64_t firstNs;
        int64_t lastNs;
        qint64 events;
    };
    std::map<uint16_t, Heard> unknown_; // since the last commit
    uint64_t ignored_ = 0;
};

} // namespace lumora
