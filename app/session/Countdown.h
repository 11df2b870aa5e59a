// The time limit of a running question: counts down on a steady clock the
// caller gives (milliseconds), can be paused, resumed and extended, and
// expires exactly once.
//
// QtCore only; user-interface thread.
#pragma once

#include <QString>
#include <QtGlobal>

namespace lumora {

class Countdown {
public:
    // Runs for limitMs from nowMs (a limit of 0 or less runs none).
    void Start(qint64 limitMs, qint64 nowMs);
    // More time: a running countdown is extended, otherwise one starts.
    void Add(qint64 ms, qint64 nowMs);
    void Pause(qint64 nowMs);
    void Resume(qint64 nowMs);
    // Ended early (the question ended, or another began): no expiry follows.
    void Stop() { running_ = false; }

    bool Running() const { return running_; }
    bool Paused() const { return running_ && pausedAt_ >= 0; }
    qint64 RemainingMs(qint64 nowMs) const;
    // The whole limit given, with every extension.
    qint64 LimitMs() const { return limitMs_; }

    // True on the first call at or after zero while running and not paused;
    // the countdown has stopped then, so it is never true twice.
    bool Expire(qint64 nowMs);

    // "1:05": whole seconds left, rounded up, so 0:00 shows only at the end.
    static QString Format(qint64 remainingMs);

private:
    bool running_ = false;
    qint64 endsAt_ = 0;
    qint64 pausedAt_ = -1;
    qint64 limitMs_ = 0;
};

} // namespace lumora
