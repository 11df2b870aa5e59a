#include "support/ReplayScript.h"

#include "Geometry.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace lumora::test {

namespace {

// Records per report: the payload length byte is signed and holds whole records.
constexpr size_t kRecordsPerReport = 127 / 6;

std::vector<uint8_t> WithTablet(std::vector<uint8_t> record, uint16_t tablet) {
    record.push_back(static_cast<uint8_t>(tablet & 0xFF));
    record.push_back(static_cast<uint8_t>(tablet >> 8));
    return record;
}

std::vector<uint8_t> PositionRecord(uint16_t tablet, QPoint point, bool penUp) {
    std::array<uint8_t, 4> data{};
    // A point the tablet cannot report would make the script lie.
    EXPECT_TRUE(penlynx::EncodePositionRecord(point.x(), point.y(), penUp, data))
        << "no record for " << point.x() << "," << point.y();
    return WithTablet({data.begin(), data.end()}, tablet);
}

} // namespace

ReplayScript &ReplayScript::Wait(int ms) {
    lines_ << QStringLiteral("wait %1").arg(ms);
    return *this;
}

ReplayScript &ReplayScript::Keys(uint16_t tablet, std::initializer_list<uint8_t> codes) {
    std::vector<Record> records;
    for (uint8_t code : codes) {
        records.push_back(WithTablet({0xFF, 0xFF, 0xFF, code}, tablet));
    }
    AddReports(records);
    return *this;
}

ReplayScript &ReplayScript::Stroke(uint16_t tablet, const std::vector<QPoint> &points, bool penUp) {
    std::vector<Record> records;
    for (const QPoint &point : points) {
        records.push_back(PositionRecord(tablet, point, false));
    }
    if (penUp && !points.empty()) {
        records.push_back(PositionRecord(tablet, points.back(), true));
    }
    AddReports(records);
    return *this;
}

ReplayScript &ReplayScript::Unplug() {
    lines_ << QStringLiteral("unplug");
    return *this;
}

ReplayScript &ReplayScript::Plug() {
    lines_ << QStringLiteral("plug");
    return *this;
}

void ReplayScript::AddReports(const std::vector<Record> &records) {
    for (size_t first = 0; first < records.size(); first += kRecordsPerReport) {
        const size_t last = std::min(records.size(), first + kRecordsPerReport);
        QStringList bytes{QStringLiteral("00"),
                          QStringLiteral("%1").arg((last - first) * 6, 2, 16, QLatin1Char('0'))};
        for (size_t i = first; i < last; ++i) {
            for (uint8_t byte : records[i]) {
                bytes << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
            }
        }
        lines_ << bytes.join(QLatin1Char(' ')).toUpper();
    }
}

void ReplayScript::Save(const QString &path) const {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(Text().toUtf8());
}

std::vector<QPoint> Line(QPoint from, QPoint to, int step) {
    const QPoint delta = to - from;
    const int steps = std::max(1, static_cast<int>(std::hypot(delta.x(), delta.y()) / step));
    std::vector<QPoint> points;
    for (int i = 0; i <= steps; ++i) {
        points.push_back(from + delta * i / steps);
    }
    return points;
}

} // namespace lumora::test
