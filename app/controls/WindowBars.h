// The main window's frame: the title bar (skin strip, title, minimise and
// close buttons) and the bottom bar (the answer key, the answer progress,
// the clock and the receiver indicator).
#pragma once

#include "controls/WidgetHelpers.h"

#include <QString>

class QLabel;

namespace lumora {

class TImageButton;

class TTitleBar : public TSkinStrip {
    Q_OBJECT
public:
    explicit TTitleBar(QWidget *parent = nullptr);
    void SetTitle(const QString &title);
    void SetCloseTip(const QString &tip);

Q_SIGNALS:
    void MinimiseClicked();
    void CloseClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *title_ = nullptr;
    TImageButton *min_ = nullptr;
    TImageButton *close_ = nullptr;
};

class TBottomBar : public TSkinStrip {
    Q_OBJECT
public:
    explicit TBottomBar(QWidget *parent = nullptr);
    // The answer key of the choice question; an empty text hides it.
    void ShowAnswerKey(const QString &text);
    // The answer progress; an empty text hides it.
    void ShowProgress(const QString &text);
    void ShowTime(const QString &text);
    // The question of a running set: "3 / 12" and its text; empty hides it.
    void ShowPlan(const QString &counter, const QString &text);
    // The receiver indicator: present (idle or receiving) or lost.
    void SetReceiverPresent(bool present);

private:
    QLabel *answerKey_ = nullptr;
    QLabel *progress_ = nullptr;
    QLabel *time_ = nullptr;
    QLabel *plan_ = nullptr;
    TImageButton *receiver_ = nullptr;
};

// A picture button on a skin strip, which shows through around its picture.
TImageButton *StripButton(const QString &name, QSize size, QWidget *strip);

} // namespace lumora
