#include "support/WindowTest.h"

#include "config/Config.h"
#include "config/Preferences.h"
#include "config/Roster.h"
#include "core/MessageTexts.h"
#include "dialogs/OpenFile.h"
#include "views/GroupBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTreeWidget>

namespace lumora::test {
namespace {

class SettingsImportTest : public WindowTest {
protected:
    template <typename T> T *Control(const char *name) {
        T *control = Window().findChild<T *>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Save() { QTest::mouseClick(Control<TImageButton>("btn1"), Qt::LeftButton); }
    QString WriteFile(const char *name, const QByteArray &bytes) {
        QFile file(Dir() + QLatin1Char('/') + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    Config SavedConfig() { return LoadConfig(Dir(), 1080); }
};

TEST_F(SettingsImportTest, OpeningShowsTheConfigurationAndSavingWritesIt) {
    Open(12, 4, 3, 5); // 5 panes: no item of the pane-count choice stands for it
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    EXPECT_TRUE(Control<QWidget>("pnlSet")->isVisible());
    EXPECT_EQ(Control<QComboBox>("cbb1")->currentIndex(), -1);
    EXPECT_EQ(Control<QSpinBox>("se1")->value(), 4);
    EXPECT_EQ(Control<QSpinBox>("se2")->value(), 4); // 3 is below the field's range
    EXPECT_GE(Control<QComboBox>("cbb3")->findText(u"en_US"_qs), 0);

    Control<QSpinBox>("se1")->setValue(7);
    Save();
    // Back to the seat grid, laid out with the new columns.
    EXPECT_TRUE(Window().SeatGrid->isVisible());
    EXPECT_FALSE(Control<QWidget>("pnlSet")->isVisible());
    const Config saved = SavedConfig();
    EXPECT_EQ(saved.MainLine, 7);
    EXPECT_EQ(saved.MainRow, 4);
    EXPECT_EQ(saved.Split, 5); // kept: no pane count was chosen
    EXPECT_EQ(Tile(Window().SeatGrid, 7)->isVisibleTo(Window().SeatGrid), true);
    EXPECT_GT(Tile(Window().SeatGrid, 7)->y(), Tile(Window().SeatGrid, 6)->y());
}

TEST_F(SettingsImportTest, SavingAnotherLanguageAppliesItAtOnce) {
    Open(6);
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    auto *languages = Control<QComboBox>("cbb3");
    languages->setCurrentIndex(languages->findText(u"en_US"_qs));
    Control<QComboBox>("cbb1")->setCurrentIndex(1);
    Save();
    EXPECT_EQ(SavedConfig().LanguageName, u"en_US"_qs);
    EXPECT_EQ(SavedConfig().Split, 6);
    EXPECT_EQ(Window().LiveGrid->PaneCount(), 6);
    // Captions come from the English file now.
    EXPECT_EQ(Window().Item(QStringLiteral("Quit"))->Caption(), u"Exit"_qs);
    EXPECT_EQ(MessageTexts[MessageKey::Tip1], u"No answer"_qs);
    EXPECT_TRUE(Control<QLabel>("lblImportFormat")->text().startsWith(u"One student a line"_qs));
    EXPECT_EQ(Control<QGroupBox>("grp5")->title(), u"Display"_qs);
}

TEST_F(SettingsImportTest, QtsOwnDialogsSpeakTheLanguageChosen) {
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           u"/qtbase_zh_CN.qm"_qs)) {
        GTEST_SKIP() << "Qt's translations are not installed (qt6-translations-l10n)";
    }
    const auto lookIn = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
    Open(6);
    EXPECT_EQ(lookIn(), u"查找范围："_qs);
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    auto *languages = Control<QComboBox>("cbb3");
    languages->setCurrentIndex(languages->findText(u"en_US"_qs));
    Save();
    EXPECT_EQ(lookIn(), u"Look in:"_qs);
    Close(); // Qt's texts go with the window
    EXPECT_EQ(lookIn(), u"Look in:"_qs);
}

TEST_F(SettingsImportTest, TheImportShowsItsFormAndAsksInTheLastFolderForTextOrCsv) {
    Open(4, 4, 4);
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    EXPECT_EQ(Control<QLabel>("lblImportFormat")->text(),
              u"每行一名学生：姓名#手写板ID\n例如：王小明#12"_qs);
    QDir(Dir()).mkpath(u"class"_qs);
    const QString path = WriteFile("class/list.csv", "Ann#1\nBen#2\n");
    struct Asked {
        QString caption, folder, filter;
    };
    std::vector<Asked> asked;
    QString answer = path;
    const OpenFileResponder previous = SetOpenFileResponder(
        [&](const QString &caption, const QString &folder, const QString &filter) {
            asked.push_back({caption, folder, filter});
            return answer;
        });
    {
        PromptRecorder prompts(true); // overwrite the roster: yes
        Control<TImageButton>("btn2")->Click();
    }
    answer.clear(); // the second time the teacher cancels
    Control<TImageButton>("btn2")->Click();
    SetOpenFileResponder(previous);

    ASSERT_EQ(asked.size(), 2u);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(asked[0].folder, QFileInfo(documents).isDir() ? documents : QDir::homePath());
    EXPECT_EQ(asked[0].caption, u"从文件导入学生信息"_qs);
    EXPECT_EQ(asked[0].filter, u"学生名单 (*.txt *.csv)"_qs);
    EXPECT_EQ(asked[1].folder, QFileInfo(path).absolutePath()); // where the last one was
    EXPECT_EQ(Tile(Window().SeatGrid, 1)->StudentName(), u"Ben"_qs);
    // Remembered for the next start.
    EXPECT_EQ(LoadPreferences(Dir()).ImportFolder, QFileInfo(path).absolutePath());
}

TEST_F(SettingsImportTest, TheDisplayScaleIsSavedForTheNextStartOnlyWhenChanged) {
    Open(4);
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    auto *scales = Control<QComboBox>("cbbScale");
    // The offscreen screen (800 x 600) holds the layout at 100 % only.
    ASSERT_EQ(scales->count(), 1);
    EXPECT_EQ(scales->currentText(), u"100 %"_qs);
    EXPECT_EQ(Control<QLabel>("lblScaleNote")->text(), u"下次启动时生效"_qs);
    Save();
    // Nothing chosen: Config.ini holds what it always held.
    EXPECT_FALSE(ReadTextFile(DataPath(u"Config.ini"_qs)).contains(u"[Preferences]"_qs));
    Close();

    preferences_.ScalePercent = 150;
    Open(4);
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    scales = Control<QComboBox>("cbbScale");
    ASSERT_EQ(scales->count(), 2); // the scale in use stays offered
    EXPECT_EQ(scales->currentText(), u"150 %"_qs);
    scales->setCurrentIndex(scales->findText(u"100 %"_qs));
    Save();
    EXPECT_EQ(LoadPreferences(Dir()).ScalePercent, 100);
    EXPECT_EQ(SavedConfig().MainLine, 6); // the six keys as saved
}

TEST_F(SettingsImportTest, MissingLanguageFileIsReportedAndTheProgramGoesOn) {
    PromptRecorder prompts(true);
    OpenWith({{u"A"_qs, 1}}, 6, 5, 9, "missing");
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_TRUE(prompts.Prompts()[0].Text.contains(u"加载xml失败"_qs));
    // Built-in texts stay; the program is usable.
    EXPECT_EQ(Window().Item(QStringLiteral("Quit"))->Caption(), u"退出系统"_qs);
    EXPECT_TRUE(Window().Started());
}

TEST_F(SettingsImportTest, ImportReplacesTheRosterLaysOutAndBindsTheInk) {
    Open(30, 6, 8); // 6 x 8 seats fit the offscreen screen's view area
    QByteArray lines;
    for (int i = 0; i < 10; ++i) {
        lines += QStringLiteral("学生%1#%2\r\n").arg(i).arg(200 + i).toUtf8();
    }
    const QString path = WriteFile("class.txt", lines);
    {
        PromptRecorder prompts(true); // overwrite the roster: yes
        Window().ImportRoster(path);
        ASSERT_EQ(prompts.Prompts().size(), 1u);
        EXPECT_EQ(prompts.Prompts()[0].Title, u"Warning"_qs);
    }
    EXPECT_EQ(Window().Table().Count.load(), 48);
    EXPECT_EQ(Window().SeatGrid->TileCount(), 48);
    EXPECT_EQ(Tile(Window().SeatGrid, 3)->StudentName(), u"学生3"_qs);
    EXPECT_EQ(Tile(Window().AnswerGrid, 3)->CardID(), 203);
    EXPECT_TRUE(Tile(Window().SeatGrid, 20)->StudentName().isEmpty());
    // Laid out again: tile 7 stands right of tile 6 in the second row.
    EXPECT_TRUE(Tile(Window().SeatGrid, 7)->isVisibleTo(Window().SeatGrid));
    EXPECT_GT(Tile(Window().SeatGrid, 7)->x(), Tile(Window().SeatGrid, 6)->x());
    EXPECT_GT(Tile(Window().SeatGrid, 7)->y(), Tile(Window().SeatGrid, 1)->y());
    // The new panes are what the pen draws into.
    EXPECT_EQ(Window().Table()[3].InkCanvas, Tile(Window().LiveGrid, 3)->InkImage());
    EXPECT_EQ(Window().findChild<QTreeWidget *>(u"lvStd"_qs)->topLevelItemCount(), 48);
    const auto saved = Reloaded();
    EXPECT_EQ(saved->Count.load(), 48);
    EXPECT_EQ((*saved)[9].CardID.load(), 209);
    // The roster it replaced is kept beside it.
    const QStringList kept = QDir(Dir()).entryList({u"StudentInfo-kept-*.ini"_qs});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(ReadTextFile(QDir(Dir()).filePath(kept[0])).contains("S29"));
    EXPECT_EQ(Window().CurrentTile, nullptr);
}

TEST_F(SettingsImportTest, ABadLineChangesNothingAndNamesTheLine) {
    Open(4, 4, 4);
    const QString roster = ReadTextFile(RosterFilePath(Dir()));
    const QString path = WriteFile("bad.txt", "Ann#1\n\nBen,2\nCid#3\n\n");
    PromptRecorder prompts(true);
    Window().ImportRoster(path);
    ASSERT_EQ(prompts.Prompts().size(), 2u);
    EXPECT_EQ(prompts.Prompts()[1].Title, u"Error"_qs);
    EXPECT_EQ(prompts.Prompts()[1].Text,
              FormatMessage(MessageTexts[MessageKey::ImportBadLine],
                            {u"3"_qs, u"Ben,2"_qs, MessageTexts[MessageKey::ImportFormat]}));
    EXPECT_EQ(Tile(Window().SeatGrid, 0)->StudentName(), u"S0"_qs);
    EXPECT_EQ(Window().Table().Count.load(), 4);
    EXPECT_EQ(ReadTextFile(RosterFilePath(Dir())), roster);
    EXPECT_EQ(QDir(Dir()).entryList({u"StudentInfo*"_qs}), QStringList{u"StudentInfo.ini"_qs});
}

TEST_F(SettingsImportTest, AnUnreadableFileOrACancelKeepsTheRoster) {
    Open(5);
    {
        PromptRecorder prompts(true);
        Window().ImportRoster(Dir() + u"/no-such-file.txt"_qs);
        ASSERT_EQ(prompts.Prompts().size(), 2u);
        EXPECT_EQ(prompts.Prompts()[1].Title, u"Error"_qs);
    }
    {
        PromptRecorder prompts(false); // do not overwrite
        Window().ImportRoster(WriteFile("x.txt", "Zed#9\n"));
    }
    EXPECT_EQ(Window().Table().Count.load(), 5);
    EXPECT_EQ(Tile(Window().SeatGrid, 0)->StudentName(), u"S0"_qs);
    EXPECT_EQ((*Reloaded())[0].Name.ToString(), u"S0"_qs);
}

TEST_F(SettingsImportTest, FirstStartAsksForTheSeats) {
    ASSERT_TRUE(dir_.isValid());
    WriteConfig(8, 6, 9);
    DialogAnswer answer([](TFrmSetName &dialog) {
        Find<QSpinBox>(dialog, "se1")->setValue(7);
        Find<QSpinBox>(dialog, "se2")->setValue(4);
        Click(dialog, "btn1");
    });
    OpenWindow();
    EXPECT_EQ(Window().Table().Count.load(), 28);
    EXPECT_EQ(Window().SeatGrid->TileCount(), 28);
    EXPECT_EQ(Window().Configuration().MainLine, 7);
}

TEST_F(SettingsImportTest, CancelledFirstStartUsesTheConfiguredSeats) {
    ASSERT_TRUE(dir_.isValid());
    WriteConfig(8, 6, 9);
    DialogAnswer answer([](TFrmSetName &dialog) { Click(dialog, "btn2"); });
    OpenWindow();
    EXPECT_EQ(Window().Table().Count.load(), 48);
}

} // namespace
} // namespace lumora::test
