// penlynx-monitor: registers with the receiver library and prints what it
// reports, one line per state change and tablet event, or a summary per
// second. The first thing to run when a classroom says the tablets do not work.
#include "LumoraVersion.h"
#include "penlynx.h"

#include <algorithm>
#include <atomic>
#include <bitset>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_interrupted = 0;

void OnSignal(int) {
    g_interrupted = 1;
}

struct Options {
    bool summary = false;
    bool time = false;
    double seconds = 0; // 0: until interrupted
};

// What the callbacks saw in the current second.
struct Second {
    int keys = 0;
    int points = 0;
    int strokes = 0;
    int states = 0;
    std::bitset<65536> heard, answering, writing;
};

Options g_options;
SteadyClock::time_point g_start;
std::mutex g_mutex;
Second g_second;
std::atomic<int> g_state{-1};

const char *StateName(int32_t state) {
    switch (state) {
    case STATE_DISCONNECTED:
        return "disconnected";
    case STATE_IDLE:
        return "idle";
    case STATE_RECEIVING:
        return "receiving";
    default:
        return "unknown";
    }
}

// Prints one line, with the time since start first when asked for.
template <typename... Args> void Line(const char *format, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    if (g_options.time) {
        const double elapsed = std::chrono::duration<double>(SteadyClock::now() - g_start).count();
        std::printf("%9.3f %s\n", elapsed, text);
    } else {
        std::printf("%s\n", text);
    }
}

void PENLYNX_CALL OnState(int32_t state, int32_t, int32_t) {
    g_state = state;
    {
        std::lock_guard lock(g_mutex);
        ++g_second.states;
    }
    Line("state %d %s", state, StateName(state));
}

void PENLYNX_CALL OnTablet(uint16_t first, uint16_t second, uint16_t id, int32_t type) {
    {
        std::lock_guard lock(g_mutex);
        g_second.heard.set(id);
        if (type == EVENT_KEY) {
            ++g_second.keys;
            g_second.answering.set(id);
        } else if (type == EVENT_PEN_DOWN) {
            ++g_second.points;
            g_second.writing.set(id);
        } else if (type == EVENT_PEN_UP) {
            ++g_second.strokes;
        }
    }
    if (g_options.summary) {
        return;
    }
    switch (type) {
    case EVENT_KEY:
        Line("tablet %u key %u", id, first);
        break;
    case EVENT_PEN_DOWN:
        Line("tablet %u pen-down %u %u", id, first, second);
        break;
    case EVENT_PEN_UP:
        Line("tablet %u pen-up %u %u", id, first, second);
        break;
    case EVENT_MARKER:
        Line("tablet %u marker %u %u", id, first, second);
        break;
    case EVENT_SIGNAL:
        Line("tablet %u signal", id);
        break;
    default:
        Line("tablet %u event %d %u %u", id, type, first, second);
        break;
    }
}

void PrintSummary(int second) {
    Second seen;
    {
        std::lock_guard lock(g_mutex);
        seen = g_second;
        g_second = Second();
    }
    const int state = g_state;
    Line("second %d: %s, %zu tablets heard, %d keys from %zu tablets, %d pen points and %d "
         "strokes from %zu tablets",
         second, state < 0 ? "searching" : StateName(state), seen.heard.count(), seen.keys,
         seen.answering.count(), seen.points, seen.strokes, seen.writing.count());
}

const char *SearchMeaning(int result) {
    switch (result) {
    case PENLYNX_SEARCH_NO_LIST:
        return "the list of HID interfaces cannot be obtained";
    case PENLYNX_SEARCH_NO_PATH:
        return "an interface path cannot be read";
    case PENLYNX_SEARCH_NONE:
        return "no receiver found; searching every second";
    case PENLYNX_SEARCH_FOUND:
        return "receiver found";
    default:
        return "the library could not start";
    }
}

void Usage(std::FILE *to) {
    std::fprintf(to,
                 "usage: penlynx-monitor [--summary] [--time] [--seconds N] | --version\n"
                 "Prints the receiver's state changes and every tablet event, one per line.\n"
                 "  --summary    state changes and one summary line per second instead of events\n"
                 "  --time       start each line with the seconds since start\n"
                 "  --seconds N  stop after N seconds (default: until Ctrl+C)\n"
                 "  --version    print the version and stop\n"
                 "The receiver comes from PENLYNX_RECEIVER: hid (default), sim[:tablets=N,\n"
                 "writing=N,rate=N,seed=N] or replay:FILE; PENLYNX_CAPTURE=FILE records it.\n");
}

bool ParseArguments(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--summary") == 0) {
            g_options.summary = true;
        } else if (std::strcmp(arg, "--time") == 0) {
            g_options.time = true;
        } else if (std::strcmp(arg, "--seconds") == 0 && i + 1 < argc) {
            char *end = nullptr;
            g_options.seconds = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(g_options.seconds > 0)) {
                std::fprintf(stderr, "penlynx-monitor: --seconds needs a positive number\n");
                return false;
            }
        } else if (std::strcmp(arg, "--version") == 0) {
            std::printf("penlynx-monitor %s\n", LUMORA_VERSION);
            std::exit(0);
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            Usage(stdout);
            std::exit(0);
        } else {
            std::fprintf(stderr, "penlynx-monitor: unknown argument '%s'\n", arg);
            Usage(stderr);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (!ParseArguments(argc, argv)) {
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    g_start = SteadyClock::now();

    if (SDKIni(800, 600) != 1) {
        std::fprintf(stderr, "penlynx-monitor: the library cannot be initialised\n");
        return 1;
    }
    const int found = SDKGetID();
    std::fprintf(stderr, "penlynx-monitor: search result %d: %s\n", found, SearchMeaning(found));
    if (SDKRegCallBack(&OnTablet, &OnState) != 2) {
        std::fprintf(stderr, "penlynx-monitor: the reader thread cannot be started\n");
        SDKClear();
        return 1;
    }
    // A time beyond what the clock can count (1e10 seconds overflows its
    // nanoseconds) means until interrupted.
    const double reach =
        std::chrono::duration<double>(SteadyClock::time_point::max() - g_start).count();
    const auto end = g_options.seconds > 0 && g_options.seconds < reach
                         ? g_start + std::chrono::duration_cast<SteadyClock::duration>(
                                         std::chrono::duration<double>(g_options.seconds))
                         : SteadyClock::time_point::max();
    int second = 0;
    auto nextSummary = g_start + std::chrono::seconds(1);
    while (g_interrupted == 0 && SteadyClock::now() < end) {
        std::this_thread::sleep_until(
            std::min({SteadyClock::now() + std::chrono::milliseconds(50), end, nextSummary}));
        if (g_options.summary && SteadyClock::now() >= nextSummary) {
            PrintSummary(++second);
            nextSummary += std::chrono::seconds(1);
        }
    }
    SDKClear();
    std::fflush(stdout);
    return 0;
}
