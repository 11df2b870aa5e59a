// The board of a running question set, at the top right of the view area:
// the countdown in digits large enough for the back of the room (red in the
// last ten seconds), and the teacher's buttons: previous, repeat and next
// question of the set, more time, pause or resume. Its size follows the
// view area's height.
#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace lumora {

class TPlanBoard : public QWidget {
    Q_OBJECT
public:
    explicit TPlanBoard(QWidget *parent);

    // The countdown's text ("1:05"), or empty for none; paused greys it.
    void ShowCountdown(const QString &text, bool lastSeconds, bool paused);
    // Whether the set's buttons show (a set is running).
    void ShowSetButtons(bool shown);
    // The two switches as they are: hidden answers, anonymous.
    void ShowSwitches(bool hidden, bool anonymous);
    void UpdateTexts();
    // Sized and placed for a view area of that size.
    void FitTo(QSize area);

Q_SIGNALS:
    void PreviousClicked();
    void RepeatClicked();
    void NextClicked();
    void AddSecondsClicked(int seconds);
    void PauseClicked();
    void HideAnswersClicked();
    void RevealClicked();
    void AnonymousClicked();

private:
    QLabel *digits_ = nullptr;
    QToolButton *previous_ = nullptr;
    QToolButton *repeat_ = nullptr;
    QToolButton *next_ = nullptr;
    QToolButton *add30_ = nullptr;
    QToolButton *add60_ = nullptr;
    QToolButton *pause_ = nullptr;
    QToolButton *hide_ = nullptr;
    QToolButton *reveal_ = nullptr;
    QToolButton *anonymous_ = nullptr;
    bool paused_ = false;
};

} // namespace lumora
