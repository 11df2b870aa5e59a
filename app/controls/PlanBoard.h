// The band of a running question set, across the top of the view area: the
// question's place in its set ("2 / 12"), its text (wrapped) and picture
// (scaled to fit), which a key hides and shows again; the countdown in
// digits large enough for the back of the room (red in the last ten
// seconds); and the teacher's buttons: previous, repeat and next question,
// more time, pause, hidden answers, reveal, anonymous. Its sizes follow the
// view area's height; the grids below it give it the room.
#pragma once

#include "session/RandomPick.h"

#include <QPixmap>
#include <QWidget>

class QLabel;
class QToolButton;

namespace lumora {

class TPlanBoard : public QWidget {
    Q_OBJECT
public:
    explicit TPlanBoard(QWidget *parent);

    // The question on: its place, text and picture (null for none); an
    // empty place shows none.
    void ShowQuestion(const QString &place, const QString &text, const QPixmap &picture);
    // The question's text and picture shown or hidden (the countdown and
    // buttons stay).
    void SetQuestionShown(bool shown);
    bool QuestionShown() const { return questionShown_; }
    // The countdown's text ("1:05"), or empty for none; paused greys it.
    void ShowCountdown(const QString &text, bool lastSeconds, bool paused);
    // Whether the set's buttons show (a set is running).
    void ShowSetButtons(bool shown);
    // The two switches as they are: hidden answers, anonymous.
    void ShowSwitches(bool hidden, bool anonymous);
    // The switch under the countdown: a sound when it reaches zero.
    void ShowSound(bool on);
    void UpdateTexts();
    // Sized for a view area of that size, at its top.
    void FitTo(QSize area);
    QLabel *QuestionText() const { return text_; }
    QLabel *Countdown() const { return digits_; }

Q_SIGNALS:
    void PreviousClicked();
    void RepeatClicked();
    void NextClicked();
    void AddSecondsClicked(int seconds);
    void PauseClicked();
    void SoundToggled(bool on);
    void HideAnswersClicked();
    void RevealClicked();
    void AnonymousClicked();
    void PickClicked(lumora::PickAmong among);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ShowPicture();

    QLabel *place_ = nullptr;
    QLabel *text_ = nullptr;
    QLabel *picture_ = nullptr;
    QLabel *digits_ = nullptr;
    QToolButton *previous_ = nullptr;
    QToolButton *repeat_ = nullptr;
    QToolButton *next_ = nullptr;
    QToolButton *add30_ = nullptr;
    QToolButton *add60_ = nullptr;
    QToolButton *pause_ = nullptr;
    QToolButton *sound_ = nullptr;
    QToolButton *hide_ = nullptr;
    QToolButton *reveal_ = nullptr;
    QToolButton *anonymous_ = nullptr;
    QToolButton *pick_ = nullptr;
    QToolButton *pickAnswered_ = nullptr;
    QToolButton *pickWrong_ = nullptr;
    QPixmap pixmap_;
    bool paused_ = false;
    bool questionShown_ = true;
};

} // namespace lumora
