// The main window's side of the lesson record: the recorder of this run and
// the question being recorded, driven by what the teacher chooses. The
// record's two events reach the window as posted events (the way the device
// events come): the ink pictures of an ended subjective question are taken
// when kInkPicturesEvent arrives behind the ink already queued, and a problem
// of the record (from the writer thread) becomes kRecordProblemEvent, which
// the window shows once.
//
// User-interface thread, but for the recorder's own queue.
#pragma once

#include "config/SlotTable.h"
#include "record/RecordEvent.h"
#include "record/RecordProblem.h"

#include <QEvent>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class QObject;

namespace lumora {

class QuestionRecording;
class Recorder;
class TabletEventRecord;

class LessonRecording {
public:
    // After the device events 1034 to 1038.
    static constexpr QEvent::Type kInkPicturesEvent = static_cast<QEvent::Type>(1039);
    static constexpr QEvent::Type kRecordProblemEvent = static_cast<QEvent::Type>(1040);

    // The lesson begins: the recorder is made (not started). target receives
    // the two events and outlives this object.
    LessonRecording(const QString &dataDir, QObject *target);
    ~LessonRecording();
    LessonRecording(const LessonRecording &) = delete;
    LessonRecording &operator=(const LessonRecording &) = delete;

    // Starts the writer; the device handlers report to the returned record.
    TabletEventRecord *Start();
    Recorder &LessonRecorder() const { return *recorder_; }

    // The teacher chose a question type (a question under way without one
    // starts).
    void QuestionTypeChosen(int type, const SlotTable &table);
    // The teacher chose an answer state, before anything is wiped. For the
    // end, no device handler that read the old state may still be inside
    // (DeviceBridge::Settle). The pictures of a subjective question are
    // taken now or once kInkPicturesEvent comes.
    void AnswerStateChosen(int state, int type, const SlotTable &table, QSize inkSize);
    // One of the two events arrived: waiting pictures are taken; a problem is
    // returned for the window to show.
    std::optional<RecordProblem> HandleEvent(const QEvent &event, const SlotTable &table,
                                             QSize inkSize);
    // The place in a question set of the questions that start from now on
    // (QuestionRecording::SetPlace).
    void SetPlace(const QuestionPlace &place);
    // After the library stopped: a question still under way ends with the
    // program, waiting pictures are taken from what was drawn, the writer
    // stops.
    void ProgramEnds(int type, const SlotTable &table, QSize inkSize);

private:
    void SavePictures(const SlotTable &table, QSize inkSize);

    QObject *const target_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<QuestionRecording> questions_;
    // The pictures of an ended subjective question wait for the ink queued
    // before its end.
    bool picturesPending_ = false;
};

} // namespace lumora
