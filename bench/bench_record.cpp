// The lesson record under a classroom's load: 100 tablets writing 20 000 pen
// points per second for several seconds, key presses of the whole class, and
// the writer's capacity when flooded.
//
// Counters: events recorded per second, the writer's lag (queued ->
// committed, p50/p99/max in ms), events dropped, and what one call costs the
// producer (the reader thread in the program), mean and p99 in ns.
#include "config/SlotTable.h"
#include "record/Recorder.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace lumora;
using Clock = std::chrono::steady_clock;

void FillClass(SlotTable &table) {
    table.Clear();
    for (int i = 0; i < kSlotCount; ++i) {
        table[i].Name = QStringLiteral("student %1").arg(i + 1);
        table[i].CardID = static_cast<uint16_t>(i + 1);
        table[i].CardSplitID = static_cast<uint16_t>(i + 1);
    }
    table.SetCount(kSlotCount);
}

void Report(benchmark::State &state, const Recorder &recorder, std::vector<int64_t> costs) {
    const RecorderCounters counters = recorder.Counters();
    state.counters["events_per_s"] = counters.eventsPerSecond;
    state.counters["recorded"] = static_cast<double>(counters.recorded);
    state.counters["dropped"] = static_cast<double>(counters.dropped);
    state.counters["commits"] = static_cast<double>(counters.commits);
    state.counters["lag_p50_ms"] = static_cast<double>(counters.lagP50Ms);
    state.counters["lag_p99_ms"] = static_cast<double>(counters.lagP99Ms);
    state.counters["lag_max_ms"] = static_cast<double>(counters.lagMaxMs);
    if (!costs.empty()) {
        double sum = 0;
        for (const int64_t cost : costs) {
            sum += static_cast<double>(cost);
        }
        std::sort(costs.begin(), costs.end());
        state.counters["push_mean_ns"] = sum / static_cast<double>(costs.size());
        state.counters["push_p99_ns"] = static_cast<double>(costs[costs.size() * 99 / 100]);
        state.counters["push_max_ns"] = static_cast<double>(costs.back());
    }
}

// A subjective question of 100 writing students at 20 000 points per second,
// paced in 1 ms frames like the receiver, with a pen-up per stroke, then a
// choice question that the whole class answers at once.
void BM_RecordClassroom(benchmark::State &state) {
    const int seconds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QTemporaryDir dir;
        SlotTable table;
        FillClass(table);
        Recorder recorder(dir.path());
        recorder.Start();
        recorder.QuestionStarted(2, QString(), table);
        std::vector<int64_t> costs;
        costs.reserve(static_cast<size_t>(seconds) * 21000);
        const Clock::time_point start = Clock::now();
        for (int frame = 0; frame < seconds * 1000; ++frame) {
            for (int i = 0; i < 20; ++i) {
                const int slot = (frame * 20 + i) % kSlotCount;
                const Clock::time_point before = Clock::now();
                if (frame % 50 == 49 && i < 5) {
                    recorder.PenUp(slot);
                } else {
                    recorder.PenPoint(slot, frame % 400, i * 10);
                }
                costs.push_back((Clock::now() - before).count());
            }
            std::this_thread::sleep_until(start + std::chrono::milliseconds(frame + 1));
        }
        recorder.QuestionEnded(2, QString(), table);
        recorder.QuestionStarted(1, QStringLiteral("AB"), table);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const Clock::time_point before = Clock::now();
            recorder.KeyPressed(slot, 1, 2);
            costs.push_back((Clock::now() - before).count());
        }
        recorder.QuestionEnded(1, QStringLiteral("AB"), table);
        recorder.Stop();
        Report(state, recorder, std::move(costs));
    }
}
BENCHMARK(BM_RecordClassroom)->Arg(5)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The writer's capacity: a backlog of pen points queued at once.
void BM_RecordFlood(benchmark::State &state) {
    const int points = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QTemporaryDir dir;
        SlotTable table;
        FillClass(table);
        Recorder recorder(dir.path());
        recorder.Start();
        recorder.QuestionStarted(2, QString(), table);
        for (int i = 0; i < points; ++i) {
            recorder.PenPoint(i % kSlotCount, i % 400, i % 300);
        }
        recorder.Stop();
        Report(state, recorder, {});
    }
}
BENCHMARK(BM_RecordFlood)->Arg(200000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
