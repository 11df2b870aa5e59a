// Decoding with callback dispatch, on full reports of 21 records.
#include "Decoder.h"
#include "Geometry.h"
#include "Receiver.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

uint64_t g_sink = 0;

void PENLYNX_CALL CountTablet(uint16_t first, uint16_t second, uint16_t id, int32_t type) {
    g_sink += first + second + id + static_cast<uint32_t>(type);
}
void PENLYNX_CALL CountState(int32_t state, int32_t, int32_t) {
    g_sink += static_cast<uint32_t>(state);
}

// Full reports of pen-down points (with a key press and a pen-up now and then)
// from tablets 1 to 100.
std::vector<penlynx::ReportBuffer> FullReports(size_t count) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int32_t> xs(200, 2800), ys(0, 2000);
    std::vector<penlynx::ReportBuffer> reports(count);
    for (auto &report : reports) {
        report.fill(0);
        report[1] = 127;
        for (int k = 0; k < penlynx::kMaxRecordsPerReport; ++k) {
            uint8_t *record = report.data() + penlynx::kRecordsOffset + k * penlynx::kRecordSize;
            const uint16_t id = static_cast<uint16_t>(1 + random() % 100);
            std::array<uint8_t, 4> data{0xFF, 0xFF, 0xFF, 3};
            if (random() % 50 != 0) {
                while (!penlynx::EncodePositionRecord(xs(random), ys(random), random() % 100 == 0,
                                                      data)) {
                }
            }
            std::copy(data.begin(), data.end(), record);
            record[4] = static_cast<uint8_t>(id);
            record[5] = static_cast<uint8_t>(id >> 8);
        }
    }
    return reports;
}

void BM_DecodeAndDispatch(benchmark::State &state) {
    penlynx::CReceiver receiver(800, 500);
    receiver.onTablet = &CountTablet;
    receiver.onState = &CountState;
    const auto reports = FullReports(256);
    size_t i = 0;
    for (auto _ : state) {
        penlynx::DispatchReport(receiver, reports[i++ & 255]);
    }
    benchmark::DoNotOptimize(g_sink);
    const double records = static_cast<double>(state.iterations()) * penlynx::kMaxRecordsPerReport;
    state.counters["records_per_second"] = benchmark::Counter(records, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeAndDispatch);

} // namespace
