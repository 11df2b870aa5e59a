// The main window's settings panel and roster import.
#include "Main.h"

#include "views/GroupBar.h"
#include "config/ImportParser.h"
#include "config/Roster.h"
#include "dialogs/UnSetName.h"
#include "core/MessageTexts.h"
#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>

#include <algorithm>

namespace lumora {

namespace {

constexpr int kScreenHeight720 = 720;

int ScreenHeight() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().height() : 0;
}

// Pane counts in the order of the pane-count choice.
constexpr int kPaneChoices[] = {4, 6, 9};

// Line numbers named in one prompt at most.
constexpr qsizetype kLinesNamed = 10;

} // namespace

void TFrmMain::OpenLayoutSettings() {
    HideViews();
    ShowStudentList(false);
    pnlSet_->show();
    pnlRz_->Mark(Item(QStringLiteral("LayoutSettings")));

    for (int i = 0; i < 3; ++i) {
        if (config_.Split == kPaneChoices[i]) {
            cbb1_->setCurrentIndex(i);
        }
    }
    se1_->setValue(config_.MainLine);
    if (ScreenHeight() == kScreenHeight720) {
        se2_->setMaximum(kMaxRowsOn720Screen);
    }
    se2_->setValue(config_.MainRow);

    // Every entry of Language/ but the hidden ones, in the file system's order.
    cbb3_->clear();
    const QDir languages(QDir(dataDir_).filePath(QStringLiteral("Language")));
    cbb3_->addItems(
        languages.entryList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted));
    if (cbb3_->count() > 0) {
        cbb3_->setCurrentIndex(0);
    }
    if (config_.LanguageType >= 0 && config_.LanguageType < cbb3_->count()) {
        cbb3_->setCurrentIndex(config_.LanguageType);
    }
}

void TFrmMain::SaveLayoutSettings() {
    rzgrpMainItems0Click(Item(QStringLiteral("MainInterface")));
    const int language = cbb3_->currentIndex();
    if (language >= 0) {
        config_.LanguageType = language;
    }
    config_.MainLine = se1_->value();
    config_.MainRow = se2_->value();
    if (language >= 0 && !cbb3_->currentText().isEmpty()) {
        config_.LanguageName = cbb3_->currentText();
    }
    if (cbb1_->currentIndex() >= 0) {
        config_.Split = kPaneChoices[cbb1_->currentIndex()];
    }
    SaveConfigReported();
    LayOutGrids();
    ApplyLanguage(LanguageFilePath(dataDir_, SafeLanguageName(cbb3_->currentText())));
}

void TFrmMain::ImportRoster(const QString &chosenPath) {
    QString path = chosenPath;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), edtFilePath_->text(),
                                            QStringLiteral("*.txt"));
        if (path.isEmpty()) {
            return;
        }
    }
    edtFilePath_->setText(QDir::toNativeSeparators(path));
    if (table_.Count.load() != 0 &&
        !ShowPrompt(QStringLiteral("Warning"), MessageTexts[MessageKey::Warning1], true)) {
        return;
    }
    // Read before anything is cleared: a file that cannot be read keeps the
    // roster as it is.
    QByteArray bytes;
    FileProblem problem;
    if (ReadFileBytes(path, &bytes, &problem) != ReadStatus::Ok) {
        if (!problem.IsProblem()) { // gone since it was chosen
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            problem = {FileProblem::Unreadable, 0, file.errorString()};
        }
        ShowPrompt(QStringLiteral("Error"),
                   QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), problem.Describe()),
                   false);
        return;
    }
    const ImportParseResult result = ParseImportFile(bytes);

    // The reader thread stays off the table while it and the tiles are replaced.
    bridge_.Suspend();
    CurrentTile = nullptr;
    ApplyImport(table_, result, config_.MainLine, config_.MainRow);
    // Each student's pane shows the student's own tablet, as after loading
    // the roster file: pen points route by the pane layer.
    for (int i = 0; i < table_.Count.load(); ++i) {
        if (table_[i].CardSplitName.IsEmpty()) {
            table_[i].CardSplitName = table_[i].Name.ToString();
            table_[i].CardSplitID = table_[i].CardID.load();
        }
    }
    SeatGrid->Reload(table_, kSeatGrid);
    LiveGrid->Reload(table_, kLiveGrid);
    AnswerGrid->Reload(table_, kAnswerGrid);
    LayOutGrids();
    BindInkCanvases();
    if (table_.Count.load() > 0) {
        bridge_.SetInkSize(InkWidth, InkHeight);
    }
    bridge_.Resume();
    FillStudentList();
    // New students: nobody has written yet.
    writing_.Reset();
    UpdateProgress();

    SaveRosterReported(-1);
    if (result.Failed) {
        ShowPrompt(QStringLiteral("Error"), result.FailedLine + MessageTexts[MessageKey::Error1],
                   false);
    }
    // What the roster did not take, and names that hold what was no text.
    if (const int beyond = LinesBeyondLastSeat(result, table_.Count.load()); beyond > 0) {
        ShowPrompt(
            QStringLiteral("Warning"),
            FormatMessage(MessageTexts[MessageKey::ImportLinesIgnored], {QString::number(beyond)}),
            false);
    }
    if (!result.NotTextLines.isEmpty()) {
        // The first few tell the teacher where to look.
        QStringList lines;
        for (const int line : result.NotTextLines.first(
                 std::min<qsizetype>(result.NotTextLines.size(), kLinesNamed))) {
            lines.append(QString::number(line));
        }
        if (result.NotTextLines.size() > kLinesNamed) {
            lines.append(QStringLiteral("…"));
        }
        ShowPrompt(QStringLiteral("Warning"),
                   FormatMessage(MessageTexts[MessageKey::ImportNotText],
                                 {lines.join(QStringLiteral(", "))}),
                   false);
    }
}

} // namespace lumora
