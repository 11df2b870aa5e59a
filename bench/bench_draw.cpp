// Pen points per second through SDKDraw: straight into memory, and through a
// surface whose every pixel read and write is an indirect call.
#include "PixelSurface.h"
#include "Receiver.h"
#include "Strokes.h"
#include "penlynx.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 500;

const std::vector<bench::PenPoint> &Strokes() {
    static const auto strokes = bench::HandwritingStrokes(kWidth, kHeight, 100000);
    return strokes;
}

void BM_DrawIntoMemorySurface(benchmark::State &state) {
    SDKIni(kWidth, kHeight);
    std::vector<uint32_t> pixels(kWidth * kHeight, 0xFFFFFFFF);
    PenlynxSurface surface{pixels.data(), kWidth, kHeight, kWidth * 4};
    size_t i = 0;
    const auto &strokes = Strokes();
    for (auto _ : state) {
        const auto &p = strokes[i];
        benchmark::DoNotOptimize(SDKDraw(0, &surface, p.x, p.y, p.kind));
        if (++i == strokes.size()) {
            i = 0;
            std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFF);
        }
    }
    state.counters["points_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    SDKClear();
}
BENCHMARK(BM_DrawIntoMemorySurface);

// Every pixel access is a virtual call, as on a device context without direct access.
class IndirectSurface final : public penlynx::PixelSurface {
public:
    explicit IndirectSurface(std::vector<uint32_t> &pixels) : pixels_(pixels) {}
    uint32_t Read(int32_t px, int32_t py) override {
        if (px < 0 || py < 0 || px >= kWidth || py >= kHeight) {
            return 0;
        }
        return pixels_[static_cast<size_t>(py * kWidth + px)] & 0xFFFFFF;
    }
    void Write(int32_t px, int32_t py, uint32_t rgb) override {
        if (px >= 0 && py >= 0 && px < kWidth && py < kHeight) {
            pixels_[static_cast<size_t>(py * kWidth + px)] = rgb | 0xFF000000;
        }
    }

private:
    std::vector<uint32_t> &pixels_;
};

void BM_DrawThroughPerPixelCalls(benchmark::State &state) {
    SDKIni(kWidth, kHeight);
    penlynx::CReceiver &receiver = *penlynx::CurrentInstance();
    std::vector<uint32_t> pixels(kWidth * kHeight, 0xFFFFFFFF);
    IndirectSurface surface(pixels);
    penlynx::PixelSurface *perPixel = &surface;
    const penlynx::DrawTarget target = perPixel;
    size_t i = 0;
    const auto &strokes = Strokes();
    for (auto _ : state) {
        const auto &p = strokes[i];
        penlynx::DrawForSlot(receiver, 0, target, p.x, p.y, p.kind);
        if (++i == strokes.size()) {
            i = 0;
            std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFF);
        }
    }
    benchmark::DoNotOptimize(pixels.data());
    state.counters["points_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    SDKClear();
}
BENCHMARK(BM_DrawThroughPerPixelCalls);

} // namespace
