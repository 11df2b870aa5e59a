// The reader thread end to end: latency from a report becoming available to
// its last callback returning, through the replay backend at 1000 reports of
// 21 records per second; how long SDKClear takes while the thread waits for
// a report or pauses between searches; and the simulated classroom at its
// heaviest load.
#include "Backends.h"
#include "Decoder.h"
#include "Diagnostics.h"
#include "Geometry.h"
#include "Receiver.h"
#include "ReplayBackend.h"
#include "SimClassroom.h"
#include "penlynx.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace penlynx;

constexpr int kReports = 3000; // three seconds at one report per millisecond

// Filled by the callbacks on the reader thread, read after SDKClear.
ReplayPlatform *g_replay = nullptr;
std::vector<int64_t> g_latencies; // microseconds, reserved before the run
std::atomic<int> g_records{0};
std::atomic<int> g_idle{0};

void PENLYNX_CALL OnTablet(uint16_t, uint16_t, uint16_t, int32_t) {
    const int record = g_records.fetch_add(1, std::memory_order_relaxed) + 1;
    if (record % kMaxRecordsPerReport == 0) {
        // Report i was due i ms after the script started.
        const int report = record / kMaxRecordsPerReport - 1;
        const Micros due = g_replay->StartTime() + Millis(report);
        g_latencies.push_back((SystemClock().Now() - due).count());
    }
}

void PENLYNX_CALL OnState(int32_t state, int32_t, int32_t) {
    if (state == STATE_IDLE) {
        g_idle.fetch_add(1);
    }
}

// kReports full reports of pen points from tablets 1..100, one a millisecond.
ReplayScript FullReportsEveryMillisecond() {
    ReplayScript script;
    for (int i = 0; i < kReports; ++i) {
        ReplayItem item{ReplayItem::Report, Millis(i), std::vector<uint8_t>(128, 0)};
        item.bytes[1] = kMaxRecordsPerReport * kRecordSize;
        for (int k = 0; k < kMaxRecordsPerReport; ++k) {
            const int id = 1 + (i * kMaxRecordsPerReport + k) % 100;
            std::array<uint8_t, 4> data{};
            EncodePositionRecord(400 + (i % 2000), 300 + k * 60, false, data);
            uint8_t *record = item.bytes.data() + kRecordsOffset + k * kRecordSize;
            std::copy(data.begin(), data.end(), record);
            record[4] = static_cast<uint8_t>(id);
        }
        script.push_back(std::move(item));
    }
    return script;
}

void WaitFor(const std::atomic<int> &counter, int value) {
    for (int i = 0; i < 1000 && counter.load() < value; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int64_t Percentile(std::vector<int64_t> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

void BM_ReplayReportToLastCallback(benchmark::State &state) {
    const ReplayScript script = FullReportsEveryMillisecond();
    std::vector<int64_t> all;
    for (auto _ : state) {
        g_latencies.clear();
        g_latencies.reserve(kReports);
        g_records = 0;
        SDKIni(100, 100);
        auto platform = std::make_unique<ReplayPlatform>(script, "bench", SystemClock());
        g_replay = platform.get();
        UsePlatform(*CurrentInstance(), std::move(platform));
        SDKGetID();
        SDKRegCallBack(&OnTablet, &OnState);
        WaitFor(g_records, kReports * kMaxRecordsPerReport);
        SDKClear();
        all.insert(all.end(), g_latencies.begin(), g_latencies.end());
    }
    if (all.empty()) {
        state.SkipWithError("no report arrived");
        return;
    }
    state.counters["reports"] = static_cast<double>(all.size());
    state.counters["p50_us"] = static_cast<double>(Percentile(all, 0.50));
    state.counters["p99_us"] = static_cast<double>(Percentile(all, 0.99));
    state.counters["max_us"] = static_cast<double>(Percentile(all, 1.0));
}
BENCHMARK(BM_ReplayReportToLastCallback)->Iterations(2)->Unit(benchmark::kMillisecond);

// Starts the reader on `platform`, lets it settle into what is measured,
// then times SDKClear.
template <typename Settle>
void TimeClear(benchmark::State &state, std::unique_ptr<Platform> (*makePlatform)(),
               Settle settle) {
    for (auto _ : state) {
        g_idle = 0;
        SDKIni(100, 100);
        UsePlatform(*CurrentInstance(), makePlatform());
        SDKRegCallBack(&OnTablet, &OnState);
        settle();
        const auto begin = std::chrono::steady_clock::now();
        SDKClear();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
}

// SDKClear while the reader waits for a report of a silent receiver.
void BM_ClearWhileIdleWaiting(benchmark::State &state) {
    TimeClear(
        state,
        []() -> std::unique_ptr<Platform> {
            return std::make_unique<ReplayPlatform>(ReplayScript{}, "idle", SystemClock());
        },
        [] {
            WaitFor(g_idle, 1);
            // Somewhere inside the next one-second read wait.
            std::this_thread::sleep_for(std::chrono::milliseconds(337));
        });
}
BENCHMARK(BM_ClearWhileIdleWaiting)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// SDKClear while the reader pauses between searches for a missing receiver.
void BM_ClearWhileSearching(benchmark::State &state) {
    TimeClear(state, &MakeEmptyPlatform,
              [] { std::this_thread::sleep_for(std::chrono::milliseconds(1250)); });
}
BENCHMARK(BM_ClearWhileSearching)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// One simulated second of 100 tablets all writing at 200 points per second.
void BM_SimulatedClassFullLoad(benchmark::State &state) {
    SimClassroom classroom({100, 100, 200, 1});
    std::array<uint8_t, 128> report{};
    // Past the first seconds, when everyone has started writing.
    for (int frame = 0; frame < 4000; ++frame) {
        classroom.NextFrame(report);
    }
    int64_t records = 0;
    for (auto _ : state) {
        for (int frame = 0; frame < 1000; ++frame) {
            const size_t length = classroom.NextFrame(report);
            records += length > 0 ? report[1] / kRecordSize : 0;
        }
    }
    state.counters["records_per_sim_second"] =
        static_cast<double>(records) / static_cast<double>(state.iterations());
    state.counters["dropped"] = static_cast<double>(classroom.Dropped());
}
BENCHMARK(BM_SimulatedClassFullLoad)->Unit(benchmark::kMillisecond);

} // namespace
