// Picking a student at random: among those present, or only those who
// answered, or only those who answered wrongly; never the same student twice
// in a row while another can be picked.
//
// QtCore only; user-interface thread.
#pragma once

#include "config/SlotTable.h"

#include <QString>

#include <bitset>
#include <optional>
#include <random>
#include <vector>

namespace lumora {

enum class PickAmong { Present, Answered, AnsweredWrongly };

// The entries a pick may choose, in order: named, present, and for the
// narrower choices with an answer (wrong to the key of a choice question).
std::vector<int> PickCandidates(const SlotTable &table, const std::bitset<kSlotCount> &present,
                                PickAmong among, int questionType, const QString &answerKey);

class RandomPick {
public:
    explicit RandomPick(uint32_t seed = std::random_device{}()) : random_(seed) {}
    // One of the candidates, not the one picked last unless it is the only
    // one; none without candidates.
    std::optional<int> Pick(const std::vector<int> &candidates);
    int Last() const { return last_; }

private:
    std::mt19937 random_;
    int last_ = -1;
};

} // namespace lumora
