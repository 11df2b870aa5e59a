// The days a term export covers, and the term a day falls in.
#pragma once

#include <QDate>

#include <vector>

namespace lumora {

// From and to inclusive, as lesson start days.
struct TermRange {
    QDate from;
    QDate to;
    friend bool operator==(const TermRange &, const TermRange &) = default;
};

// The term holding today: from the latest start on or before today to the
// day before the next start, or to today when no start follows. Without a
// start on or before today (none configured, or all still to come) the
// school year's usual starts, 1 September and 1 February, count as well.
TermRange CurrentTerm(const QDate &today, const std::vector<QDate> &termStarts);

} // namespace lumora
