// The main window and its data files: start-up reading with what it does
// when a file cannot be read completely, saves whose failures the teacher is
// told about, the roster import, and the end asked for by a termination
// signal.
#include "Main.h"

#include "config/ClassBook.h"
#include "config/Roster.h"
#include "config/RosterImport.h"
#include "controls/Stdpanel.h"
#include "core/Helpers.h"
#include "core/MessageTexts.h"
#include "dialogs/OpenFile.h"
#include "dialogs/SettingsPanel.h"
#include "dialogs/UnSetName.h"
#include "platform/DataFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace lumora {

namespace {

QString Shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

void TFrmMain::ReadDataFiles(int screenHeight, FileProblem *configProblem,
                             FileProblem *rosterProblem) {
    // A save killed half-way left its temporary file; the old file is whole.
    RemoveUnfinishedSaves(dataDir_);
    RemoveUnfinishedSaves(ClassBook(dataDir_).Folder());
    config_ = LoadConfig(dataDir_, screenHeight, configProblem);
    LoadRoster(dataDir_, table_, rosterProblem);
}

void TFrmMain::SetAsideUnreadFiles(const FileProblem &configProblem,
                                   const FileProblem &rosterProblem) {
    // What was read stays in use; the file itself is moved out of the way
    // before anything new is written, then written again whole from memory.
    if (KeepAsideReported(ConfigFilePath(dataDir_), configProblem)) {
        SaveConfigReported();
    }
    if (KeepAsideReported(RosterFilePath(dataDir_), rosterProblem) && table_.Count.load() > 0) {
        SaveRosterReported(-1);
    }
}

bool TFrmMain::KeepAsideReported(const QString &path, const FileProblem &problem) {
    if (!problem.IsProblem()) {
        return false;
    }
    QString keptAs;
    QString error;
    if (KeepAside(path, &keptAs, &error)) {
        ShowPrompt(QStringLiteral("Warning"),
                   FormatMessage(MessageTexts[MessageKey::FileKeptAside],
                                 {Shown(path), problem.Describe(), QFileInfo(keptAs).fileName()}),
                   false);
        return true;
    }
    // It stays where it is; the saves refuse to write over it.
    ShowPrompt(QStringLiteral("Error"),
               FormatMessage(MessageTexts[MessageKey::FileNotKeptAside],
                             {Shown(path), problem.Describe(), error}),
               false);
    return false;
}

bool TFrmMain::SaveRosterReported(int index) {
    return SaveRosterEntriesReported(QList<int>{index});
}

bool TFrmMain::SaveRosterEntriesReported(const QList<int> &entries) {
    QString error;
    const bool saved = entries == QList<int>{-1}
                           ? SaveRoster(dataDir_, table_, -1, &error)
                           : SaveRosterEntries(dataDir_, table_, entries, &error);
    if (!saved) {
        ReportSaveFailure(RosterFilePath(dataDir_), error);
    }
    return saved;
}

bool TFrmMain::SavePreferencesReported() {
    QString error;
    if (!SavePreferences(dataDir_, prefs_, &error)) {
        ReportSaveFailure(ConfigFilePath(dataDir_), error);
        return false;
    }
    return true;
}

bool TFrmMain::SaveConfigReported() {
    QString error;
    if (!SaveConfig(dataDir_, config_, &error)) {
        ReportSaveFailure(ConfigFilePath(dataDir_), error);
        return false;
    }
    return true;
}

void TFrmMain::ReportSaveFailure(const QString &path, const QString &reason) {
    DebugLog(path + QStringLiteral(": ") + reason, 0);
    ShowPrompt(QStringLiteral("Error"),
               FormatMessage(MessageTexts[MessageKey::FileSaveFailed], {Shown(path), reason}),
               false);
}

void TFrmMain::ImportRoster(const QString &chosenPath) {
    QString path = chosenPath;
    if (path.isEmpty()) {
        // In the folder of the last import, else the teacher's documents.
        path = AskOpenFile(
            this, texts_.Value(u"LoadStdInfo"),
            ImportStartFolder(prefs_.ImportFolder,
                              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                              QDir::homePath()),
            MessageTexts[MessageKey::ImportFiles] + QStringLiteral(" (*.txt *.csv)"));
        if (path.isEmpty()) {
            return;
        }
        const QString folder = QFileInfo(path).absolutePath();
        if (folder != prefs_.ImportFolder) {
            prefs_.ImportFolder = folder;
            SavePreferencesReported();
        }
    }
    pnlSet_->SetImportPath(path);
    if (table_.Count.load() != 0 &&
        !ShowPrompt(QStringLiteral("Warning"), MessageTexts[MessageKey::Warning1], true)) {
        return;
    }
    // Read before anything is cleared: a file that cannot be read keeps the
    // roster as it is.
    const PreparedImport import = PrepareRosterImport(path);
    std::vector<ImportNotice> notices = import.Notices;
    // The roster the import replaces stays as a file of its own, so that an
    // import can be undone by hand.
    const QString roster = RosterFilePath(dataDir_);
    QString keptAs;
    QString error;
    if (import.Ready && QFileInfo::exists(roster) && !CopyAside(roster, &keptAs, &error)) {
        ReportSaveFailure(keptAs.isEmpty() ? roster : keptAs, error);
        return;
    }
    if (import.Ready) {
        // The reader thread stays off the table while it and the tiles are
        // replaced.
        bridge_.Suspend();
        CurrentTile = nullptr;
        notices = ApplyRosterImport(import, table_, config_.MainLine, config_.MainRow);
        ReloadGrids();
        if (table_.Count.load() > 0) {
            bridge_.SetInkSize(InkWidth, InkHeight);
        }
        bridge_.Resume();
        FillStudentList();
        answers_.ForgetWriting();
        UpdateProgress();
        SaveRosterReported(-1);
    }
    for (const ImportNotice &notice : notices) {
        ShowPrompt(notice.What == ImportNotice::Kind::Error ? QStringLiteral("Error")
                                                            : QStringLiteral("Warning"),
                   notice.Text, false);
    }
}

void TFrmMain::EndBySignal() {
    // Dialogs waiting for the teacher end as with Cancel; the window closes
    // once their handlers have returned, through the exit saves and without
    // asking.
    CancelOpenDialogs();
    QTimer::singleShot(0, this, &TFrmMain::CloseWhenIdle);
}

void TFrmMain::CloseWhenIdle() {
    // Not from inside a dialog's loop: the handler that opened it goes on
    // with the grids when it returns.
    if (QThread::currentThread()->loopLevel() > 1 || QApplication::activeModalWidget() != nullptr) {
        CancelOpenDialogs();
        QTimer::singleShot(20, this, &TFrmMain::CloseWhenIdle);
        return;
    }
    close();
}

} // namespace lumora
