#include "session/AnswerProgress.h"

#include "core/Helpers.h"

#include <algorithm>

namespace lumora {

Progress CountAnswered(const SlotTable &table) {
    Progress progress;
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    for (int i = 0; i < count; ++i) {
        const StudentSlot &entry = table[i];
        if (entry.Name.IsEmpty()) {
            continue;
        }
        ++progress.total;
        // Bit 0 carries no letter: a mask of only that is no answer.
        if (!AnswerToLetters(entry.Answer.load()).isEmpty()) {
            ++progress.done;
        }
    }
    return progress;
}

bool WritingProgress::Wrote(int slot) {
    if (slot < 0 || slot >= kSlotCount || wrote_.test(static_cast<size_t>(slot))) {
        return false;
    }
    wrote_.set(static_cast<size_t>(slot));
    return true;
}

bool WritingProgress::HasWritten(int slot) const {
    return slot >= 0 && slot < kSlotCount && wrote_.test(static_cast<size_t>(slot));
}

Progress WritingProgress::Count(const SlotTable &table) const {
    Progress progress;
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    for (int i = 0; i < count; ++i) {
        if (table[i].PaneName().isEmpty()) {
            continue;
        }
        ++progress.total;
        progress.done += wrote_.test(static_cast<size_t>(i)) ? 1 : 0;
    }
    return progress;
}

QString ProgressText(QStringView format, Progress progress) {
    return format.toString().arg(progress.done).arg(progress.total);
}

} // namespace lumora
