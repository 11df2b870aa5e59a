// Replay files for the receiver's replay backend, written the way a receiver
// reports: key records and position records of tablets, waits, unplug and plug.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace lumora::test {

class ReplayScript {
public:
    // A pause before the next item, in milliseconds of script time.
    ReplayScript &Wait(int ms);
    // One report with a key record per code, in order. Receiver code 7 is the
    // clear key, which the program sees as key 9.
    ReplayScript &Keys(uint16_t tablet, std::initializer_list<uint8_t> codes);
    // Pen-down records through the tablet points (tenths of the length unit,
    // 0..2800 across, 0..2000 down), then a pen-up record at the last point
    // unless the pen stays down (a stroke cut off).
    ReplayScript &Stroke(uint16_t tablet, const std::vector<QPoint> &points, bool penUp = true);
    ReplayScript &Unplug();
    ReplayScript &Plug();

    QString Text() const { return lines_.join(QLatin1Char('\n')) + QLatin1Char('\n'); }
    // Writes the script; fails the calling test when it cannot.
    void Save(const QString &path) const;

    // The clear key as the receiver sends it.
    static constexpr uint8_t kClearCode = 7;

private:
    using Record = std::vector<uint8_t>;
    void AddReports(const std::vector<Record> &records);

    QStringList lines_;
};

// Points from `from` to `to` about `step` tenths apart, both ends included.
std::vector<QPoint> Line(QPoint from, QPoint to, int step = 40);

} // namespace lumora::test
