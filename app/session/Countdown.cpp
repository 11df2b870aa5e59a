#include "session/Countdown.h"

#include <algorithm>

namespace lumora {

void Countdown::Start(qint64 limitMs, qint64 nowMs) {
    running_ = limitMs > 0;
    endsAt_ = nowMs + limitMs;
    pausedAt_ = -1;
    limitMs_ = running_ ? limitMs : 0;
}

void Countdown::Add(qint64 ms, qint64 nowMs) {
    if (ms <= 0) {
        return;
    }
    if (!running_) {
        Start(ms, nowMs);
        return;
    }
    endsAt_ += ms;
    limitMs_ += ms;
}

void Countdown::Pause(qint64 nowMs) {
    if (running_ && pausedAt_ < 0) {
        pausedAt_ = nowMs;
    }
}

void Countdown::Resume(qint64 nowMs) {
    if (Paused()) {
        endsAt_ += nowMs - pausedAt_;
        pausedAt_ = -1;
    }
}

qint64 Countdown::RemainingMs(qint64 nowMs) const {
    if (!running_) {
        return 0;
    }
    return std::max<qint64>(0, endsAt_ - (pausedAt_ >= 0 ? pausedAt_ : nowMs));
}

bool Countdown::Expire(qint64 nowMs) {
    if (!running_ || pausedAt_ >= 0 || nowMs < endsAt_) {
        return false;
    }
    running_ = false;
    return true;
}

QString Countdown::Format(qint64 remainingMs) {
    const qint64 seconds = (std::max<qint64>(0, remainingMs) + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace lumora
