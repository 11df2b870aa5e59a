#include "record/TermRange.h"

#include <algorithm>

namespace lumora {

TermRange CurrentTerm(const QDate &today, const std::vector<QDate> &termStarts) {
    std::vector<QDate> starts = termStarts;
    if (std::none_of(starts.begin(), starts.end(),
                     [&today](const QDate &start) { return start.isValid() && start <= today; })) {
        for (int year = today.year() - 1; year <= today.year() + 1; ++year) {
            starts.emplace_back(year, 2, 1);
            starts.emplace_back(year, 9, 1);
        }
    }
    QDate from;
    QDate next;
    for (const QDate &start : starts) {
        if (!start.isValid()) {
            continue;
        }
        if (start <= today && (!from.isValid() || start > from)) {
            from = start;
        }
        if (start > today && (!next.isValid() || start < next)) {
            next = start;
        }
    }
    return {from, next.isValid() ? next.addDays(-1) : today};
}

} // namespace lumora
