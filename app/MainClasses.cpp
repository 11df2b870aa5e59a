// The main window and the teacher's classes: the class view and what its
// buttons do, the switch (the roster replaced as an import replaces it, the
// device handlers kept off the table meanwhile), the class asked for on the
// command line, and the current class in the title.
#include "Main.h"

#include "config/ClassBook.h"
#include "config/Roster.h"
#include "config/RosterImport.h"
#include "controls/Stdpanel.h"
#include "controls/WindowBars.h"
#include "core/Helpers.h"
#include "core/MessageTexts.h"
#include "dialogs/ClassDialog.h"
#include "dialogs/SettingsPanel.h"
#include "dialogs/UnSetName.h"
#include "record/LessonRecording.h"
#include "record/Recorder.h"
#include "views/ClassesView.h"
#include "views/GroupBar.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <memory>

namespace lumora {

namespace {

QString ShownName(const ClassInfo &info) {
    return info.Name.isEmpty() ? MessageTexts[MessageKey::ClassUnnamed] : info.Name;
}

} // namespace

void TFrmMain::BuildClasses() {
    pnlClasses_ = new TClassesView(pnlBG_);
    pnlClasses_->hide();
    connect(pnlClasses_, &TClassesView::SwitchClicked, this,
            [this](const ClassInfo &chosen) { SwitchClass(chosen); });
    connect(pnlClasses_, &TClassesView::NewClicked, this, [this] { NewClass(); });
    connect(pnlClasses_, &TClassesView::RenameClicked, this, &TFrmMain::RenameClass);
    connect(pnlClasses_, &TClassesView::DeleteClicked, this, &TFrmMain::DeleteClass);
}

void TFrmMain::OpenClasses() {
    HideViews();
    ShowStudentList(false);
    pnlRz_->Mark(Item(QStringLiteral("Classes")));
    ShowClasses();
    pnlClasses_->show();
    pnlClasses_->raise();
}

void TFrmMain::ShowClasses() {
    QStringList problems;
    pnlClasses_->SetClasses(ClassBook(dataDir_).List(&problems));
    for (const QString &problem : problems) {
        DebugLog(problem, 0);
    }
}

void TFrmMain::ApplyClassTexts() {
    const ClassInfo current = ClassBook(dataDir_).Current();
    QString title = texts_.Value(u"AppTitle");
    if (!current.Name.isEmpty()) {
        title += QStringLiteral(" — ") + current.Name;
        if (!current.Subject.isEmpty()) {
            title += QStringLiteral(" · ") + current.Subject;
        }
    }
    pnlTop_->SetTitle(title);
    setWindowTitle(title);
    pnlClasses_->UpdateTexts();
    // The record tags the lesson with the class being taught.
    if (record_ != nullptr) {
        record_->LessonRecorder().SetClass(current.File, current.Name);
    }
}

void TFrmMain::ReportClassError(const ClassResult &result, const QString &name) {
    QString text;
    switch (result.What) {
    case ClassError::None:
    case ClassError::IsCurrent:
        return;
    case ClassError::NotFound:
        text = FormatMessage(MessageTexts[MessageKey::ClassNotFound], {name});
        break;
    case ClassError::NameEmpty:
        text = MessageTexts[MessageKey::ClassNameEmpty];
        break;
    case ClassError::NameTaken:
        text = FormatMessage(MessageTexts[MessageKey::ClassNameTaken], {result.Detail});
        break;
    case ClassError::Unreadable:
    case ClassError::WriteFailed:
        text = FormatMessage(MessageTexts[MessageKey::ClassFileError], {result.Detail});
        break;
    case ClassError::NotKeptAside:
        text = FormatMessage(MessageTexts[MessageKey::ClassNotKeptAside], {result.Detail});
        break;
    }
    DebugLog(text, 0);
    ShowPrompt(QStringLiteral("Error"), text, false);
}

void TFrmMain::StartWithClass() {
    if (startClass_.isEmpty()) {
        return;
    }
    ClassBook book(dataDir_);
    const std::optional<ClassInfo> found = book.Find(startClass_);
    if (!found) {
        ReportClassError({ClassError::NotFound, {}}, startClass_);
        return;
    }
    if (found->Current) {
        return;
    }
    // No grid and no device handler yet: the table alone.
    if (const ClassResult result = book.Switch(*found, table_); !result) {
        ReportClassError(result, startClass_);
        return;
    }
    LoadRoster(dataDir_, table_);
    ApplyClassTexts();
}

bool TFrmMain::SwitchClass(const ClassInfo &target) {
    const ClassResult result = ClassBook(dataDir_).Switch(target, table_);
    if (!result) {
        ReportClassError(result, target.Name);
        ShowClasses();
        return false;
    }
    LoadClassRoster();
    ApplyClassTexts();
    ShowClasses();
    return true;
}

void TFrmMain::LoadClassRoster() {
    // The reader thread stays off the table while it and the tiles are
    // replaced.
    bridge_.Suspend();
    CurrentTile = nullptr;
    LoadRoster(dataDir_, table_);
    ReloadGrids();
    if (table_.Count.load() > 0) {
        bridge_.SetInkSize(InkWidth, InkHeight);
    }
    bridge_.Resume();
    FillStudentList();
    answers_.ForgetWriting();
    UpdateProgress();
}

void TFrmMain::NewClass(const QString &chosenPath) {
    QString path = chosenPath;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, MessageTexts[MessageKey::ClassNewTitle],
                                            pnlSet_->ImportPath(), QStringLiteral("*.txt"));
        if (path.isEmpty()) {
            return;
        }
    }
    const std::optional<TClassName> entry = AskClassName(
        MessageTexts[MessageKey::ClassNewTitle], QFileInfo(path).completeBaseName(), {}, this);
    if (!entry) {
        return;
    }
    const PreparedImport import = PrepareRosterImport(path);
    std::vector<ImportNotice> notices = import.Notices;
    if (import.Ready) {
        // Read as an import reads it, into a roster of its own.
        auto roster = std::make_unique<SlotTable>();
        notices = ApplyRosterImport(import, *roster, config_.MainLine, config_.MainRow);
        if (const ClassResult result =
                ClassBook(dataDir_).Create(entry->Name, entry->Subject, *roster);
            !result) {
            ReportClassError(result, entry->Name);
            return;
        }
        ShowClasses();
    }
    for (const ImportNotice &notice : notices) {
        ShowPrompt(notice.What == ImportNotice::Kind::Error ? QStringLiteral("Error")
                                                            : QStringLiteral("Warning"),
                   notice.Text, false);
    }
}

void TFrmMain::RenameClass(const ClassInfo &target) {
    const std::optional<TClassName> entry =
        AskClassName(MessageTexts[MessageKey::ClassRenameTitle], target.Name, target.Subject, this);
    if (!entry) {
        return;
    }
    if (const ClassResult result = ClassBook(dataDir_).Rename(target, entry->Name, entry->Subject);
        !result) {
        ReportClassError(result, entry->Name);
    } else if (target.Current && record_ != nullptr) {
        const ClassInfo renamed = ClassBook(dataDir_).Current();
        record_->LessonRecorder().ClassRenamed(renamed.File, renamed.Name);
    }
    ApplyClassTexts();
    ShowClasses();
}

void TFrmMain::DeleteClass(const ClassInfo &target) {
    if (!ShowPrompt(
            QStringLiteral("Warning"),
            FormatMessage(MessageTexts[MessageKey::ClassDeleteConfirm], {ShownName(target)}),
            true)) {
        return;
    }
    QString keptAs;
    if (const ClassResult result = ClassBook(dataDir_).Remove(target, &keptAs); !result) {
        ReportClassError(result, target.Name);
    } else {
        ShowPrompt(texts_.Value(u"AppTitle"),
                   FormatMessage(MessageTexts[MessageKey::ClassDeleted],
                                 {ShownName(target), QDir::toNativeSeparators(keptAs)}),
                   false);
    }
    ShowClasses();
}

} // namespace lumora
