// Which answer-state changes make a recorded question. A question begins when
// it goes in progress and ends when answering ends; going back to not
// started (which wipes the answers and the ink) and the end of the program
// end a question still in progress, so nothing the class did is lost.
// Ended straight from not started, it begins and ends at once. Under way
// again after the end (the answers not cleared), the same question goes on.
#pragma once

#include "record/Recorder.h"

namespace lumora {

class QuestionRecording {
public:
    explicit QuestionRecording(Recorder &recorder) : recorder_(recorder) {}

    // When the ink pictures of an ended subjective question are to be taken.
    enum class Pictures {
        None,
        Now,            // before anything wipes the panes
        AfterQueuedInk, // once the pen points already handed over are drawn
    };

    // The answer state chosen, with the question's type and key as they are.
    Pictures AnswerStateChosen(int state, int questionType, const QString &answerKey,
                               const SlotTable &table);
    // A type chosen while answering is under way starts the question that
    // had none.
    void QuestionTypeChosen(int questionType, const QString &answerKey, const SlotTable &table);
    // The program ends.
    Pictures ProgramEnds(int questionType, const QString &answerKey, const SlotTable &table);

    bool QuestionOpen() const { return open_; }
    // The place of the questions that start from now on (none: a question
    // set up by hand); its time limit also goes to the question under way.
    void SetPlace(const QuestionPlace &place) { place_ = place; }

private:
    void End(int questionType, const QString &answerKey, const SlotTable &table);

    Recorder &recorder_;
    QuestionPlace place_;
    bool open_ = false;
    bool ended_ = false; // the last question ended and may go on
    int state_ = -1;
};

} // namespace lumora
