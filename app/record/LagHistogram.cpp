#include "record/LagHistogram.h"

#include <algorithm>
#include <cmath>

namespace lumora {

void LagHistogram::Add(int64_t ms) {
    ms = std::clamp<int64_t>(ms, 0, kBuckets - 1);
    ++counts_[static_cast<size_t>(ms)];
    ++count_;
    max_ = std::max(max_, ms);
}

int64_t LagHistogram::Percentile(double p) const {
    if (count_ == 0) {
        return 0;
    }
    const auto wanted =
        static_cast<uint64_t>(std::ceil(std::clamp(p, 0.0, 1.0) * static_cast<double>(count_)));
    uint64_t seen = 0;
    for (int64_t ms = 0; ms < kBuckets; ++ms) {
        seen += counts_[static_cast<size_t>(ms)];
        if (seen >= std::max<uint64_t>(wanted, 1)) {
            return ms;
        }
    }
    return max_;
}

} // namespace lumora
