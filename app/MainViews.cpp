// The main window's views: which one shows, the grids, the student list and
// the bottom bar kept in step with the table and the answer session, and the
// screen the window covers.
#include "Main.h"

#include "controls/PlanBoard.h"
#include "controls/Stdpanel.h"
#include "controls/StudentList.h"
#include "controls/WindowBars.h"
#include "core/MessageTexts.h"
#include "dialogs/SettingsPanel.h"
#include "views/ClassesView.h"
#include "views/GroupBar.h"
#include "views/HelpView.h"
#include "views/HistoryView.h"
#include "views/QuestionSetsView.h"

#include <QAction>
#include <QDateTime>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

namespace lumora {

TGroupItem *TFrmMain::Item(const QString &key) const {
    return pnlRz_->Item(key);
}

void TFrmMain::ShowStudentList(bool shown) {
    pnl2_->setFixedWidth(shown ? TStudentList::kWidth : 0);
    pnl2_->setVisible(shown);
    img3_->setVisible(shown);
}

void TFrmMain::HideViews() {
    for (QWidget *view :
         {static_cast<QWidget *>(SeatGrid), static_cast<QWidget *>(LiveGrid),
          static_cast<QWidget *>(AnswerGrid), pnlDraw_, static_cast<QWidget *>(pnlSet_),
          static_cast<QWidget *>(pnlHistory_), static_cast<QWidget *>(pnlClasses_),
          static_cast<QWidget *>(pnlSets_), static_cast<QWidget *>(pnlHelp_)}) {
        if (view != nullptr) {
            view->hide();
        }
    }
    pnlRz_->ClearMarks(kSettingsSet);
    // Page keys belong to the grids and the live view only.
    for (QShortcut *shortcut : pageShortcuts_) {
        shortcut->setEnabled(false);
    }
}

void TFrmMain::ShowTime() {
    pnlbottom_->ShowTime(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void TFrmMain::UpdatePresence() {
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        // Taken and cleared in one step, so an event between the two is not lost.
        const bool seen = table_[i].Seen.exchange(0) == 1;
        present_.set(static_cast<size_t>(i), seen);
        if (TStdChannel *tile = SeatGrid->GetTile(i)) {
            SetLinkPicture(tile, seen, kSeatGrid);
        }
    }
}

void TFrmMain::UpdateProgress() {
    const auto progress = answers_.CurrentProgress();
    if (!progress) {
        pnlbottom_->ShowProgress(QString());
        return;
    }
    const MessageKey format = answers_.QuestionType() == kQuestionSubjective
                                  ? MessageKey::WrittenCount
                                  : MessageKey::AnsweredCount;
    pnlbottom_->ShowProgress(ProgressText(MessageTexts[format], *progress));
}

void TFrmMain::UpdateWritingMarks() {
    if (LiveGrid == nullptr) {
        return;
    }
    const qint64 now = inkClock_.elapsed();
    for (TStdChannel *tile : LiveGrid->Tiles()) {
        tile->SetWriting(answers_.WritingNow(tile->Tag(), now));
    }
}

void TFrmMain::ResetPane(int index) {
    if (TStdChannel *tile = LiveGrid->GetTile(index)) {
        AdvancePenState(tile, false);
        tile->ClearInk();
        tile->SetWriting(false);
    }
}

void TFrmMain::FillStudentList() {
    QStringList names;
    for (TStdChannel *tile : LiveGrid->Tiles()) {
        names.append(tile->StudentName());
    }
    pnl2_->Fill(names);
}

void TFrmMain::LayOutGrids() {
    SeatGrid->LayoutGrid(config_.MainLine, 0, config_.MainRow);
    LiveGrid->LayoutPanes(config_.Split, 0);
    AnswerGrid->LayoutGrid(config_.MainLine, 0, config_.MainRow);
}

void TFrmMain::BindInkCanvases() {
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        TStdChannel *tile = LiveGrid->GetTile(i);
        table_[i].InkCanvas = tile != nullptr ? tile->InkImage() : nullptr;
    }
}

void TFrmMain::ReloadGrids() {
    SeatGrid->Reload(table_, kSeatGrid);
    LiveGrid->Reload(table_, kLiveGrid);
    AnswerGrid->Reload(table_, kAnswerGrid);
    LayOutGrids();
    BindInkCanvases();
}

TStdChannel *TFrmMain::SelectPressedTile(TBGPanel *grid, QObject *sender) {
    // Presses on the panel between the tiles come with the panel as sender.
    auto *tile = qobject_cast<TStdChannel *>(sender);
    if (tile == nullptr) {
        return nullptr;
    }
    grid->SelectTile(tile->Tag());
    CurrentTile = grid->GetTile(tile->Tag());
    return CurrentTile;
}

void TFrmMain::SeatTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers,
                                 int, int) {
    TStdChannel *tile = SelectPressedTile(SeatGrid, sender);
    if (tile == nullptr) {
        return;
    }
    N2_->setVisible(true);
    if (button == Qt::RightButton) {
        N2_->setVisible(!CurrentTile->StudentName().isEmpty());
        N1_->setText(MessageTexts[MessageKey::Tip2]);
        n1Tag_ = 0;
        // Where the mouse is (x and y are those of the child pressed).
        pm1_->popup(tile->LastPressAt());
    }
}

void TFrmMain::AnswerTileMouseDown(QObject *sender, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                   int) {
    SelectPressedTile(AnswerGrid, sender);
}

QScreen *TFrmMain::ScreenToStartOn() const {
    const QList<QScreen *> screens = QGuiApplication::screens();
    QStringList names;
    for (const QScreen *screen : screens) {
        names.append(screen->name());
    }
    const int index = StartScreen(
        names, prefs_.Screen, static_cast<int>(screens.indexOf(QGuiApplication::primaryScreen())));
    return index >= 0 && index < screens.size() ? screens[index] : QGuiApplication::primaryScreen();
}

void TFrmMain::MoveToNextScreen() {
    const QList<QScreen *> screens = QGuiApplication::screens();
    const int next =
        NextScreen(static_cast<int>(screens.size()), static_cast<int>(screens.indexOf(screen())));
    if (next < 0 || screens[next] == screen()) {
        return; // one screen: the window stays
    }
    QScreen *target = screens[next];
    setScreen(target);
    setGeometry(target->geometry());
    if (pnlSet_->isVisible()) {
        pnlSet_->ShowScreen(next, static_cast<int>(screens.size()));
    }
    prefs_.Screen = target->name();
    SavePreferencesReported();
}

void TFrmMain::FitViews() {
    // The view area without the side bar, as the start-up measures it.
    const bool listShown = !pnl2_->isHidden();
    ShowStudentList(false);
    layout()->activate();
    // A running set's band takes the top of the area.
    if (planBoard_ != nullptr && !planBoard_->isHidden()) {
        planBoard_->FitTo(pnlBG_->size());
    }
    const int top = planBoard_ != nullptr && !planBoard_->isHidden() ? planBoard_->height() : 0;
    const QSize area = pnlBG_->size() - QSize(0, top);
    SeatGrid->setGeometry(0, top, area.width(), area.height());
    AnswerGrid->setGeometry(0, top, area.width(), area.height());
    LiveGrid->setGeometry(0, top, area.width() - TStudentList::kWidth - img3_->width(),
                          area.height());
    pnlDraw_->setGeometry(0, top, area.width(), area.height());
    pnlSet_->move((area.width() - pnlSet_->width()) / 2, (area.height() - pnlSet_->height()) / 2);
    for (TBGPanel *grid : {SeatGrid, AnswerGrid}) {
        const int page = grid->GridPage();
        grid->LayoutGrid(config_.MainLine, 0, config_.MainRow);
        grid->SetGridPage(page);
    }
    const auto &panes = LiveGrid->Tiles();
    const auto zoomed = std::find_if(panes.begin(), panes.end(),
                                     [](const TStdChannel *pane) { return pane->Zoomed(); });
    if (zoomed != panes.end()) {
        LiveGrid->LayoutPanes(1, (*zoomed)->Tag());
    } else {
        LiveGrid->LayoutPanes(LiveGrid->PaneCount(), LiveGrid->PageStart());
    }
    ShowStudentList(listShown);
}

} // namespace lumora
