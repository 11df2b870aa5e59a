#include "record/LessonRecording.h"

#include "core/Helpers.h"
#include "record/QuestionRecording.h"
#include "record/Recorder.h"
#include "session/Question.h"

#include <QCoreApplication>

namespace lumora {

namespace {

// A problem of the record on its way from the writer thread to the window.
class RecordProblemEvent : public QEvent {
public:
    explicit RecordProblemEvent(const RecordProblem &problem)
        : QEvent(LessonRecording::kRecordProblemEvent), problem(problem) {}
    const RecordProblem problem;
};

// A subjective question has no key (AnswerKey keeps the last choice's).
QString RecordedKey(int type) {
    return type == kQuestionSubjective ? QString() : AnswerKey;
}

} // namespace

LessonRecording::LessonRecording(const QString &dataDir, QObject *target)
    : target_(target), recorder_(std::make_unique<Recorder>(dataDir)),
      questions_(std::make_unique<QuestionRecording>(*recorder_)) {
    // Emitted on the writer thread, which the window outlives (Stop joins
    // it): posted as an event like the device events.
    QObject::connect(
        recorder_.get(), &Recorder::ProblemFound, target_,
        [target = target_](const RecordProblem &problem) {
            QCoreApplication::postEvent(target, new RecordProblemEvent(problem));
        },
        Qt::DirectConnection);
}

LessonRecording::~LessonRecording() = default;

TabletEventRecord *LessonRecording::Start() {
    recorder_->Start();
    return recorder_.get();
}

void LessonRecording::QuestionTypeChosen(int type, const SlotTable &table) {
    questions_->QuestionTypeChosen(type, RecordedKey(type), table);
}

void LessonRecording::SetPlace(const QuestionPlace &place) {
    questions_->SetPlace(place);
}

void LessonRecording::AnswerStateChosen(int state, int type, const SlotTable &table,
                                        QSize inkSize) {
    switch (questions_->AnswerStateChosen(state, type, RecordedKey(type), table)) {
    case QuestionRecording::Pictures::Now:
        SavePictures(table, inkSize);
        break;
    case QuestionRecording::Pictures::AfterQueuedInk:
        // Behind every pen point posted under the old state.
        picturesPending_ = true;
        QCoreApplication::postEvent(target_, new QEvent(kInkPicturesEvent));
        break;
    case QuestionRecording::Pictures::None:
        break;
    }
}

std::optional<RecordProblem> LessonRecording::HandleEvent(const QEvent &event,
                                                          const SlotTable &table, QSize inkSize) {
    if (event.type() == kInkPicturesEvent) {
        if (picturesPending_) {
            SavePictures(table, inkSize);
        }
    } else if (const auto *told = dynamic_cast<const RecordProblemEvent *>(&event)) {
        return told->problem;
    }
    return std::nullopt;
}

void LessonRecording::ProgramEnds(int type, const SlotTable &table, QSize inkSize) {
    if (questions_->ProgramEnds(type, RecordedKey(type), table) !=
            QuestionRecording::Pictures::None ||
        picturesPending_) {
        SavePictures(table, inkSize);
    }
    recorder_->Stop();
}

void LessonRecording::SavePictures(const SlotTable &table, QSize inkSize) {
    picturesPending_ = false;
    recorder_->SaveInkPictures(table, inkSize);
}

} // namespace lumora
