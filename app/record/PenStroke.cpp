#include "record/PenStroke.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace lumora {

void AppendPenPoint(QByteArray &points, int64_t ms, int x, int y) {
    uchar bytes[kPenPointBytes];
    qToLittleEndian(
        static_cast<uint32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<uint32_t>::max())),
        bytes);
    qToLittleEndian(static_cast<int16_t>(std::clamp(x, -32768, 32767)), bytes + 4);
    qToLittleEndian(static_cast<int16_t>(std::clamp(y, -32768, 32767)), bytes + 6);
    points.append(reinterpret_cast<const char *>(bytes), kPenPointBytes);
}

std::vector<PenSample> UnpackPenPoints(const QByteArray &points) {
    std::vector<PenSample> samples;
    const auto *bytes = reinterpret_cast<const uchar *>(points.constData());
    for (qsizetype at = 0; at + kPenPointBytes <= points.size(); at += kPenPointBytes) {
        const uint32_t ms = qFromLittleEndian<uint32_t>(bytes + at);
        samples.push_back(
            {static_cast<int>(std::min<uint32_t>(ms, std::numeric_limits<int>::max())),
             qFromLittleEndian<int16_t>(bytes + at + 4), qFromLittleEndian<int16_t>(bytes + at + 6),
             true});
    }
    return samples;
}

} // namespace lumora
