// UnModel: TFrmModle, the template of the program's small windows.
//
// A borderless dialog drawn from skin pictures: a 35-pixel title strip
// (imgTopL, imgTopC, imgTopR, btnClose, hidden btnMax and btnMin), a framed
// client panel pnlClient (imgLeft, imgRight1 at its sides) holding the OK
// button btn1 and the Cancel button btn2, and a 22-pixel bottom strip
// (imgBoLeft, imgCenter, imgRight). The frame follows the dialog's size; the
// corners are rounded by a window mask; the title strip drags the window.
//
// Results: exec() returns the modal results of SkinButton.h. The close
// button, Escape and closing the window end the dialog with mrCancel.
#ifndef LUMORA_CONFIG_UNMODEL_H
#define LUMORA_CONFIG_UNMODEL_H

#include <QColor>
#include <QDialog>
#include <QPoint>

class QLabel;

namespace lumora {

class TImageButton;

class TFrmModle : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTitleHeight = 35;
    static constexpr int kBottomHeight = 22;
    static constexpr int kEdgeWidth = 6;
    // Background of the client panel, RGB(227, 239, 247).
    static const QColor kClientColour;

    explicit TFrmModle(QWidget *parent = nullptr);

    // Ends the dialog with mrCancel (Escape, the window's close request).
    void reject() override;

protected:
    // Lays the strips, edges and client panel out over the current size.
    virtual void LayoutFrame();
    // Makes a widget of the title strip drag the window.
    void AddDragHandle(QWidget *handle);

    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QLabel *imgTopL;
    QLabel *imgTopC;
    QLabel *imgTopR;
    TImageButton *btnClose;
    TImageButton *btnMax;
    TImageButton *btnMin;
    QLabel *imgLeft;
    QLabel *imgRight1;
    QWidget *pnlClient;
    TImageButton *btn1;
    TImageButton *btn2;
    QLabel *imgBoLeft;
    QLabel *imgCenter;
    QLabel *imgRight;

private:
    bool m_dragging = false;
    QPoint m_dragOffset; // cursor position relative to the window's top-left
};

} // namespace lumora

#endif // LUMORA_CONFIG_UNMODEL_H
