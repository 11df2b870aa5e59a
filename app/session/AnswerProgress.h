// How far the class is with the current question, for the bottom bar: how
// many named students have answered a choice question, or have written on a
// subjective one, out of how many.
//
// QtCore only (lumora_core); user-interface thread.
#pragma once

#include "config/SlotTable.h"

#include <QString>
#include <QStringView>

#include <bitset>

namespace lumora {

struct Progress {
    int done = 0;
    int total = 0;
    bool operator==(const Progress &) const = default;
};

// Choice question: students with a name in the seat layer, and how many of
// them hold an answer with at least one letter.
Progress CountAnswered(const SlotTable &table);

// Subjective question: which panes have received handwriting since the
// question started. A wipe does not take it back: the student has written.
class WritingProgress {
public:
    void Reset() { wrote_.reset(); }
    // A pen point reached pane `slot`; false when it had already written.
    bool Wrote(int slot);
    bool HasWritten(int slot) const;
    // Panes with a student's name, and how many of them have written.
    Progress Count(const SlotTable &table) const;

private:
    std::bitset<kSlotCount> wrote_;
};

// The format of AnsweredCount or WrittenCount ("已答 %1 / %2") filled in.
QString ProgressText(QStringView format, Progress progress);

} // namespace lumora
