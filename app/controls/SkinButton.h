// SkinButton: the skinned push buttons of Lumora's borderless windows.
//
// TBaseButton is a custom-drawn, focusable control with the behaviour of a
// push button: a repeat event while the left button is held, a modal result
// handed to its dialog, Enter for the default button and Escape for the
// cancel button. TImageButton adds four pictures, one per visible state.
#ifndef LUMORA_CONTROLS_SKINBUTTON_H
#define LUMORA_CONTROLS_SKINBUTTON_H

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QPainter;
class QShortcut;

namespace lumora {

// Modal results a button hands to its dialog; QDialog::exec() returns them.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

// The repeat timer of a held button. A period of 0 or less never ticks.
// Tests derive from it to drive ticks without waiting for the wall clock.
class TRepeatTimer : public QObject {
    Q_OBJECT
public:
    explicit TRepeatTimer(int periodMs, QObject *parent = nullptr);
    int Period() const { return m_period; }
    virtual void Start();
    virtual void Stop();
Q_SIGNALS:
    void Tick();

protected:
    const int m_period;

private:
    QTimer m_timer;
};

class TBaseButton : public QWidget {
    Q_OBJECT
public:
    explicit TBaseButton(QWidget *parent = nullptr);
    ~TBaseButton() override;

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool on) { m_cancel = on; }
    bool Default() const { return m_default; }
    void SetDefault(bool on);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }
    int MouseContinuouslyDownInterval() const { return m_repeatInterval; }
    void SetMouseContinuouslyDownInterval(int ms) { m_repeatInterval = ms; }
    int FocusedRectMargin() const { return m_focusMargin; }
    void SetFocusedRectMargin(int margin);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool on);

    // The flags of the visible state.
    bool IsPressed() const { return m_pressed; }
    bool IsMouseOver() const { return m_mouseOver; }
    bool IsDefaultActive() const { return m_defaultActive; }
    bool ColourKey() const { return m_colourKey; }
    // The repeat timer, or null while the left button is not held.
    TRepeatTimer *RepeatTimer() const { return m_repeat; }

    // The click of every path (mouse release over the button, Space or Enter
    // released, the dialog keys, the accelerator): releases the pressed state,
    // gives the dialog the modal result and raises OnClick. A modal dialog
    // whose result is not mrNone after OnClick closes with that result.
    void Click();

Q_SIGNALS:
    void OnClick();
    void OnMouseEnter();
    void OnMouseExit();
    void OnMouseContinuouslyDown();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    // The virtual operations, in slot order.
    virtual void AdjustToPicture() {}
    virtual void CaptionChanged() {}
    virtual void FontChanged();
    virtual void TransparentChanged();
    virtual void EnabledChanged() {}
    virtual void DrawFace(QPainter &canvas, const QPixmap &face);
    virtual void DrawCaption(QPainter &canvas, const QString &text);
    virtual void DrawFocusFrame(QPainter &canvas);
    virtual void LoadNormalFace(QPixmap &) {}
    virtual void LoadHotFace(QPixmap &) {}
    virtual void LoadDownFace(QPixmap &) {}
    virtual void LoadDisabledFace(QPixmap &) {}
    // Makes the repeat timer of a left press (a seam for tests).
    virtual TRepeatTimer *CreateRepeatTimer(int periodMs);

    // The face with its top-left pixel's colour made transparent.
    static QImage KeyedFace(const QPixmap &face);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FreeRepeatTimer();
    void WatchWindow();
    bool CanTakeFocus() const;

    bool m_autoSize = false;
    QString m_caption;
    bool m_cancel = false;
    bool m_default = false;
    bool m_transparent = false;
    int m_modalResult = mrNone;
    bool m_colourKey = false;
    TRepeatTimer *m_repeat = nullptr;
    int m_repeatInterval = 100;
    int m_focusMargin = 2;
    bool m_defaultActive = false;
    bool m_mouseOver = false;
    bool m_pressed = false;
    bool m_tabStop = true;
    QPointer<QWidget> m_window; // the window whose dialog keys the button watches
    QShortcut *m_accelerator = nullptr;
};

class TImageButton : public TBaseButton {
    Q_OBJECT
public:
    explicit TImageButton(QWidget *parent = nullptr);

    QPixmap PicNormal() const { return m_picNormal; }
    void SetPicNormal(const QPixmap &picture);
    QPixmap PicMouseOn() const { return m_picMouseOn; }
    void SetPicMouseOn(const QPixmap &picture);
    QPixmap PicMouseDown() const { return m_picMouseDown; }
    void SetPicMouseDown(const QPixmap &picture);
    QPixmap PicDisabled() const { return m_picDisabled; }
    void SetPicDisabled(const QPixmap &picture);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool on);
    bool DrawFocused() const { return m_drawFocused; }
    void SetDrawFocused(bool on);

protected:
    void AdjustToPicture() override;
    void DrawFace(QPainter &canvas, const QPixmap &face) override;
    void DrawFocusFrame(QPainter &canvas) override;
    void LoadNormalFace(QPixmap &face) override;
    void LoadHotFace(QPixmap &face) override;
    void LoadDownFace(QPixmap &face) override;
    void LoadDisabledFace(QPixmap &face) override;

private:
    void PictureChanged();

    QPixmap m_picNormal;
    QPixmap m_picMouseOn;
    QPixmap m_picMouseDown;
    QPixmap m_picDisabled;
    bool m_stretch = false;
    bool m_drawFocused = false;
};

// Gives a button the pictures NAME_normal, NAME_hot, NAME_down and
// NAME_disabled that exist (btnMin, btnClose, btnDialog, btnUsbState).
void SetSkinPictures(TImageButton *button, const QString &name);

} // namespace lumora

#endif // LUMORA_CONTROLS_SKINBUTTON_H
