#include "dialogs/UnModel.h"

#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"

#include <QBitmap>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace lumora {

const QColor TFrmModle::kClientColour{227, 239, 247};

namespace {

// A skin picture shown stretched over its widget.
QLabel *SkinImage(QWidget *parent, const char *objectName, const QString &picture) {
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setPixmap(SkinPicture(picture));
    label->setScaledContents(true);
    return label;
}

TImageButton *SkinButton(QWidget *parent, const char *objectName, const QString &pictures) {
    auto *button = new TImageButton(parent);
    button->setObjectName(QLatin1String(objectName));
    SetSkinPictures(button, pictures);
    button->SetAutoSize(true);
    button->SetTransparent(true);
    button->SetTabStop(false);
    return button;
}

// A 48 x 24 OK or Cancel button of the client panel.
TImageButton *DialogButton(QWidget *parent, const char *objectName, int left,
                           const QString &caption, int modalResult) {
    auto *button = new TImageButton(parent);
    button->setObjectName(QLatin1String(objectName));
    SetSkinPictures(button, QStringLiteral("btnDialog"));
    button->setGeometry(left, 104, 48, 24);
    button->SetCaption(caption);
    button->SetModalResult(modalResult);
    return button;
}

} // namespace

TFrmModle::TFrmModle(QWidget *parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFont(LumoraFont());

    imgTopL = SkinImage(this, "imgTopL", QStringLiteral("title_left"));
    imgTopC = SkinImage(this, "imgTopC", QStringLiteral("title_center"));
    imgTopR = SkinImage(this, "imgTopR", QStringLiteral("title_right"));
    for (QWidget *handle : {static_cast<QWidget *>(imgTopL), static_cast<QWidget *>(imgTopC),
                            static_cast<QWidget *>(imgTopR)})
        AddDragHandle(handle);

    btnClose = SkinButton(this, "btnClose", QStringLiteral("btnClose"));
    connect(btnClose, &TImageButton::OnClick, this, [this] { done(mrCancel); });
    btnMin = SkinButton(this, "btnMin", QStringLiteral("btnMin"));
    btnMin->hide();
    // No picture of its own: the template never offers maximising.
    btnMax = SkinButton(this, "btnMax", QStringLiteral("btnMax"));
    btnMax->resize(btnMin->size());
    btnMax->hide();
    btnMax->setEnabled(false);

    imgLeft = SkinImage(this, "imgLeft", QStringLiteral("edge_left"));
    imgRight1 = SkinImage(this, "imgRight1", QStringLiteral("edge_right"));
    pnlClient = new QWidget(this);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    pnlClient->setAutoFillBackground(true);
    QPalette clientPalette = pnlClient->palette();
    clientPalette.setColor(QPalette::Window, kClientColour);
    pnlClient->setPalette(clientPalette);

    btn1 = DialogButton(pnlClient, "btn1", 104, QStringLiteral("确定"), mrOk);
    btn1->SetDefault(true);
    btn2 = DialogButton(pnlClient, "btn2", 184, QStringLiteral("取消"), mrCancel);
    btn2->SetCancel(true);

    imgBoLeft = SkinImage(this, "imgBoLeft", QStringLiteral("bottom_left"));
    imgCenter = SkinImage(this, "imgCenter", QStringLiteral("bottom_center"));
    imgRight = SkinImage(this, "imgRight", QStringLiteral("bottom_right"));

    resize(321, 195);
    LayoutFrame();
}

void TFrmModle::reject() {
    done(mrCancel);
}

void TFrmModle::LayoutFrame() {
    const int w = width();
    const int h = height();
    const int middle = std::max(h - kTitleHeight - kBottomHeight, 0);

    imgTopL->setGeometry(0, 0, 46, kTitleHeight);
    imgTopR->setGeometry(w - 47, 0, 47, kTitleHeight);
    imgTopC->setGeometry(46, 0, std::max(w - 46 - 47, 0), kTitleHeight);
    btnClose->move(w - btnClose->width() - kEdgeWidth, (kTitleHeight - btnClose->height()) / 2);
    btnMax->move(btnClose->x() - btnMax->width(), btnClose->y());
    btnMin->move(btnMax->x() - btnMin->width(), btnClose->y());

    imgLeft->setGeometry(0, kTitleHeight, kEdgeWidth, middle);
    imgRight1->setGeometry(w - kEdgeWidth, kTitleHeight, kEdgeWidth, middle);
    pnlClient->setGeometry(kEdgeWidth, kTitleHeight, std::max(w - 2 * kEdgeWidth, 0), middle);

    const int bottom = h - kBottomHeight;
    imgBoLeft->setGeometry(0, bottom, kEdgeWidth, kBottomHeight);
    imgCenter->setGeometry(kEdgeWidth, bottom, std::max(w - 2 * kEdgeWidth, 0), kBottomHeight);
    imgRight->setGeometry(w - kEdgeWidth, bottom, kEdgeWidth, kBottomHeight);
}

void TFrmModle::AddDragHandle(QWidget *handle) {
    handle->installEventFilter(this);
}

void TFrmModle::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    LayoutFrame();
    if (isVisible())
        RoundWindow(this, 5, 5);
}

void TFrmModle::showEvent(QShowEvent *event) {
    RoundWindow(this, 5, 5);
    QDialog::showEvent(event);
}

bool TFrmModle::eventFilter(QObject *watched, QEvent *event) {
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        // The window system moves the window where it can (it also keeps the
        // window on screen); elsewhere the strip moves it by hand.
        if (windowHandle() && windowHandle()->startSystemMove())
            return true;
        m_dragging = true;
        m_dragOffset = mouse->globalPosition().toPoint() - pos();
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragging && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lumora
