// SDKDraw into device contexts: through GDI one pixel at a time (a
// device-dependent bitmap) against straight into the bits of a 32-bit DIB
// section, on the same handwriting, the two in alternation. Writes
// Google-Benchmark-style JSON to the file --benchmark_out names and the
// figures to stdout. Real time is the measure: under Wine the GDI path also
// waits for the server, which the process's CPU time leaves out.
#include "Strokes.h"
#include "Surfaces.h"
#include "penlynx.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 500;
constexpr size_t kPoints = 20000;
// Drawn in parts of this many points, each by a fresh instance.
constexpr size_t kPartPoints = 2000;
// The per-pixel path is timed for at least this long, in whole cycles over
// the parts; the direct path as long.
constexpr double kMinSeconds = 2.0;

using wincheck::Bitmap;
using wincheck::BitmapKind;

struct Result {
    const char *name = "";
    size_t iterations = 0; // pen points drawn
    double realSeconds = 0;
    double cpuSeconds = 0;
    std::vector<uint32_t> firstPass = {};
};

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

// One pass: part of the strokes drawn onto a white canvas by a fresh instance.
void Pass(Result &result, Bitmap &canvas, const bench::PenPoint *points, size_t count) {
    canvas.Fill(RGB(255, 255, 255));
    SDKIni(kWidth, kHeight);
    const double cpuStart = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < count; ++i) {
        SDKDraw(0, canvas.dc(), points[i].x, points[i].y, points[i].kind);
    }
    GdiFlush();
    result.realSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.cpuSeconds += ProcessCpuSeconds() - cpuStart;
    result.iterations += count;
    SDKClear();
    if (result.firstPass.empty()) {
        result.firstPass = canvas.Words();
    }
}

// Both paths in alternation, part by part, each round as long on the one as
// on the other, so that whatever else the machine does weighs on both alike.
std::vector<Result> Measure(const std::vector<bench::PenPoint> &points) {
    Result gdi{"BM_DrawThroughGdiPerPixel"};
    Result dib{"BM_DrawIntoDibSection"};
    Bitmap gdiCanvas(BitmapKind::DeviceDependent, kWidth, kHeight);
    Bitmap dibCanvas(BitmapKind::Dib32TopDown, kWidth, kHeight);
    const size_t parts = points.size() / kPartPoints;
    // Whole cycles over the parts, so that each weighs alike.
    for (size_t round = 0; gdi.realSeconds < kMinSeconds || round % parts != 0; ++round) {
        const bench::PenPoint *part = points.data() + (round % parts) * kPartPoints;
        const double before = gdi.realSeconds;
        Pass(gdi, gdiCanvas, part, kPartPoints);
        const double until = dib.realSeconds + (gdi.realSeconds - before);
        while (dib.realSeconds < until) {
            Pass(dib, dibCanvas, part, kPartPoints);
        }
    }
    return {gdi, dib};
}

void WriteJson(std::FILE *out, const std::vector<Result> &results) {
    char date[64];
    const std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", std::localtime(&now));
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    std::fprintf(
        out,
        "{\n  \"context\": {\n    \"date\": \"%s\",\n    \"executable\": "
        "\"bench_dc_draw.exe\",\n    \"num_cpus\": %lu,\n    \"library_build_type\": "
        "\"release\",\n    \"points\": %zu,\n    \"points_per_pass\": %zu,\n    \"bitmap\": "
        "\"%dx%d\"\n  },\n"
        "  \"benchmarks\": [\n",
        date, system.dwNumberOfProcessors, kPoints, kPartPoints, kWidth, kHeight);
    for (size_t i = 0; i < results.size(); ++i) {
        const Result &r = results[i];
        const double n = static_cast<double>(r.iterations);
        std::fprintf(out,
                     "    {\n      \"name\": \"%s\",\n      \"run_name\": \"%s\",\n      "
                     "\"run_type\": \"iteration\",\n      \"iterations\": %zu,\n      "
                     "\"real_time\": %.3f,\n      \"cpu_time\": %.3f,\n      \"time_unit\": "
                     "\"ns\",\n      \"points_per_second\": %.1f\n    }%s\n",
                     r.name, r.name, r.iterations, r.realSeconds * 1e9 / n, r.cpuSeconds * 1e9 / n,
                     n / r.realSeconds, i + 1 < results.size() ? "," : "");
    }
    std::fprintf(out, "  ]\n}\n");
}

} // namespace

int main(int argc, char **argv) {
    const char *outPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char *prefix = "--benchmark_out=";
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) {
            outPath = argv[i] + std::strlen(prefix);
        } else {
            std::fprintf(stderr, "usage: bench_dc_draw [--benchmark_out=FILE]\n");
            return 2;
        }
    }
    const auto points = bench::HandwritingStrokes(kWidth, kHeight, kPoints);
    const std::vector<Result> results = Measure(points);
    for (const Result &r : results) {
        const double n = static_cast<double>(r.iterations);
        std::printf("%-28s %10.0f ns per point %12.0f points/s (%zu points)\n", r.name,
                    r.realSeconds * 1e9 / n, n / r.realSeconds, r.iterations);
    }
    const auto speedUp = [&](double Result::*seconds) {
        return (results[1].iterations / (results[1].*seconds)) /
               (results[0].iterations / (results[0].*seconds));
    };
    std::printf("DIB section / GDI: %.1f times as fast (%.1f in CPU time); same pixels: %s\n",
                speedUp(&Result::realSeconds), speedUp(&Result::cpuSeconds),
                results[0].firstPass == results[1].firstPass ? "yes" : "NO");
    if (outPath != nullptr) {
        std::FILE *out = std::fopen(outPath, "w");
        if (out == nullptr) {
            std::fprintf(stderr, "bench_dc_draw: cannot write %s\n", outPath);
            return 1;
        }
        WriteJson(out, results);
        std::fclose(out);
        std::printf("JSON written to %s\n", outPath);
    }
    return results[0].firstPass == results[1].firstPass ? 0 : 1;
}
