#include "SimClassroom.h"

#include "Decoder.h"
#include "Diagnostics.h"
#include "Geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

namespace penlynx {

namespace {

constexpr size_t kQueueCapacity = 1 << 14;
constexpr double kGlyphHeight = 10; // font units from top to baseline
constexpr double kDescender = 13.5; // lowest font unit a glyph reaches
// Lines start this far inside the writing area: a slanted descender or the
// hand's wobble reaches a little left of and above the line's origin.
constexpr double kEdgeSlack = 30;
constexpr uint8_t kReceiverWipeCode = 7;
constexpr int kAnswerKeys = 4;

Micros Seconds(double seconds) {
    return Micros(static_cast<int64_t>(seconds * 1e6));
}

bool ParseNumber(std::string_view text, uint64_t &value) {
    return !text.empty() && std::from_chars(text.data(), text.data() + text.size(), value).ptr ==
                                text.data() + text.size();
}

} // namespace

uint64_t SimRandom::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SimRandom::Unit() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double SimRandom::Between(double low, double high) {
    return low + (high - low) * Unit();
}

int SimRandom::Below(int n) {
    return static_cast<int>(Next() % static_cast<uint64_t>(n));
}

SimOptions ParseSimOptions(std::string_view text) {
    SimOptions options;
    while (!text.empty()) {
        const size_t comma = std::min(text.find(','), text.size());
        const std::string_view option = text.substr(0, comma);
        text.remove_prefix(std::min(comma + 1, text.size()));
        if (option.empty()) {
            continue;
        }
        const size_t equals = option.find('=');
        const std::string_view name = option.substr(0, equals);
        uint64_t value = 0;
        const bool number =
            equals != std::string_view::npos && ParseNumber(option.substr(equals + 1), value);
        bool ok = number;
        if (ok && name == "tablets" && value >= 1 && value <= kMaxSimTablets) {
            options.tablets = static_cast<int>(value);
        } else if (ok && name == "writing" && value <= kMaxSimTablets) {
            options.writing = static_cast<int>(value);
        } else if (ok && name == "rate" && value >= 1 && value <= kMaxSimRate) {
            options.rate = static_cast<int>(value);
        } else if (ok && name == "seed") {
            options.seed = value;
        } else if (ok && name == "absent" && value <= kMaxSimTablets) {
            options.absent = static_cast<int>(value);
        } else {
            ok = false;
        }
        if (!ok) {
            Diagnose("sim option '" + std::string(option) + "' ignored (tablets=1.." +
                     std::to_string(kMaxSimTablets) + ", writing=0.." +
                     std::to_string(kMaxSimTablets) + ", rate=1.." + std::to_string(kMaxSimRate) +
                     ", seed=N, absent=0.." + std::to_string(kMaxSimTablets) + ")");
        }
    }
    options.absent = std::min(options.absent, options.tablets);
    options.writing = std::min(options.writing, options.tablets - options.absent);
    return options;
}

Micros SimClassroom::Tablet::NextEvent() const {
    const Micros key = nextKey < keyCount ? keys[static_cast<size_t>(nextKey)].at : Micros::max();
    return std::min({key, penAt, signalAt});
}

namespace {
// Options as the class can run them: switched-off tablets do not write.
SimOptions Runnable(SimOptions options) {
    options.absent = std::clamp(options.absent, 0, options.tablets);
    options.writing = std::clamp(options.writing, 0, options.tablets - options.absent);
    return options;
}
} // namespace

SimClassroom::SimClassroom(const SimOptions &options)
    : options_(Runnable(options)), tablets_(static_cast<size_t>(options.tablets)),
      queue_(kQueueCapacity) {
    heap_.reserve(tablets_.size());
    order_.resize(tablets_.size());
    for (size_t i = 0; i < tablets_.size(); ++i) {
        Tablet &tablet = tablets_[i];
        tablet.id = static_cast<uint16_t>(i + 1);
        tablet.random = SimRandom(options.seed * 0x100000001B3ULL + tablet.id);
        tablet.scale = tablet.random.Between(20, 30);
        tablet.slant = tablet.random.Between(-0.05, 0.25);
        tablet.speed = tablet.random.Between(550, 900);
        tablet.rate = options.rate > 0 ? options.rate : 100 + tablet.random.Below(101);
        tablet.on = static_cast<int>(i) < options_.tablets - options_.absent;
        if (tablet.on) {
            // Switched on at different moments: the first signals are spread.
            tablet.signalRandom = SimRandom(~options.seed * 0x9E3779B97F4A7C15ULL + tablet.id);
            tablet.signalAt =
                Micros(tablet.signalRandom.Below(static_cast<int>(kSignalLatest.count())));
        }
    }
}

void SimClassroom::ChooseWriters(int64_t round) {
    SimRandom random(options_.seed ^ (0xA5A5A5A5ULL + static_cast<uint64_t>(round) * 7919));
    correctKey_ = 1 + random.Below(kAnswerKeys);
    for (size_t i = 0; i < order_.size(); ++i) {
        order_[i] = static_cast<int>(i);
    }
    // The first `writing` of a partial shuffle of the tablets switched on
    // (the first ones) write this round.
    const size_t on = order_.size() - static_cast<size_t>(options_.absent);
    for (size_t i = 0; i < static_cast<size_t>(options_.writing); ++i) {
        const size_t j = i + static_cast<size_t>(random.Below(static_cast<int>(on - i)));
        std::swap(order_[i], order_[j]);
    }
    for (Tablet &tablet : tablets_) {
        tablet.writer = false;
    }
    for (size_t i = 0; i < static_cast<size_t>(options_.writing); ++i) {
        tablets_[static_cast<size_t>(order_[i])].writer = true;
    }
}

void SimClassroom::PlanRound(Tablet &tablet, int64_t round) {
    SimRandom &random = tablet.random;
    const Micros start = round * kSimRound;
    const Micros last = start + kSimRound - Millis(500);
    tablet.keyCount = 0;
    tablet.nextKey = 0;
    if (!tablet.on) {
        return;
    }
    const auto press = [&](Micros at, int code) {
        if (tablet.keyCount < static_cast<int>(tablet.keys.size())) {
            tablet.keys[static_cast<size_t>(tablet.keyCount++)] = {std::min(at, last),
                                                                   static_cast<uint8_t>(code)};
        }
    };
    const auto otherKey = [&](int key) { return 1 + (key + random.Below(kAnswerKeys - 1)) % 4; };
    // A few never answer; most answer within a few seconds (log-normal, median
    // 2.5 s), some add a second letter, change their mind or wipe and retry.
    if (!random.Chance(0.08)) {
        const double gauss = std::sqrt(-2 * std::log(1 - random.Unit())) *
                             std::cos(2 * std::numbers::pi * random.Unit());
        const Micros first = start + Seconds(std::min(0.4 + 2.5 * std::exp(0.6 * gauss), 20.0));
        const int key = random.Chance(0.6) ? correctKey_ : 1 + random.Below(kAnswerKeys);
        press(first, key);
        if (random.Chance(0.10)) {
            press(first + Seconds(random.Between(0.3, 1.2)), otherKey(key));
        }
        if (random.Chance(0.15)) {
            press(first + Seconds(random.Between(1.5, 5)), otherKey(key));
        }
        // A student who is writing wipes only a full page.
        if (random.Chance(0.05) && !tablet.writer) {
            const Micros wipe = first + Seconds(random.Between(5.5, 8));
            press(wipe, kReceiverWipeCode);
            press(wipe + Seconds(random.Between(1, 3)), 1 + random.Below(kAnswerKeys));
        }
        std::sort(tablet.keys.begin(), tablet.keys.begin() + tablet.keyCount,
                  [](const KeyPress &a, const KeyPress &b) { return a.at < b.at; });
    }
    if (tablet.penDown) {
        EmitPosition(tablet, tablet.lastX, tablet.lastY, true);
        tablet.penDown = false;
    }
    tablet.penAt = Micros::max();
    if (tablet.writer) {
        tablet.writeUntil = start + kSimRound - Millis(2000);
        // A page already written on goes on below what is there.
        StartText(tablet, start + Seconds(random.Between(0.5, 3)), !tablet.pageStarted);
    }
}

void SimClassroom::StartText(Tablet &tablet, Micros at, bool newPage) {
    SimRandom &random = tablet.random;
    const auto &texts = SimTexts();
    tablet.text = texts[static_cast<size_t>(random.Below(static_cast<int>(texts.size())))];
    double width = 0;
    for (char c : tablet.text) {
        const Glyph *glyph = font_.Find(c);
        width += (glyph != nullptr ? glyph->advance : SimFont::SpaceAdvance()) * tablet.scale;
    }
    const double lineHeight = kGlyphHeight * tablet.scale * random.Between(1.6, 1.9);
    const double left = kWritingLeft + kEdgeSlack;
    const auto top = [&] { return kWritingTop + kEdgeSlack + random.Between(0, 80); };
    if (newPage) {
        tablet.lineTop = top();
        tablet.columnLeft = tablet.pageRight = left;
    } else {
        tablet.lineTop += lineHeight;
    }
    if (tablet.lineTop + kDescender * tablet.scale > kWritingBottom) {
        // The column is full: a second one beside what is written, when the
        // text fits there; else the page is wiped and starts again at the top.
        // Wiping less often keeps writing in view.
        const double beside = std::max(tablet.pageRight + kGlyphHeight * tablet.scale,
                                       (kWritingLeft + kWritingRight) / 2.0);
        if (tablet.columnLeft == left && beside + width <= kWritingRight) {
            tablet.columnLeft = beside;
        } else {
            EmitKey(tablet, kReceiverWipeCode);
            tablet.columnLeft = tablet.pageRight = left;
        }
        tablet.lineTop = top();
    }
    const double room =
        kWritingRight - tablet.columnLeft - width - kGlyphHeight * tablet.scale * 0.3;
    tablet.lineX = tablet.columnLeft + random.Between(0, std::max(1.0, std::min(200.0, room)));
    // Glyphs may be spaced a tenth wider and lean right by their slant.
    tablet.pageRight =
        std::max(tablet.pageRight, tablet.lineX + width * 1.1 +
                                       std::max(0.0, tablet.slant) * kGlyphHeight * tablet.scale);
    tablet.pageStarted = true;
    tablet.charIndex = 0;
    tablet.glyph = font_.Find(tablet.text[0]);
    tablet.strokeIndex = 0;
    tablet.penDown = false;
    tablet.penAt = at;
}

bool SimClassroom::AdvanceGlyph(Tablet &tablet) {
    for (;;) {
        const Glyph *glyph = tablet.glyph;
        tablet.lineX += (glyph != nullptr ? glyph->advance : SimFont::SpaceAdvance()) *
                        tablet.scale * tablet.random.Between(0.95, 1.1);
        if (++tablet.charIndex >= tablet.text.size()) {
            return false;
        }
        tablet.glyph = font_.Find(tablet.text[tablet.charIndex]);
        tablet.strokeIndex = 0;
        if (tablet.glyph != nullptr) {
            return true;
        }
    }
}

void SimClassroom::StepPen(Tablet &tablet, Micros now) {
    SimRandom &random = tablet.random;
    const Micros interval = Micros(1000000 / tablet.rate);
    const FontStroke &stroke = tablet.glyph->strokes[tablet.strokeIndex];
    if (tablet.penDown && tablet.along >= stroke.Length()) {
        // The stroke is done: lift the pen, then the next stroke, glyph or text.
        EmitPosition(tablet, tablet.lastX, tablet.lastY, true);
        tablet.penDown = false;
        if (++tablet.strokeIndex < tablet.glyph->strokes.size()) {
            tablet.penAt = now + Seconds(random.Between(0.08, 0.2));
        } else if (AdvanceGlyph(tablet)) {
            tablet.penAt = now + Seconds(random.Between(0.12, 0.3));
        } else if (now + Seconds(1) < tablet.writeUntil) {
            StartText(tablet, now + Seconds(random.Between(0.8, 2)), false);
        } else {
            tablet.penAt = Micros::max();
        }
        return;
    }
    if (!tablet.penDown) {
        tablet.penDown = true;
        tablet.along = 0;
        tablet.hint = 0;
    } else {
        // Slow at both ends of a stroke, fastest in its middle.
        const double length = stroke.Length();
        const double speed =
            tablet.speed * (0.35 + 0.65 * std::sin(std::numbers::pi * tablet.along / length));
        tablet.along = std::min(length, tablet.along + speed / tablet.scale / tablet.rate);
    }
    const FontPoint p = stroke.At(tablet.along, tablet.hint);
    tablet.wobbleX = 0.85 * tablet.wobbleX + random.Between(-1, 1);
    tablet.wobbleY = 0.85 * tablet.wobbleY + random.Between(-1, 1);
    const double x = tablet.lineX + (p.x + tablet.slant * (kGlyphHeight - p.y)) * tablet.scale;
    const double y = tablet.lineTop + p.y * tablet.scale;
    tablet.lastX = std::clamp(static_cast<int32_t>(std::lround(x + tablet.wobbleX)), kWritingLeft,
                              kTabletWidth);
    tablet.lastY = std::clamp(static_cast<int32_t>(std::lround(y + tablet.wobbleY)), kWritingTop,
                              kWritingBottom);
    EmitPosition(tablet, tablet.lastX, tablet.lastY, false);
    tablet.penAt = now + interval;
}

void SimClassroom::Step(Tablet &tablet, Micros now) {
    // `now` is the tablet's earliest event: a signal due now goes first.
    if (tablet.signalAt <= now) {
        EmitSignal(tablet);
        return;
    }
    if (tablet.nextKey < tablet.keyCount &&
        tablet.keys[static_cast<size_t>(tablet.nextKey)].at <= tablet.penAt) {
        EmitKey(tablet, tablet.keys[static_cast<size_t>(tablet.nextKey++)].code);
        return;
    }
    StepPen(tablet, now);
}

void SimClassroom::EmitKey(const Tablet &tablet, uint8_t code) {
    Push({0xFF, 0xFF, 0xFF, code, static_cast<uint8_t>(tablet.id & 0xFF),
          static_cast<uint8_t>(tablet.id >> 8)});
}

void SimClassroom::EmitSignal(Tablet &tablet) {
    Push({0xFF, 0xFF, 0xFF, kSignalCode, static_cast<uint8_t>(tablet.id & 0xFF),
          static_cast<uint8_t>(tablet.id >> 8)});
    const auto spread = static_cast<int>((kSignalLatest - kSignalEarliest).count());
    tablet.signalAt += kSignalEarliest + Micros(tablet.signalRandom.Below(spread + 1));
}

void SimClassroom::EmitPosition(const Tablet &tablet, int32_t x, int32_t y, bool penUp) {
    std::array<uint8_t, 4> data{};
    if (!EncodePositionRecord(x, y, penUp, data)) {
        return;
    }
    Push({data[0], data[1], data[2], data[3], static_cast<uint8_t>(tablet.id & 0xFF),
          static_cast<uint8_t>(tablet.id >> 8)});
}

void SimClassroom::Push(const std::array<uint8_t, 6> &record) {
    if (queueSize_ == queue_.size()) {
        ++dropped_;
        return;
    }
    queue_[(queueHead_ + queueSize_++) % queue_.size()] = record;
}

Micros SimClassroom::NextReportDue() const {
    const Micros next = FrameStart() + kSimFrame;
    if (queueSize_ > 0) {
        return next;
    }
    Micros due = (round_ + 1) * kSimRound + kSimFrame;
    if (!heap_.empty()) {
        due = std::min(due, Micros(heap_.front().first) / kSimFrame * kSimFrame + kSimFrame);
    }
    return std::max(next, due);
}

size_t SimClassroom::NextFrame(std::array<uint8_t, 128> &report) {
    const Micros begin = FrameStart();
    const Micros end = begin + kSimFrame;
    if (begin >= (round_ + 1) * kSimRound) {
        ++round_;
        ChooseWriters(round_);
        heap_.clear();
        for (size_t i = 0; i < tablets_.size(); ++i) {
            PlanRound(tablets_[i], round_);
            const Micros next = tablets_[i].NextEvent();
            if (next != Micros::max()) {
                heap_.emplace_back(next.count(), static_cast<int>(i));
            }
        }
        std::make_heap(heap_.begin(), heap_.end(), std::greater<>());
    }
    while (!heap_.empty() && heap_.front().first < end.count()) {
        std::pop_heap(heap_.begin(), heap_.end(), std::greater<>());
        const auto [at, index] = heap_.back();
        heap_.pop_back();
        Tablet &tablet = tablets_[static_cast<size_t>(index)];
        Step(tablet, Micros(at));
        const Micros next = tablet.NextEvent();
        if (next != Micros::max()) {
            heap_.emplace_back(next.count(), index);
            std::push_heap(heap_.begin(), heap_.end(), std::greater<>());
        }
    }
    ++frame_;
    const size_t records = std::min(queueSize_, static_cast<size_t>(kMaxRecordsPerReport));
    if (records == 0) {
        return 0;
    }
    report.fill(0);
    report[1] = static_cast<uint8_t>(records * kRecordSize);
    for (size_t k = 0; k < records; ++k) {
        const auto &record = queue_[queueHead_];
        std::copy(record.begin(), record.end(), report.begin() + kRecordsOffset + k * kRecordSize);
        queueHead_ = (queueHead_ + 1) % queue_.size();
        --queueSize_;
    }
    return kRecordsOffset + records * kRecordSize;
}

} // namespace penlynx
