// The main window's live handwriting view and the association menu.
#include "Main.h"

#include "config/Association.h"
#include "controls/Stdpanel.h"
#include "controls/StudentList.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"

#include <QAction>
#include <QMenu>

namespace lumora {

namespace {
const QColor kCurrentLabel(0, 0, 255);
} // namespace

void TFrmMain::lvStdMouseDown() {
    const int index = pnl2_->SelectedRow();
    if (index >= 0 && LiveGrid->GetTile(index) != nullptr) {
        // The page begins exactly at the chosen student.
        LiveGrid->LayoutPanes(config_.Split, index);
    }
}

void TFrmMain::LiveTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers,
                                 int, int) {
    TStdChannel *pressed = SelectPressedTile(LiveGrid, sender);
    if (pressed == nullptr) {
        return;
    }
    const int index = pressed->Tag();
    for (TStdChannel *tile : LiveGrid->Tiles()) {
        SetLabelColor(tile, Qt::black);
    }
    SetLabelColor(CurrentTile, kCurrentLabel);
    pnl2_->ShowRow(index);
    if (button == Qt::RightButton) {
        N2_->setVisible(false);
        N1_->setText(MessageTexts[MessageKey::Tip10]);
        n1Tag_ = 1;
        // Where the mouse is (x and y are those of the child pressed).
        pm1_->popup(pressed->LastPressAt());
    }
}

void TFrmMain::LiveTileDblClick(QObject *sender) {
    TStdChannel *pressed = SelectPressedTile(LiveGrid, sender);
    if (pressed == nullptr) {
        return;
    }
    const int index = pressed->Tag();
    if (CurrentTile->Zoomed()) {
        CurrentTile->SetZoomed(false);
        LiveGrid->LayoutPanes(LiveGrid->PaneCount(), LiveGrid->PageStart());
    } else {
        // One pane over the whole view; the page to return to is kept.
        LiveGrid->LayoutPanes(1, index);
    }
}

void TFrmMain::AssociateSeat() {
    if (CurrentTile == nullptr) {
        return;
    }
    const int index = CurrentTile->Tag();
    // While the dialog is open, a key on a tablet offers that tablet.
    struct Listening {
        DeviceBridge &bridge;
        explicit Listening(DeviceBridge &b) : bridge(b) { bridge.SetListening(true); }
        ~Listening() { bridge.SetListening(false); }
        Listening(const Listening &) = delete;
        Listening &operator=(const Listening &) = delete;
    };
    if (n1Tag_ == 0) {
        const Listening listening(bridge_);
        const auto chosen =
            AskSeatAssociation(CurrentTile->StudentName(), CurrentTile->CardID(), this, true);
        if (!chosen) {
            return;
        }
        AssociateSeatEntry(table_, index, chosen->Name, chosen->CardID);
        const QString name = table_[index].Name.ToString();
        if (TStdChannel *pane = LiveGrid->GetTile(index);
            pane != nullptr && (pane->StudentName() != name || pane->CardID() != chosen->CardID)) {
            ResetPane(index); // the pane shows another student now
        }
        for (TBGPanel *grid : {SeatGrid, LiveGrid, AnswerGrid}) {
            if (TStdChannel *tile = grid->GetTile(index)) {
                SetStudentName(tile, name);
                SetCardID(tile, chosen->CardID);
            }
        }
        const int count = table_.Count.load();
        for (int r = 0; r < count; ++r) {
            pnl2_->SetRow(r, table_[r].CardSplitName.ToString());
        }
        SaveRosterReported(index);
        return;
    }
    const Listening listening(bridge_);
    const auto chosen = AskStudentAssociation(table_, this, true);
    if (!chosen) {
        return;
    }
    // The pane takes the chosen student; the pane that showed that student
    // takes this pane's former one.
    QList<int> saved;
    for (int changed : AssociatePaneEntry(table_, index, chosen->Name, chosen->CardID)) {
        ResetPane(changed);
        const QString name = table_[changed].PaneName();
        if (TStdChannel *tile = LiveGrid->GetTile(changed)) {
            SetStudentName(tile, name);
            SetCardID(tile, table_[changed].PaneID());
        }
        pnl2_->SetRow(changed, name);
        saved.append(changed);
    }
    SaveRosterEntriesReported(saved);
    UpdateProgress();
}

void TFrmMain::DeleteAssociation() {
    if (CurrentTile == nullptr) {
        return;
    }
    if (!ShowPrompt(texts_.Value(u"AppTitle"), MessageTexts[MessageKey::Tip13], true)) {
        return;
    }
    const int index = CurrentTile->Tag();
    const int pane = DeleteSeatEntry(table_, index);
    for (TBGPanel *grid : {SeatGrid, AnswerGrid}) {
        if (TStdChannel *tile = grid->GetTile(index)) {
            SetStudentName(tile, QString());
            SetCardID(tile, 0);
        }
    }
    // The first pane that showed the student, if any, is emptied too.
    if (pane >= 0) {
        ResetPane(pane);
        if (TStdChannel *tile = LiveGrid->GetTile(pane)) {
            SetStudentName(tile, QString());
            SetCardID(tile, 0);
        }
        pnl2_->SetRow(pane, QString());
    }
    SaveRosterEntriesReported(pane >= 0 && pane != index ? QList<int>{index, pane}
                                                         : QList<int>{index});
}

} // namespace lumora
