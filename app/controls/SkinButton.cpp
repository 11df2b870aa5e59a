#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"

#include <QDialog>
#include <QEnterEvent>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include <algorithm>

// The resource of a static library is registered by name, outside any namespace.

namespace lumora {

// ---- TRepeatTimer -------------------------------------------------------------

TRepeatTimer::TRepeatTimer(int periodMs, QObject *parent)
    : QObject(parent), m_period(std::max(periodMs, 0)) {
    connect(&m_timer, &QTimer::timeout, this, &TRepeatTimer::Tick);
}

void TRepeatTimer::Start() {
    // A QTimer of period 0 would fire at every pass of the event loop; the
    // repeat timer of period 0 never ticks.
    if (m_period > 0)
        m_timer.start(m_period);
}

void TRepeatTimer::Stop() {
    m_timer.stop();
}

// ---- TBaseButton ----------------------------------------------------------------

TBaseButton::TBaseButton(QWidget *parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // The whole face is composed off screen and copied in one step; nothing
    // erases the background first.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAttribute(Qt::WA_NoSystemBackground, true);
    setAttribute(Qt::WA_Hover, false);
    WatchWindow();
}

TBaseButton::~TBaseButton() {
    if (m_window)
        m_window->removeEventFilter(this);
}

void TBaseButton::SetAutoSize(bool on) {
    m_autoSize = on;
    AdjustToPicture();
    update();
}

void TBaseButton::SetCaption(const QString &caption) {
    m_caption = caption;
    setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    // The accelerator: the character after '&' clicks the button (Alt+char).
    delete m_accelerator;
    m_accelerator = nullptr;
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    if (!mnemonic.isEmpty()) {
        m_accelerator = new QShortcut(mnemonic, this);
        connect(m_accelerator, &QShortcut::activated, this, [this] {
            if (isEnabled())
                Click();
        });
        connect(m_accelerator, &QShortcut::activatedAmbiguously, this, [this] {
            if (isEnabled())
                Click();
        });
    }
    CaptionChanged();
    update();
}

void TBaseButton::SetDefault(bool on) {
    m_default = on;
    // The window re-evaluates its default button: here each button keeps its
    // own flag, which follows Default.
    m_defaultActive = on;
    update();
}

void TBaseButton::SetTransparent(bool on) {
    m_transparent = on;
    TransparentChanged();
    update();
}

void TBaseButton::SetFocusedRectMargin(int margin) {
    m_focusMargin = margin;
    update();
}

void TBaseButton::SetTabStop(bool on) {
    m_tabStop = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void TBaseButton::FontChanged() {
    update();
}

void TBaseButton::TransparentChanged() {
    m_colourKey = m_transparent;
    // A transparent button lets Qt compose its parent beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent, !m_transparent);
    setAttribute(Qt::WA_NoSystemBackground, !m_transparent);
    update();
}

TRepeatTimer *TBaseButton::CreateRepeatTimer(int periodMs) {
    return new TRepeatTimer(periodMs, this);
}

void TBaseButton::FreeRepeatTimer() {
    if (!m_repeat)
        return;
    m_repeat->Stop();
    m_repeat->disconnect(this);
    m_repeat->deleteLater(); // may be freed from inside its own tick
    m_repeat = nullptr;
}

bool TBaseButton::CanTakeFocus() const {
    return isVisible() && isEnabled();
}

void TBaseButton::Click() {
    if (m_pressed) {
        FreeRepeatTimer();
        m_pressed = false;
        update();
    }
    QPointer<QDialog> dialog = qobject_cast<QDialog *>(window());
    if (dialog && dialog.data() != static_cast<QWidget *>(this))
        dialog->setResult(m_modalResult);
    else
        dialog = nullptr;
    Q_EMIT OnClick();
    // As a modal loop does: a result other than mrNone closes the dialog.
    if (dialog && dialog->isModal() && dialog->isVisible() && dialog->result() != mrNone)
        dialog->done(dialog->result());
}

// ---- painting ---------------------------------------------------------------------

QImage TBaseButton::KeyedFace(const QPixmap &face) {
    QImage image = face.toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const QRgb key = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] == key)
                row[x] = 0;
    }
    return image;
}

void TBaseButton::DrawFace(QPainter &canvas, const QPixmap &face) {
    if (face.isNull())
        return;
    QImage image =
        m_colourKey ? KeyedFace(face) : face.toImage().convertToFormat(QImage::Format_ARGB32);
    if (!isEnabled()) {
        // greyed: the face's luminance, lightened towards white
        for (int y = 0; y < image.height(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int g = (qGray(row[x]) + 255) / 2;
                row[x] = qRgba(g, g, g, qAlpha(row[x]));
            }
        }
    }
    image.setDevicePixelRatio(face.devicePixelRatio());
    canvas.drawImage(QPoint(0, 0), image);
}

void TBaseButton::DrawCaption(QPainter &canvas, const QString &text) {
    canvas.setBrush(Qt::NoBrush);
    canvas.setFont(font());
    QRect client = rect();
    if (m_pressed)
        client.translate(1, 1);
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic;
    QRect measured = canvas.boundingRect(client, flags | Qt::AlignLeft | Qt::AlignTop, text);
    measured.moveTo(client.left() + (client.width() - measured.width()) / 2,
                    client.top() + (client.height() - measured.height()) / 2);
    if (!isEnabled()) {
        canvas.setPen(QColor(255, 255, 255));
        canvas.drawText(measured.translated(1, 1), flags | Qt::AlignCenter, text);
        canvas.setPen(QColor(0x80, 0x80, 0x80));
        canvas.drawText(measured, flags | Qt::AlignCenter, text);
    } else {
        canvas.setPen(palette().color(QPalette::ButtonText));
        canvas.drawText(measured, flags | Qt::AlignCenter, text);
    }
}

void TBaseButton::DrawFocusFrame(QPainter &canvas) {
    QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
    canvas.setPen(pen);
    canvas.setBrush(Qt::NoBrush);
    const int m = m_focusMargin;
    canvas.drawRect(QRect(m, m, width() - 2 * m - 1, height() - 2 * m - 1));
}

void TBaseButton::paintEvent(QPaintEvent *) {
    // 1. the face of the state: disabled, else pressed, else hot, else normal
    QPixmap face;
    if (!isEnabled())
        LoadDisabledFace(face);
    else if (m_pressed)
        LoadDownFace(face);
    else if (m_mouseOver)
        LoadHotFace(face);
    else
        LoadNormalFace(face);
    // 3. the buffer of the button's size, at the screen's pixel ratio
    const qreal dpr = devicePixelRatioF();
    QPixmap buffer(size() * dpr);
    buffer.setDevicePixelRatio(dpr);
    // 4. background: the parent shows through a transparent button
    if (m_transparent && parentWidget())
        buffer.fill(Qt::transparent);
    else
        buffer.fill(palette().color(backgroundRole()));
    QPainter canvas(&buffer);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    // 5. - 8.
    DrawFace(canvas, face);
    if (hasFocus() && m_tabStop)
        DrawFocusFrame(canvas);
    canvas.setFont(font());
    if (!m_caption.trimmed().isEmpty())
        DrawCaption(canvas, m_caption);
    canvas.end();
    // 9. one copy to the screen
    QPainter screen(this);
    if (m_transparent)
        screen.setCompositionMode(QPainter::CompositionMode_SourceOver);
    screen.drawPixmap(0, 0, buffer);
}

// ---- mouse ------------------------------------------------------------------------

void TBaseButton::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        if (!m_repeat) {
            m_repeat = CreateRepeatTimer(std::max(m_repeatInterval, 0));
            connect(m_repeat, &TRepeatTimer::Tick, this, &TBaseButton::OnMouseContinuouslyDown);
            m_repeat->Start();
        }
        if (m_tabStop && CanTakeFocus())
            setFocus(Qt::MouseFocusReason);
        update();
    }
    const QPoint pos = event->position().toPoint();
    Q_EMIT OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
}

void TBaseButton::mouseDoubleClickEvent(QMouseEvent *event) {
    // No double clicks: the second press of a double click is a press.
    mousePressEvent(event);
}

void TBaseButton::mouseMoveEvent(QMouseEvent *event) {
    const QPoint p = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) &&
        (p.x() < 0 || p.y() < 0 || p.x() > width() || p.y() > height())) {
        if (m_mouseOver || m_pressed) {
            m_mouseOver = false;
            m_pressed = false;
            update();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TBaseButton::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (rect().contains(event->position().toPoint())) {
        Click();
    } else {
        // Released away from the button: no click, and no more repeats.
        FreeRepeatTimer();
        if (m_pressed) {
            m_pressed = false;
            update();
        }
    }
}

void TBaseButton::enterEvent(QEnterEvent *event) {
    m_mouseOver = true;
    update();
    Q_EMIT OnMouseEnter();
    QWidget::enterEvent(event);
}

void TBaseButton::leaveEvent(QEvent *event) {
    m_mouseOver = false;
    m_pressed = false;
    FreeRepeatTimer();
    update();
    Q_EMIT OnMouseExit();
    QWidget::leaveEvent(event);
}

// ---- keyboard ---------------------------------------------------------------------

static bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void TBaseButton::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Space || IsEnterKey(event->key())) && isEnabled()) {
        if (!m_pressed) {
            m_pressed = true;
            update();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TBaseButton::keyReleaseEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Space || IsEnterKey(event->key())) && !event->isAutoRepeat()) {
        if (m_pressed && isEnabled()) {
            m_pressed = false;
            update();
            Click();
        }
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TBaseButton::focusInEvent(QFocusEvent *event) {
    m_defaultActive = m_default;
    update();
    QWidget::focusInEvent(event);
}

void TBaseButton::focusOutEvent(QFocusEvent *event) {
    m_defaultActive = m_default;
    update();
    QWidget::focusOutEvent(event);
}

void TBaseButton::changeEvent(QEvent *event) {
    if (event->type() == QEvent::EnabledChange) {
        EnabledChanged();
        update();
    } else if (event->type() == QEvent::FontChange) {
        FontChanged();
    }
    QWidget::changeEvent(event);
}

bool TBaseButton::event(QEvent *event) {
    if (event->type() == QEvent::ParentChange) {
        WatchWindow();
        AdjustToPicture();
    }
    return QWidget::event(event);
}

void TBaseButton::WatchWindow() {
    // The dialog keys reach the window when the focused control leaves them
    // unhandled (a line edit does so with Enter); the button watches there.
    QWidget *w = window();
    if (w == this)
        w = nullptr;
    if (m_window == w)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = w;
    if (m_window)
        m_window->installEventFilter(this);
}

bool TBaseButton::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_window && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool plain =
            !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
        const bool enter = IsEnterKey(key->key()) && m_defaultActive;
        const bool escape = key->key() == Qt::Key_Escape && m_cancel;
        if (plain && (enter || escape) && CanTakeFocus()) {
            Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- TImageButton -----------------------------------------------------------------

TImageButton::TImageButton(QWidget *parent) : TBaseButton(parent) {}

void TImageButton::PictureChanged() {
    AdjustToPicture();
    update();
}

void TImageButton::SetPicNormal(const QPixmap &picture) {
    m_picNormal = picture;
    PictureChanged();
}

void TImageButton::SetPicMouseOn(const QPixmap &picture) {
    m_picMouseOn = picture;
    PictureChanged();
}

void TImageButton::SetPicMouseDown(const QPixmap &picture) {
    m_picMouseDown = picture;
    PictureChanged();
}

void TImageButton::SetPicDisabled(const QPixmap &picture) {
    m_picDisabled = picture;
    PictureChanged();
}

void TImageButton::SetStretch(bool on) {
    m_stretch = on;
    update();
}

void TImageButton::SetDrawFocused(bool on) {
    m_drawFocused = on;
    update();
}

void TImageButton::AdjustToPicture() {
    if (AutoSize() && parentWidget() && !m_picNormal.isNull())
        resize(m_picNormal.deviceIndependentSize().toSize());
}

void TImageButton::DrawFace(QPainter &canvas, const QPixmap &face) {
    if (face.isNull() || face.width() == 0 || face.height() == 0)
        return;
    QImage image = ColourKey() ? KeyedFace(face) : face.toImage();
    image.setDevicePixelRatio(face.devicePixelRatio());
    if (Stretch())
        canvas.drawImage(QRect(0, 0, width(), height()), image);
    else
        canvas.drawImage(QPoint(0, 0), image);
}

void TImageButton::DrawFocusFrame(QPainter &canvas) {
    if (m_drawFocused)
        TBaseButton::DrawFocusFrame(canvas);
}

void TImageButton::LoadNormalFace(QPixmap &face) {
    if (!m_picNormal.isNull())
        face = m_picNormal;
}

void TImageButton::LoadHotFace(QPixmap &face) {
    face = m_picMouseOn.isNull() ? m_picNormal : m_picMouseOn;
}

void TImageButton::LoadDownFace(QPixmap &face) {
    face = m_picMouseDown.isNull() ? m_picNormal : m_picMouseDown;
}

void TImageButton::LoadDisabledFace(QPixmap &face) {
    face = m_picDisabled.isNull() ? m_picNormal : m_picDisabled;
}

// ---- the program's pictures ---------------------------------------------------------

void SetSkinPictures(TImageButton *button, const QString &name) {
    if (!button)
        return;
    const QPixmap normal = SkinPicture(name + QStringLiteral("_normal"));
    const QPixmap hot = SkinPicture(name + QStringLiteral("_hot"));
    const QPixmap down = SkinPicture(name + QStringLiteral("_down"));
    const QPixmap disabled = SkinPicture(name + QStringLiteral("_disabled"));
    button->SetPicNormal(normal);
    button->SetPicMouseOn(hot);
    button->SetPicMouseDown(down);
    button->SetPicDisabled(disabled);
}

} // namespace lumora
