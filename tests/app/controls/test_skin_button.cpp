// TBaseButton and TImageButton under the offscreen platform.
#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace lumora {
namespace {

// A repeat timer driven by the test instead of the wall clock.
class FakeRepeatTimer : public TRepeatTimer {
public:
    using TRepeatTimer::TRepeatTimer;
    void Start() override { running = true; }
    void Stop() override { running = false; }
    void Advance(int ms) {
        if (!running || m_period <= 0)
            return;
        elapsed += ms;
        while (elapsed >= m_period) {
            elapsed -= m_period;
            Q_EMIT Tick();
        }
    }
    bool running = false;
    int elapsed = 0;
};

class TestButton : public TImageButton {
public:
    using TImageButton::TImageButton;
    FakeRepeatTimer *lastTimer = nullptr;
    int timersMade = 0;

protected:
    TRepeatTimer *CreateRepeatTimer(int periodMs) override {
        ++timersMade;
        lastTimer = new FakeRepeatTimer(periodMs, this);
        return lastTimer;
    }
};

QPixmap Solid(int w, int h, const QColor &c) {
    QPixmap p(w, h);
    p.fill(c);
    return p;
}

QColor CentreColour(QWidget *w) {
    return QColor(w->grab().toImage().pixel(w->width() / 2, w->height() / 2));
}

void Enter(QWidget *w) {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(w, &e);
}

void Leave(QWidget *w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

struct ButtonFixture : ::testing::Test {
    QWidget parent;
    TestButton *button = new TestButton(&parent);
    int clicks = 0;
    int repeats = 0;
    std::vector<char> order;
    void SetUp() override {
        parent.resize(200, 100);
        button->setGeometry(10, 10, 40, 20);
        QObject::connect(button, &TBaseButton::OnClick, [this] {
            ++clicks;
            order.push_back('c');
        });
        QObject::connect(button, &TBaseButton::OnMouseContinuouslyDown, [this] {
            ++repeats;
            order.push_back('r');
        });
    }
    void FourPictures() {
        button->SetPicNormal(Solid(40, 20, Qt::red));
        button->SetPicMouseOn(Solid(40, 20, Qt::green));
        button->SetPicMouseDown(Solid(40, 20, Qt::blue));
        button->SetPicDisabled(Solid(40, 20, Qt::gray));
    }
};

TEST_F(ButtonFixture, Defaults) {
    EXPECT_FALSE(button->AutoSize());
    EXPECT_TRUE(button->Caption().isEmpty());
    EXPECT_FALSE(button->Cancel());
    EXPECT_FALSE(button->Default());
    EXPECT_FALSE(button->Transparent());
    EXPECT_EQ(button->ModalResult(), 0);
    EXPECT_EQ(button->MouseContinuouslyDownInterval(), 100);
    EXPECT_EQ(button->FocusedRectMargin(), 2);
    EXPECT_TRUE(button->TabStop());
    EXPECT_FALSE(button->Stretch());
    EXPECT_FALSE(button->DrawFocused());
    EXPECT_EQ(button->RepeatTimer(), nullptr);
}

TEST_F(ButtonFixture, StatePictures) {
    FourPictures();
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    Enter(button);
    EXPECT_TRUE(button->IsMouseOver());
    EXPECT_EQ(CentreColour(button), QColor(Qt::green));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(CentreColour(button), QColor(Qt::blue));
    button->setEnabled(false); // disabled wins over pressed
    EXPECT_EQ(CentreColour(button), QColor(Qt::gray));
    button->setEnabled(true);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(CentreColour(button), QColor(Qt::green));
    Leave(button);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
}

TEST_F(ButtonFixture, OnlyTheNormalPictureServesEveryState) {
    button->SetPicNormal(Solid(40, 20, Qt::red));
    Enter(button);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    button->setEnabled(false);
    EXPECT_EQ(CentreColour(button), QColor(Qt::red)); // not greyed: PicNormal as it is
}

TEST_F(ButtonFixture, WithoutPicturesOnlyTheBackground) {
    QPalette pal = button->palette();
    pal.setColor(QPalette::Window, QColor(1, 2, 3));
    button->setPalette(pal);
    EXPECT_EQ(CentreColour(button), QColor(1, 2, 3));
}

TEST_F(ButtonFixture, AutoSizeFromTheNormalPicture) {
    button->SetAutoSize(true);
    button->SetPicNormal(Solid(43, 18, Qt::red));
    EXPECT_EQ(button->size(), QSize(43, 18));
    button->SetPicMouseOn(Solid(60, 30, Qt::green));
    button->SetPicMouseDown(Solid(10, 10, Qt::blue));
    EXPECT_EQ(button->size(), QSize(43, 18));
    // without a parent nothing is sized
    TImageButton orphan;
    orphan.resize(5, 5);
    orphan.SetAutoSize(true);
    orphan.SetPicNormal(Solid(43, 18, Qt::red));
    EXPECT_EQ(orphan.size(), QSize(5, 5));
}

TEST_F(ButtonFixture, StretchDrawsTheFaceOverTheWholeButton) {
    QPixmap face(4, 4);
    face.fill(Qt::red);
    button->SetPicNormal(face);
    QPalette pal = button->palette();
    pal.setColor(QPalette::Window, Qt::white);
    button->setPalette(pal);
    EXPECT_EQ(QColor(button->grab().toImage().pixel(30, 15)), QColor(Qt::white));
    button->SetStretch(true);
    EXPECT_EQ(QColor(button->grab().toImage().pixel(30, 15)), QColor(Qt::red));
}

TEST_F(ButtonFixture, HeldPressRepeatsEveryPeriodBeforeTheClick) {
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_NE(button->lastTimer, nullptr);
    EXPECT_EQ(button->RepeatTimer(), button->lastTimer);
    EXPECT_EQ(button->lastTimer->Period(), 100);
    button->lastTimer->Advance(350); // held for 350 ms
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(repeats, 3);
    EXPECT_EQ(order, (std::vector<char>{'r', 'r', 'r', 'c'}));
    EXPECT_EQ(button->RepeatTimer(), nullptr);
}

TEST_F(ButtonFixture, IntervalZeroOrNegativeNeverTicks) {
    for (int interval : {0, -5}) {
        button->SetMouseContinuouslyDownInterval(interval);
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        ASSERT_NE(button->lastTimer, nullptr);
        EXPECT_EQ(button->lastTimer->Period(), 0);
        button->lastTimer->Advance(10000);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    }
    EXPECT_EQ(repeats, 0);
    EXPECT_EQ(clicks, 2);
}

TEST(RepeatTimer, RealTimerOfPeriodZeroNeverTicks) {
    TRepeatTimer timer(0);
    int ticks = 0;
    QObject::connect(&timer, &TRepeatTimer::Tick, [&] { ++ticks; });
    timer.Start();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
    TRepeatTimer negative(-3);
    EXPECT_EQ(negative.Period(), 0);
}

TEST_F(ButtonFixture, LeavingFreesTheRepeatTimer) {
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_NE(button->RepeatTimer(), nullptr);
    Leave(button);
    EXPECT_EQ(button->RepeatTimer(), nullptr);
    EXPECT_FALSE(button->IsPressed());
}

TEST_F(ButtonFixture, MovingOutWhileHeldReleasesWithoutClick) {
    FourPictures();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 5), QPointF(60, 5), QPointF(60, 5),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_NE(button->RepeatTimer(), nullptr); // runs on until the mouse leaves
    EXPECT_EQ(CentreColour(button), QColor(Qt::red));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(60, 5));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonFixture, DoubleClickIsTwoPresses) {
    int downs = 0;
    QObject::connect(button, &TBaseButton::OnMouseDown,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++downs; });
    // a double click arrives as press, release, double-click, release
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonFixture, SpaceAndEnterPressAndRelease) {
    parent.show();
    button->setFocus();
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_TRUE(button->IsPressed());
    EXPECT_EQ(clicks, 0);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
    button->setEnabled(false);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
}

struct DialogKeys : ::testing::Test {
    QDialog dialog;
    QLineEdit *edit = new QLineEdit(&dialog);
    TImageButton *ok = new TImageButton(&dialog);
    TImageButton *cancel = new TImageButton(&dialog);
    int oks = 0, cancels = 0;
    void SetUp() override {
        dialog.resize(200, 100);
        edit->setGeometry(5, 5, 100, 20);
        ok->setGeometry(10, 50, 48, 24);
        cancel->setGeometry(80, 50, 48, 24);
        ok->SetDefault(true);
        cancel->SetCancel(true);
        QObject::connect(ok, &TBaseButton::OnClick, [this] { ++oks; });
        QObject::connect(cancel, &TBaseButton::OnClick, [this] { ++cancels; });
        dialog.show();
        edit->setFocus();
    }
};

TEST_F(DialogKeys, EnterClicksTheDefaultButton) {
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(oks, 1);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(oks, 2);
    EXPECT_EQ(cancels, 0);
}

TEST_F(DialogKeys, EnterWithCtrlShiftOrAltDoesNotClick) {
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(oks, 0);
}

TEST_F(DialogKeys, EscapeClicksTheCancelButton) {
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(oks, 0);
    QTest::keyClick(edit, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_EQ(cancels, 1);
}

TEST_F(DialogKeys, AButtonThatCannotTakeTheFocusIgnoresTheKeys) {
    ok->setEnabled(false);
    cancel->hide();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(oks, 0);
}

TEST_F(DialogKeys, NoDefaultNoEnter) {
    ok->SetDefault(false);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(oks, 0);
}

TEST(ModalResult, ModalDialogReturnsTheButtonsResult) {
    QDialog dialog;
    auto *ok = new TImageButton(&dialog);
    ok->SetModalResult(mrOk);
    QTimer::singleShot(0, ok, [ok] { ok->Click(); });
    EXPECT_EQ(dialog.exec(), 1);

    auto *cancel = new TImageButton(&dialog);
    cancel->SetModalResult(mrCancel);
    QTimer::singleShot(0, cancel, [cancel] { cancel->Click(); });
    EXPECT_EQ(dialog.exec(), 2);
}

TEST(ModalResult, ResultZeroIsWrittenAndKeepsTheDialogOpen) {
    QDialog dialog;
    auto *plain = new TImageButton(&dialog);
    auto *ok = new TImageButton(&dialog);
    ok->SetModalResult(mrOk);
    bool wasOpen = false;
    int resultAfterPlain = -1;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.setResult(7);
        plain->Click();
        resultAfterPlain = dialog.result();
        wasOpen = dialog.isVisible();
        ok->Click();
    });
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_EQ(resultAfterPlain, 0);
    EXPECT_TRUE(wasOpen);
}

TEST(ModalResult, OnClickRunsBeforeTheDialogCloses) {
    QDialog dialog;
    auto *ok = new TImageButton(&dialog);
    ok->SetModalResult(mrOk);
    bool visibleInHandler = false;
    QObject::connect(ok, &TBaseButton::OnClick, [&] { visibleInHandler = dialog.isVisible(); });
    QTimer::singleShot(0, ok, [ok] { ok->Click(); });
    EXPECT_EQ(dialog.exec(), 1);
    EXPECT_TRUE(visibleInHandler);
}

TEST(ModalResult, EscapeOnAModalDialogReturnsCancel) {
    QDialog dialog;
    auto *edit = new QLineEdit(&dialog);
    auto *cancel = new TImageButton(&dialog);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    QTimer::singleShot(0, edit, [edit] {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.exec(), 2);
}

TEST(Accelerator, AltAndTheMarkedCharacterClicks) {
    QDialog dialog;
    auto *edit = new QLineEdit(&dialog);
    auto *save = new TImageButton(&dialog);
    save->setGeometry(0, 40, 60, 24);
    save->SetCaption(QStringLiteral("&Save"));
    int clicks = 0;
    QObject::connect(save, &TBaseButton::OnClick, [&] { ++clicks; });
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    save->setEnabled(false);
    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonFixture, DisabledCaptionIsWhiteThenGrey) {
    button->resize(60, 24);
    button->SetPicNormal(Solid(60, 24, Qt::black));
    QPalette pal = button->palette();
    pal.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(pal);
    button->SetCaption(QStringLiteral("HH"));
    auto greys = [](const QImage &img, int lo, int hi) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                n +=
                    qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) >= lo && qRed(p) <= hi;
            }
        return n;
    };
    const QImage enabled = button->grab().toImage();
    EXPECT_EQ(greys(enabled, 1, 255), 0); // black on black
    button->setEnabled(false);
    const QImage disabled = button->grab().toImage();
    // grey strokes (anti-aliased around 0x80) and the white copy beside them
    EXPECT_GT(greys(disabled, 0x70, 0x90), 5);
    EXPECT_GT(greys(disabled, 0xC0, 0xFF), 3);
    // the white copy lies 1 pixel right and down of the grey one
    int whiteRight = 0;
    for (int y = 0; y < disabled.height() - 1; ++y)
        for (int x = 0; x < disabled.width() - 1; ++x)
            if (qRed(disabled.pixel(x, y)) >= 0x70 && qRed(disabled.pixel(x, y)) <= 0x90 &&
                qRed(disabled.pixel(x + 1, y + 1)) > 0xC0)
                ++whiteRight;
    EXPECT_GT(whiteRight, 0);
}

TEST_F(ButtonFixture, CaptionIsCentredAndShiftsWhenPressed) {
    button->resize(60, 24);
    button->SetPicNormal(Solid(60, 24, Qt::white));
    QPalette pal = button->palette();
    pal.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(pal);
    button->SetCaption(QStringLiteral("I"));
    auto inkBox = [](const QImage &img) {
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 128)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect up = inkBox(button->grab().toImage());
    ASSERT_FALSE(up.isEmpty());
    EXPECT_NEAR(up.center().x(), 30, 3);
    EXPECT_NEAR(up.center().y(), 12, 3);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    const QRect down = inkBox(button->grab().toImage());
    EXPECT_EQ(down.topLeft(), up.topLeft() + QPoint(1, 1));
}

TEST_F(ButtonFixture, FocusFrameOnlyWithDrawFocused) {
    parent.show();
    QApplication::setActiveWindow(&parent);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    button->SetPicNormal(Solid(40, 20, Qt::white));
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    const QRgb frame = button->grab().toImage().pixel(2, 10);
    EXPECT_EQ(QColor(frame), QColor(Qt::white));
    button->SetDrawFocused(true);
    const QImage img = button->grab().toImage();
    int dark = 0;
    for (int y = 2; y < 18; ++y)
        dark += qGray(img.pixel(2, y)) < 128;
    EXPECT_GT(dark, 3); // a dotted line at the 2-pixel margin
}

TEST_F(ButtonFixture, TransparentButtonKeysOutTheTopLeftColour) {
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Qt::green);
    parent.setPalette(pal);
    QPixmap face(40, 20);
    face.fill(Qt::magenta);
    {
        QPainter p(&face);
        p.fillRect(10, 5, 20, 10, Qt::blue);
    }
    button->SetPicNormal(face);
    button->SetTransparent(true);
    EXPECT_TRUE(button->ColourKey());
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(12, 12)), QColor(Qt::green)); // keyed out: the parent shows
    EXPECT_EQ(QColor(shot.pixel(30, 20)), QColor(Qt::blue));  // the face itself
    button->SetTransparent(false);
    EXPECT_EQ(QColor(parent.grab().toImage().pixel(12, 12)), QColor(Qt::magenta));
}

TEST(SkinPictures, SetSkinPicturesLoadsTheStatesThatExist) {
    QWidget parent;
    TImageButton close(&parent);
    close.SetAutoSize(true);
    SetSkinPictures(&close, QStringLiteral("btnClose"));
    EXPECT_EQ(close.size(), QSize(43, 18));
    EXPECT_FALSE(close.PicMouseOn().isNull());
    EXPECT_FALSE(close.PicMouseDown().isNull());
    EXPECT_FALSE(close.PicDisabled().isNull());
    TImageButton usb(&parent);
    SetSkinPictures(&usb, QStringLiteral("btnUsbState"));
    EXPECT_EQ(usb.PicNormal().size(), QSize(24, 24));
    EXPECT_TRUE(usb.PicMouseOn().isNull());
    EXPECT_FALSE(usb.PicDisabled().isNull());
}

} // namespace
} // namespace lumora
