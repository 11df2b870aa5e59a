// The main window and its lesson record: the recorder's life from start-up
// to shutdown, the recorded questions as the answer state and the question
// type change, the ink pictures of a subjective question, the history view.
#include "Main.h"

#include "views/GroupBar.h"
#include "views/HistoryView.h"
#include "dialogs/UnSetName.h"
#include "core/Helpers.h"
#include "controls/Stdpanel.h"
#include "record/QuestionRecording.h"
#include "record/RecordProblem.h"
#include "record/Recorder.h"

#include <QCoreApplication>

namespace lumora {

namespace {

// A problem of the record on its way from the writer thread to the window.
class RecordProblemEvent : public QEvent {
public:
    explicit RecordProblemEvent(const RecordProblem &problem)
        : QEvent(TFrmMain::kRecordProblemEvent), problem(problem) {}
    const RecordProblem problem;
};

} // namespace

void TFrmMain::CreateRecord() {
    recorder_ = std::make_unique<Recorder>(dataDir_);
    questions_ = std::make_unique<QuestionRecording>(*recorder_);
    // Emitted on the writer thread, which the window outlives (Stop joins
    // it): posted as an event like the device events.
    connect(
        recorder_.get(), &Recorder::ProblemFound, this,
        [this](const RecordProblem &problem) {
            QCoreApplication::postEvent(this, new RecordProblemEvent(problem));
        },
        Qt::DirectConnection);
}

void TFrmMain::RecordEvent(QEvent *event) {
    if (event->type() == kInkPicturesEvent) {
        if (picturesPending_ && !destroyed_) {
            SaveInkPictures();
        }
    } else if (const auto *told = dynamic_cast<RecordProblemEvent *>(event)) {
        // Told once; the lesson goes on with or without its record.
        ShowPrompt(RecordProblemTitle(), RecordProblemText(told->problem), false);
    }
}

void TFrmMain::StartRecord() {
    recorder_->Start();
    bridge_.SetRecord(recorder_.get());
}

void TFrmMain::EndRecord() {
    // After the library stopped: a question still under way ends with the
    // program; pictures waiting for their ink are taken from what was drawn.
    const int type = session_.CurrentQuestionType.load();
    if (questions_->ProgramEnds(type, RecordedKey(), table_) != QuestionRecording::Pictures::None ||
        picturesPending_) {
        SaveInkPictures();
    }
    recorder_->Stop();
}

void TFrmMain::RecordQuestionType(int type) {
    questions_->QuestionTypeChosen(type, RecordedKey(), table_);
}

void TFrmMain::RecordAnswerState(int state) {
    if (state == kAnswerEnded) {
        // No handler that read the old state is still inside: its answer is
        // in the table, its pen points are posted.
        bridge_.Settle();
    }
    const int type = session_.CurrentQuestionType.load();
    switch (questions_->AnswerStateChosen(state, type, RecordedKey(), table_)) {
    case QuestionRecording::Pictures::Now:
        SaveInkPictures();
        break;
    case QuestionRecording::Pictures::AfterQueuedInk:
        // Behind every pen point posted under the old state.
        picturesPending_ = true;
        QCoreApplication::postEvent(this, new QEvent(kInkPicturesEvent));
        break;
    case QuestionRecording::Pictures::None:
        break;
    }
}

void TFrmMain::SaveInkPictures() {
    picturesPending_ = false;
    recorder_->SaveInkPictures(table_, QSize(InkWidth, InkHeight));
}

QString TFrmMain::RecordedKey() const {
    // A subjective question has no key (AnswerKey keeps the last choice's).
    return session_.CurrentQuestionType.load() == kQuestionSubjective ? QString() : AnswerKey;
}

void TFrmMain::OpenHistory() {
    HideViews();
    ShowStudentList(false);
    pnlRz_->Mark(Item(QStringLiteral("LessonHistory")));
    pnlHistory_->show();
    pnlHistory_->raise();
    pnlHistory_->Reload();
}

} // namespace lumora
