// A main window over a temporary data folder: a roster written by the test,
// the shipped languages, and a receiver that is present but silent.
#pragma once

#include "DataDir.h"
#include "Main.h"
#include "config/Roster.h"
#include "controls/Helpers.h"
#include "controls/Stdpanel.h"
#include "dialogs/DialogTest.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace lumora::test {

struct Student {
    QString name;
    uint16_t id;
};

class MainWindowTest : public DialogTest {
protected:
    // Writes Config.ini (columns x rows, pane count) and a roster of count
    // students "S<i>" with tablets 1..count, then opens the window.
    void Open(int count, int columns = 6, int rows = 5, int panes = 9) {
        std::vector<Student> students;
        for (int i = 0; i < count; ++i) {
            students.push_back({QStringLiteral("S%1").arg(i), static_cast<uint16_t>(i + 1)});
        }
        OpenWith(students, columns, rows, panes);
    }
    // The same with the given seat layer (pane layers left empty).
    void OpenWith(const std::vector<Student> &students, int columns = 6, int rows = 5,
                  int panes = 9, const char *language = "zh_CN") {
        ASSERT_TRUE(dir_.isValid());
        WriteConfig(columns, rows, panes, language);
        SlotTable table;
        for (size_t i = 0; i < students.size(); ++i) {
            table[static_cast<int>(i)].Name = students[i].name;
            table[static_cast<int>(i)].CardID = students[i].id;
        }
        table.SetCount(static_cast<int>(students.size()));
        if (!students.empty()) {
            ASSERT_TRUE(SaveRoster(Dir(), table, -1));
        }
        OpenWindow();
    }
    TStdChannel *Tile(TBGPanel *grid, int index) {
        TStdChannel *tile = grid->GetTile(index);
        EXPECT_NE(tile, nullptr) << "no tile " << index;
        return tile;
    }
    QAction *Action(const char *name) { return Window().findChild<QAction *>(QLatin1String(name)); }
    // The live view's panes on screen (panes off the page are sized to nothing).
    std::vector<int> VisiblePanes() {
        std::vector<int> visible;
        for (TStdChannel *tile : Window().LiveGrid->Tiles()) {
            if (tile->Shown() && !tile->size().isEmpty()) {
                visible.push_back(tile->Tag());
            }
        }
        return visible;
    }
    void WriteConfig(int columns, int rows, int panes, const char *language = "zh_CN") {
        QFile config(Dir() + QStringLiteral("/Config.ini"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[Public]\nLanguageType=0\nMainLine=%1\nMainRow=%2\n"
                                    "Split=%3\nCount=5\nLanguageName=%4\n")
                         .arg(columns)
                         .arg(rows)
                         .arg(panes)
                         .arg(QLatin1String(language))
                         .toUtf8());
    }
    void OpenWindow() {
        QString error;
        ASSERT_TRUE(SeedLanguages(Dir(), &error)) << error.toStdString();
        // A receiver that is there and sends nothing.
        QFile silent(Dir() + QStringLiteral("/silent.replay"));
        ASSERT_TRUE(silent.open(QIODevice::WriteOnly));
        silent.write("# present, silent\n");
        silent.close();
        qputenv("PENLYNX_RECEIVER", ("replay:" + silent.fileName()).toLocal8Bit());
        window_ = std::make_unique<TFrmMain>(Dir());
        ASSERT_TRUE(window_->Started());
        window_->show();
    }
    void TearDown() override {
        window_.reset();
        AnswerKey.clear();
        DialogTest::TearDown();
    }
    QString Dir() const { return dir_.path(); }
    TFrmMain &Window() { return *window_; }
    // The roster as a fresh start would read it.
    std::unique_ptr<SlotTable> Reloaded() {
        auto table = std::make_unique<SlotTable>();
        LoadRoster(Dir(), *table);
        return table;
    }

    QTemporaryDir dir_;
    std::unique_ptr<TFrmMain> window_;
};

} // namespace lumora::test
