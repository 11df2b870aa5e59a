// The simulated classroom receiver: tablets 1..N press answer keys and write
// handwriting, and a receiver batches their records into reports, one report
// of at most 21 records per millisecond. Every tablet that is switched on
// reports itself with a signal record every 0.3 to 0.5 s, as real tablets do;
// the last `absent` tablets are switched off and send nothing. Everything
// follows from the seed.
#pragma once

#include "Clock.h"
#include "SimFont.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace penlynx {

struct SimOptions {
    int tablets = 30;  // IDs 1..tablets, at most kMaxSimTablets
    int writing = 10;  // tablets writing at once (capped at tablets)
    int rate = 0;      // pen points per second while writing; 0: 100..200 per tablet
    uint64_t seed = 1; // same seed, same class
    int absent = 0;    // the last `absent` tablets are switched off (capped at tablets)
};

inline constexpr int kMaxSimTablets = 100;
inline constexpr int kMaxSimRate = 1000;
// The part of the tablet the program maps onto a pane.
inline constexpr int32_t kTabletWidth = 2800;
inline constexpr int32_t kTabletHeight = 2000;
// The program maps that part onto an ink sheet shifted this many pixels up
// and left, so the sheet never shows a band along the tablet's top and left
// edges; the smallest sheet it makes (on a 1280 x 720 screen) loses the
// widest band. Simulated students write that far in, and a little more.
inline constexpr int32_t kSheetShift = 50;
inline constexpr int32_t kSmallestSheetWidth = 470;
inline constexpr int32_t kSmallestSheetHeight = 326;
inline constexpr int32_t kSheetMargin = 20;
// The writing area: inside what every sheet shows, and clear of the sensor
// edges, where positions resolve poorly.
inline constexpr int32_t kWritingLeft =
    ((kSheetShift + kSheetMargin) * kTabletWidth + kSmallestSheetWidth - 1) / kSmallestSheetWidth;
inline constexpr int32_t kWritingRight = 2650;
inline constexpr int32_t kWritingTop =
    ((kSheetShift + kSheetMargin) * kTabletHeight + kSmallestSheetHeight - 1) /
    kSmallestSheetHeight;
inline constexpr int32_t kWritingBottom = 1850;
// One report per frame; a question round lasts this long.
inline constexpr Micros kSimFrame = Millis(1);
inline constexpr Micros kSimRound = Millis(30000);
// A tablet that is switched on sends its signal record this often.
inline constexpr Micros kSignalEarliest = Millis(300);
inline constexpr Micros kSignalLatest = Millis(500);

// Parses "tablets=N,writing=N,rate=N,seed=N,absent=N" (any subset, any
// order). A bad option is said through the diagnostics and keeps its default.
SimOptions ParseSimOptions(std::string_view text);

// A small deterministic generator (SplitMix64): the standard distributions
// differ between libraries, and the same seed must give the same class.
class SimRandom {
public:
    explicit SimRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Unit();                           // [0, 1)
    double Between(double low, double high); // [low, high)
    int Below(int n);                        // 0 .. n-1
    bool Chance(double p) { return Unit() < p; }

private:
    uint64_t state_;
};

class SimClassroom {
public:
    explicit SimClassroom(const SimOptions &options);

    // Runs the class through the next frame and writes the receiver's report
    // for it (report ID 0, payload length, records) into report; returns its
    // length, 0 when the frame had nothing to send.
    size_t NextFrame(std::array<uint8_t, 128> &report);
    // Start of the frame NextFrame produces next, since the class began.
    Micros FrameStart() const { return frame_ * kSimFrame; }
    // The end of the first frame from now on that can have a report: frames
    // before it are empty.
    Micros NextReportDue() const;
    // Records lost because the receiver's queue was full.
    uint64_t Dropped() const { return dropped_; }
    const SimOptions &Options() const { return options_; }

private:
    struct KeyPress {
        Micros at;
        uint8_t code;
    };
    struct Tablet {
        uint16_t id = 0;
        bool on = true; // switched off: sends nothing at all
        SimRandom random{0};
        // The next signal record; its own generator, so that the signals do
        // not change the keys and handwriting a seed gives.
        SimRandom signalRandom{0};
        Micros signalAt = Micros::max();
        // Handwriting style.
        double scale = 25;  // tablet units per font unit
        double slant = 0.1; // shear, font units per font unit of height
        double speed = 700; // tablet units per second at full speed
        int rate = 150;     // points per second
        // Key presses planned for the current round.
        std::array<KeyPress, 6> keys{};
        int keyCount = 0;
        int nextKey = 0;
        // Writing: where in which text, and where on the page.
        bool writer = false;
        Micros penAt = Micros::max();
        Micros writeUntil{0};
        std::string_view text;
        size_t charIndex = 0;
        const Glyph *glyph = nullptr;
        size_t strokeIndex = 0;
        double along = 0; // arc length into the stroke, font units
        size_t hint = 0;
        bool penDown = false;
        double lineX = 0, lineTop = 0; // pen origin of the current glyph
        // The page: written on at all, the left edge of the column written in,
        // and how far right the first column's writing reaches.
        bool pageStarted = false;
        double columnLeft = 0, pageRight = 0;
        double wobbleX = 0, wobbleY = 0;
        int32_t lastX = 0, lastY = 0;
        Micros NextEvent() const;
    };

    void PlanRound(Tablet &tablet, int64_t round);
    void ChooseWriters(int64_t round);
    void Step(Tablet &tablet, Micros now);
    void StepPen(Tablet &tablet, Micros now);
    void StartText(Tablet &tablet, Micros now, bool newPage);
    bool AdvanceGlyph(Tablet &tablet); // false when the text is done
    void EmitKey(const Tablet &tablet, uint8_t code);
    void EmitSignal(Tablet &tablet);
    void EmitPosition(const Tablet &tablet, int32_t x, int32_t y, bool penUp);
    void Push(const std::array<uint8_t, 6> &record);

    SimOptions options_;
    SimFont font_;
    std::vector<Tablet> tablets_;
    // Tablets by next event: (time, index) min-heap, reserved once.
    std::vector<std::pair<int64_t, int>> heap_;
    std::vector<int> order_; // scratch for choosing writers
    int64_t round_ = -1;
    int correctKey_ = 1;
    int64_t frame_ = 0;
    // The receiver's queue of records not yet sent.
    std::vector<std::array<uint8_t, 6>> queue_;
    size_t queueHead_ = 0, queueSize_ = 0;
    uint64_t dropped_ = 0;
};

} // namespace penlynx
