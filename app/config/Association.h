// Binding students and tablets to seats and panes: the roster side of the
// association menu. The window shows the result on its tiles and saves the
// entries these functions report as changed.
#pragma once

#include "config/SlotTable.h"

#include <QString>

#include <vector>

namespace lumora {

// Seat association: both layers of entry index become name and id.
void AssociateSeatEntry(SlotTable &table, int index, const QString &name, uint16_t id);

// Student association of pane index: its pane layer becomes name and id. The
// student the pane showed before moves to the first other pane that showed
// name and id, so the two panes swap; nothing moves when the pane showed no
// one. Returns the entries changed, index first.
std::vector<int> AssociatePaneEntry(SlotTable &table, int index, const QString &name, uint16_t id);

// Deletes the seat binding of entry index: its seat layer is emptied, and the
// first entry whose pane layer holds the same student has it emptied too.
// Returns that entry (often index itself), or -1 when no pane held the student.
int DeleteSeatEntry(SlotTable &table, int index);

} // namespace lumora
