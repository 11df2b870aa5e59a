// Latencies in whole milliseconds, kept as counts per millisecond so that a
// percentile costs no sorting and the memory stays fixed.
#pragma once

#include <array>
#include <cstdint>

namespace lumora {

class LagHistogram {
public:
    void Add(int64_t ms);
    void Clear() { *this = LagHistogram(); }
    uint64_t Count() const { return count_; }
    // The smallest lag that p (0..1) of the samples do not exceed; 0 when
    // empty. Lags at or beyond the last bucket count as that bucket.
    int64_t Percentile(double p) const;
    int64_t Max() const { return max_; }

private:
    static constexpr int64_t kBuckets = 60000;
    std::array<uint32_t, kBuckets> counts_{};
    uint64_t count_ = 0;
    int64_t max_ = 0;
};

} // namespace lumora
