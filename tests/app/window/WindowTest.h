// The main window on a temporary data folder and a replayed (or simulated)
// receiver. Each test writes its configuration, roster and replay script,
// starts the window and drives it through the navigation items by their
// language keys; TearDown destroys the window, which stops the library.
#pragma once

#include "GroupBar.h"
#include "Main.h"
#include "ReplayScript.h"
#include "TestData.h"
#include "controls/Stdpanel.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

class QLabel;
class QMenu;
class QAction;

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

namespace lumora::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteConfig(int line, int row, int split, const QString &language = "zh_CN") {
        WriteConfigFile(dir_.path(), line, row, split, language);
    }
    void WriteRoster(const std::vector<Student> &students) {
        WriteRosterFile(dir_.path(), students);
    }
    // The receiver for the next Start: a replay of the script, or any value
    // of PENLYNX_RECEIVER.
    void UseReplay(const ReplayScript &script);
    void UseReceiver(const QByteArray &value);
    // Seeds the language files, creates and shows the window.
    TFrmMain &Start();
    // Destroys the window: the library stops, the files are written.
    void Close();

    QString DataPath(const QString &name) const { return dir_.filePath(name); }

    // Controls of the window by object name; a missing one fails the test.
    template <typename T> T *Control(const char *name) const;
    QLabel *Label(const char *name) const;
    QMenu *Menu() const;
    QAction *MenuItem(const char *name) const;

    // Chooses the navigation item with that language key.
    void Choose(const char *item);
    // The names of the views of the view area that are not hidden.
    QStringList ShownViews() const;
    // The items of one mark set that carry the mark.
    QStringList MarkedItems() const;

    TFrmMain *window_ = nullptr;

private:
    QTemporaryDir dir_;
    QByteArray savedReceiver_;
    bool hadReceiver_ = false;
};

template <typename T> T *WindowTest::Control(const char *name) const {
    T *widget = window_->findChild<T *>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << "no control " << name;
    return widget;
}

// Runs the event loop until condition holds or the deadline passes.
bool WaitFor(const std::function<bool()> &condition, int timeoutMs = 15000);

// Ink pixels (not white) of an image inside rect.
int InkPixels(const QImage &image, const QRect &rect);
inline int InkPixels(const QImage &image) {
    return InkPixels(image, image.rect());
}

// The pictures a seat tile shows for a tablet heard from and not heard from.
const QImage &LinkedPicture();
const QImage &UnlinkedPicture();

// Saves a picture of the widget under /tmp for looking at it.
void Shot(QWidget *widget, const QString &name);

} // namespace lumora::test
