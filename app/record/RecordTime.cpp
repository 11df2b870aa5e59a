#include "record/RecordTime.h"

#include <chrono>

namespace lumora {

QString IsoWithOffset(const QDateTime &time) {
    const QDateTime local = time.toLocalTime();
    QString text = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
    // Qt writes a zero offset as "Z"; the record always spells the offset out.
    if (text.endsWith(u'Z')) {
        text.chop(1);
        text += QStringLiteral("+00:00");
    }
    return text;
}

int64_t SteadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace lumora
