// The main window from the keyboard: shortcuts of the navigation items, page
// keys of the grids and the live view, zooming a pane and returning from it,
// the window to the next screen.
#include "Main.h"

#include "controls/Stdpanel.h"
#include "controls/StudentList.h"
#include "dialogs/SettingsPanel.h"
#include "views/GroupBar.h"

#include <QShortcut>

#include <algorithm>

namespace lumora {

void TFrmMain::BuildShortcuts() {
    // The items' keys, shown in their tooltips.
    const std::pair<const char *, QKeySequence> items[] = {
        {"MainInterface", QKeySequence(Qt::CTRL | Qt::Key_1)},
        {"LiveView", QKeySequence(Qt::CTRL | Qt::Key_2)},
        {"Statisticalresults", QKeySequence(Qt::CTRL | Qt::Key_3)},
        {"SingleChoice", QKeySequence(Qt::Key_F5)},
        {"multipleChoice", QKeySequence(Qt::Key_F6)},
        {"EssayQuestion", QKeySequence(Qt::Key_F7)},
        {"NotStarted", QKeySequence(Qt::Key_F8)},
        {"UnderWay", QKeySequence(Qt::Key_F9)},
        {"AlreadyOver", QKeySequence(Qt::Key_F10)},
        {"LayoutSettings", QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {"LessonHistory", QKeySequence(Qt::CTRL | Qt::Key_4)},
        {"Quit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const auto &[key, keys] : items) {
        TGroupItem *item = Item(QString::fromLatin1(key));
        item->SetShortcut(keys);
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, item, &TGroupItem::Click);
    }
    // Headings and the item without an action do not look clickable.
    for (const char *key : {"TopicsType", "AnswerState", "QuestionsEdit"}) {
        Item(QString::fromLatin1(key))->SetActive(false);
    }
    // Page keys: they go to the grid or live view shown, never to a list or
    // a field of the settings panel (see PageKey).
    const std::pair<int, int> pageKeys[] = {
        {Qt::Key_PageUp, -1},  {Qt::Key_Left, -1}, {Qt::Key_Up, -1},
        {Qt::Key_PageDown, 1}, {Qt::Key_Right, 1}, {Qt::Key_Down, 1},
    };
    for (const auto &[key, step] : pageKeys) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { PageKey(step); });
        pageShortcuts_.push_back(shortcut);
    }
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, &TFrmMain::ZoomSelectedPane);
        pageShortcuts_.push_back(shortcut);
    }
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TFrmMain::ReturnFromZoom);
    pageShortcuts_.push_back(escape);
    // The window to the next screen, from every view (shown in the tooltip
    // of the settings panel's button); a text field keeps the key for
    // selecting words.
    const QKeySequence nextScreen(Qt::CTRL | Qt::SHIFT | Qt::Key_Right);
    auto *move = new QShortcut(nextScreen, this);
    connect(move, &QShortcut::activated, this, &TFrmMain::MoveToNextScreen);
    pnlSet_->SetNextScreenKeys(nextScreen);
}

void TFrmMain::PageKey(int step) {
    if (!started_) {
        return;
    }
    if (LiveGrid->isVisible()) {
        LivePage(step);
        return;
    }
    for (TBGPanel *grid : {SeatGrid, AnswerGrid}) {
        if (grid->isVisible()) {
            grid->SetGridPage(grid->GridPage() + step);
            return;
        }
    }
}

namespace {
// The pane shown alone, or -1.
int ZoomedPane(const TBGPanel &grid) {
    for (const TStdChannel *tile : grid.Tiles()) {
        if (tile->Zoomed()) {
            return tile->Tag();
        }
    }
    return -1;
}
} // namespace

void TFrmMain::LivePage(int step) {
    const int count = LiveGrid != nullptr ? LiveGrid->TileCount() : 0;
    if (!started_ || count == 0) {
        return;
    }
    int shown = ZoomedPane(*LiveGrid);
    if (shown >= 0) {
        // One pane alone: the neighbouring student, alone as well.
        shown = std::clamp(shown + step, 0, count - 1);
        LiveGrid->LayoutPanes(1, shown);
        LiveGrid->SelectTile(shown);
        CurrentTile = LiveGrid->GetTile(shown);
    } else {
        const int panes = std::max(LiveGrid->PaneCount(), 1);
        // Forward only while students remain; back to the very first.
        if (step > 0 && LiveGrid->PageStart() + panes >= count) {
            return;
        }
        shown = std::clamp(LiveGrid->PageStart() + step * panes, 0, count - 1);
        LiveGrid->LayoutPanes(panes, shown);
    }
    // The list follows: the first student of the page, or the one alone.
    pnl2_->ShowRow(shown);
}

void TFrmMain::ZoomSelectedPane() {
    if (!started_ || !LiveGrid->isVisible()) {
        return;
    }
    int index = LiveGrid->SelectedIndex();
    const TStdChannel *selected = LiveGrid->GetTile(index);
    if (selected == nullptr || !selected->Shown()) {
        index = LiveGrid->PageStart(); // nothing on the page selected: its first pane
    }
    if (TStdChannel *tile = LiveGrid->GetTile(index); tile != nullptr && !tile->Zoomed()) {
        LiveGrid->SelectTile(index);
        CurrentTile = tile;
        LiveGrid->LayoutPanes(1, index);
        pnl2_->ShowRow(index);
    }
}

void TFrmMain::ReturnFromZoom() {
    if (!started_ || !LiveGrid->isVisible()) {
        return;
    }
    if (TStdChannel *tile = LiveGrid->GetTile(ZoomedPane(*LiveGrid))) {
        tile->SetZoomed(false);
        LiveGrid->LayoutPanes(LiveGrid->PaneCount(), LiveGrid->PageStart());
    }
}

} // namespace lumora
