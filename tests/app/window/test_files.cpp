// The program's files at start and end: files that cannot be read completely
// are kept aside and reported before anything is written, failed saves are
// reported, and termination signals end through the exit saves.
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "config/Roster.h"
#include "core/MessageTexts.h"
#include "platform/TerminationSignals.h"

#include <QDir>
#include <QFile>

#include <csignal>

namespace lumora::test {
namespace {

class DataFiles : public WindowTest {
protected:
    QStringList Kept() const {
        return QDir(DataPath(QString())).entryList({QStringLiteral("StudentInfo-kept-*.ini")});
    }
    // Answers the first-start dialog with line x row seats.
    static DialogResponder SeatCount(int line, int row) {
        return [line, row](TFrmSetName &dialog) {
            Find<QSpinBox>(dialog, "se1")->setValue(line);
            Find<QSpinBox>(dialog, "se2")->setValue(row);
            Click(dialog, "btn1");
        };
    }
};

TEST_F(DataFiles, ARosterWithAZeroByteIsKeptAsideReportedAndWrittenWhole) {
    WriteConfig(6, 5, 4);
    WriteRoster(NumberedClass(30));
    QString text = ReadTextFile(DataPath("StudentInfo.ini"));
    text.replace(u"Name=Student 2\n"_qs, u"Name=Stud"_qs + QChar(0) + u"ent 2\n"_qs);
    WriteTextFile(DataPath("StudentInfo.ini"), text);
    // What a save killed half-way left behind.
    WriteTextFile(DataPath("Config.ini.AbC123.lumora-save"), QStringLiteral("[Public]\nMain"));
    UseReplay(ReplayScript().Wait(60000));
    PromptRecorder prompts;
    TFrmMain &w = Start();
    ASSERT_TRUE(w.Started());
    EXPECT_FALSE(QFile::exists(DataPath("Config.ini.AbC123.lumora-save")));
    // Every student is there; the teacher was told which file, why and where it went.
    EXPECT_EQ(w.SeatGrid->GetTile(29)->StudentName(), QStringLiteral("Student 30"));
    ASSERT_EQ(Kept().size(), 1);
    EXPECT_EQ(ReadTextFile(DataPath(Kept()[0])), text);
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    const QString shown = prompts.Prompts()[0].Text;
    for (const QString &part : {QDir::toNativeSeparators(DataPath("StudentInfo.ini")), Kept()[0],
                                QStringLiteral("第 7 行含有零字节")}) {
        EXPECT_TRUE(shown.contains(part)) << shown.toStdString();
    }
    // The file is whole again at once, not only at the end.
    SlotTable table;
    FileProblem problem;
    EXPECT_EQ(LoadRoster(DataPath(QString()), table, &problem), 30);
    EXPECT_FALSE(problem.IsProblem());
}

TEST_F(DataFiles, AFolderWhereTheRosterShouldBeIsKeptAsideBeforeTheFirstStart) {
    WriteConfig(6, 5, 4);
    ASSERT_TRUE(QDir().mkpath(DataPath("StudentInfo.ini")));
    WriteTextFile(DataPath("StudentInfo.ini/notes.txt"), QStringLiteral("keep"));
    UseReplay(ReplayScript().Wait(60000));
    std::vector<QString> order;
    PromptRecorder prompts;
    DialogAnswer answer([&](TFrmSetName &dialog) {
        order.push_back(QStringLiteral("dialog after %1 prompt(s)").arg(prompts.Prompts().size()));
        SeatCount(5, 4)(dialog);
    });
    TFrmMain &w = Start();
    ASSERT_TRUE(w.Started());
    ASSERT_EQ(order, std::vector<QString>{QStringLiteral("dialog after 1 prompt(s)")});
    EXPECT_TRUE(prompts.Prompts()[0].Text.contains(QStringLiteral("这是一个文件夹")));
    ASSERT_EQ(Kept().size(), 1);
    EXPECT_TRUE(QFile::exists(DataPath(Kept()[0] + QStringLiteral("/notes.txt"))));
    SlotTable table;
    EXPECT_EQ(LoadRoster(DataPath(QString()), table), 20);
}

TEST_F(DataFiles, FailedSavesAtTheFirstStartAndAtTheEndAreReported) {
    WriteConfig(6, 5, 4);
    UseReplay(ReplayScript().Wait(60000));
    PromptRecorder prompts;
    // The roster's place is taken while the teacher answers the dialog.
    DialogAnswer answer([&](TFrmSetName &dialog) {
        QDir().mkpath(DataPath("StudentInfo.ini"));
        SeatCount(5, 4)(dialog);
    });
    TFrmMain &w = Start();
    ASSERT_TRUE(w.Started());
    const QString failed = FormatMessage(BuiltInMessageText(MessageKey::FileSaveFailed),
                                         {QDir::toNativeSeparators(DataPath("StudentInfo.ini")),
                                          BuiltInMessageText(MessageKey::FileIsFolder)});
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(prompts.Prompts()[0].Title, QStringLiteral("Error"));
    EXPECT_EQ(prompts.Prompts()[0].Text, failed);

    prompts.Clear();
    Close();
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(prompts.Prompts()[0].Text, failed);
    // The configuration still reaches its file.
    EXPECT_TRUE(ReadTextFile(DataPath("Config.ini")).contains(QStringLiteral("MainRow=4")));
}

class Termination : public DataFiles, public testing::WithParamInterface<int> {};

TEST_P(Termination, EndsThroughTheExitSavesWithoutAsking) {
    WriteConfig(6, 5, 4);
    UseReplay(ReplayScript().Wait(60000));
    TerminationSignals termination;
    ASSERT_TRUE(termination.Installed());
    {
        DialogAnswer answer(SeatCount(5, 4));
        Start();
    }
    QObject::connect(&termination, &TerminationSignals::Terminate, window_, &TFrmMain::EndBySignal);
    // Said once, when everything is written (the lock goes then).
    QStringList savedWhenSaid;
    QObject::connect(window_, &TFrmMain::ExitSaved, window_,
                     [&] { savedWhenSaid << ReadTextFile(DataPath("Config.ini")); });
    // A dialog open at that moment is cancelled, as the exit question would be.
    PromptsAsDialogs asDialogs;
    bool dialogOpen = false;
    DialogAnswer answer([&](TFrmSetName &dialog) {
        dialogOpen = dialog.isVisible();
        ::raise(GetParam());
        WaitFor([&] { return !dialog.isVisible(); }, 5000);
    });
    window_->btnCloseClick();
    EXPECT_TRUE(dialogOpen);
    ASSERT_TRUE(WaitFor([&] { return !window_->isVisible(); }, 5000));
    EXPECT_EQ(termination.Received(), GetParam());
    const QString config = ReadTextFile(DataPath("Config.ini"));
    EXPECT_TRUE(config.contains(QStringLiteral("MainLine=5"))) << config.toStdString();
    EXPECT_TRUE(config.contains(QStringLiteral("MainRow=4"))) << config.toStdString();
    EXPECT_EQ(savedWhenSaid, QStringList{config});
    SlotTable table;
    EXPECT_EQ(LoadRoster(DataPath(QString()), table), 20);
}

INSTANTIATE_TEST_SUITE_P(Signals, Termination, testing::Values(SIGTERM, SIGINT, SIGHUP));

// A Windows session that ends while a dialog waits: the saves are made at
// once, with the dialog still open, and the close afterwards adds nothing.
TEST_F(DataFiles, SavesAtTheEndWhileADialogWaitsAndOnlyOnce) {
    WriteConfig(6, 5, 4);
    UseReplay(ReplayScript().Wait(60000));
    {
        DialogAnswer answer(SeatCount(5, 4));
        Start();
    }
    int saves = 0;
    QObject::connect(window_, &TFrmMain::ExitSaved, window_, [&] { ++saves; });
    PromptsAsDialogs asDialogs;
    QString savedWhileOpen;
    DialogAnswer answer([&](TFrmSetName &dialog) {
        window_->SaveAtTheEnd();
        window_->SaveAtTheEnd();
        savedWhileOpen = ReadTextFile(DataPath("Config.ini"));
        Click(dialog, "btn2"); // the exit question: stay
    });
    window_->btnCloseClick();
    EXPECT_TRUE(savedWhileOpen.contains(QStringLiteral("MainLine=5")))
        << savedWhileOpen.toStdString();
    EXPECT_EQ(saves, 1);
    SlotTable table;
    EXPECT_EQ(LoadRoster(DataPath(QString()), table), 20);
    Close();
    EXPECT_EQ(saves, 1);
}

} // namespace
} // namespace lumora::test
