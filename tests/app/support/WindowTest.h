// The main window on a temporary data folder and a replayed (or simulated)
// receiver. Each test writes its configuration, roster and replay script,
// starts the window and drives it through the navigation items by their
// language keys, or opens it at once on a numbered class and a receiver that
// is present but silent (Open); TearDown destroys the window, which stops the
// library.
#pragma once

#include "Main.h"
#include "config/Preferences.h"
#include "config/SlotTable.h"
#include "controls/Stdpanel.h"
#include "support/DialogTest.h"
#include "support/ReplayScript.h"
#include "support/TestData.h"
#include "views/GroupBar.h"

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

    void WriteConfig(int line, int row, int split, const QString &language = "zh_CN",
                     int languageType = 1) {
        WriteConfigFile(dir_.path(), line, row, split, language, languageType);
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
    // Config.ini (columns x rows, pane count) and a roster of count students
    // "S<i>" with tablets 1..count saved as the program saves it, then the
    // window on a silent receiver; it must start.
    void Open(int count, int columns = 6, int rows = 5, int panes = 9);
    // The same with the given seat layer (pane layers left empty).
    void OpenWith(const std::vector<Student> &students, int columns = 6, int rows = 5,
                  int panes = 9, const char *language = "zh_CN");
    // The window on a receiver that is there and sends nothing; it must start.
    void OpenWindow();
    TFrmMain &Window() { return *window_; }
    QString Dir() const { return dir_.path(); }
    // The roster as a fresh start would read it.
    std::unique_ptr<SlotTable> Reloaded() const;

    QString DataPath(const QString &name) const { return dir_.filePath(name); }

    // Controls of the window by object name; a missing one fails the test.
    template <typename T> T *Control(const char *name) const;
    QLabel *Label(const char *name) const;
    QMenu *Menu() const;
    QAction *MenuItem(const char *name) const;
    // A menu item by object name, or null.
    QAction *Action(const char *name) const;
    // A tile of the grid; a missing one fails the test.
    TStdChannel *Tile(TBGPanel *grid, int index) const;
    // The live view's panes on screen (panes off the page are sized to nothing).
    std::vector<int> VisiblePanes() const;

    // Chooses the navigation item with that language key.
    void Choose(const char *item);
    // The names of the views of the view area that are not hidden.
    QStringList ShownViews() const;
    // The items of one mark set that carry the mark.
    QStringList MarkedItems() const;

    TFrmMain *window_ = nullptr;
    QTemporaryDir dir_;
    // Written beside the configuration by Open and OpenWith when not the
    // defaults (a scale, a screen, the import's folder).
    Preferences preferences_;

private:
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
