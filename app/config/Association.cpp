#include "config/Association.h"

namespace lumora {

void AssociateSeatEntry(SlotTable &table, int index, const QString &name, uint16_t id) {
    StudentSlot &entry = table[index];
    entry.Name = name;
    entry.CardID = id;
    entry.CardSplitName = name;
    entry.CardSplitID = id;
}

std::vector<int> AssociatePaneEntry(SlotTable &table, int index, const QString &name, uint16_t id) {
    StudentSlot &entry = table[index];
    const QString oldName = entry.PaneName();
    const uint16_t oldId = entry.PaneID();
    // The name as the field keeps it, so the comparison below sees what the
    // other pane shows.
    const QString kept = CutToSlotText(name);
    entry.CardSplitName = kept;
    entry.CardSplitID = id;
    std::vector<int> changed{index};
    if (oldName.isEmpty()) {
        return changed;
    }
    const int count = table.Count.load();
    for (int j = 0; j < count; ++j) {
        if (j == index) {
            continue;
        }
        StudentSlot &other = table[j];
        if (other.PaneName() == kept && other.PaneID() == id) {
            other.CardSplitName = oldName;
            other.CardSplitID = oldId;
            changed.push_back(j);
            break;
        }
    }
    return changed;
}

int DeleteSeatEntry(SlotTable &table, int index) {
    StudentSlot &entry = table[index];
    const SlotText oldName = entry.Name;
    const uint16_t oldId = entry.CardID.load();
    entry.Name.Clear();
    entry.CardID = 0;
    const int count = table.Count.load();
    for (int j = 0; j < count; ++j) {
        StudentSlot &other = table[j];
        if (other.CardSplitName == oldName && other.CardSplitID.load() == oldId) {
            other.CardSplitName.Clear();
            other.CardSplitID = 0;
            return j;
        }
    }
    return -1;
}

} // namespace lumora
