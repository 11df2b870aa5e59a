// Times of the lesson record: wall-clock ISO 8601 with the local offset
// ("2024-05-06T09:41:07.250+08:00"), and the steady clock the producers stamp
// events with.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace lumora {

QString IsoWithOffset(const QDateTime &time);

// Steady clock in nanoseconds (monotonic; unaffected by clock changes).
int64_t SteadyNowNs();

} // namespace lumora
