// The scripted receiver: plays a text file of reports, waits, unplugs and
// plugs. The script starts at the first read; reports become available at
// their scripted time and queue up like a real receiver's while nobody reads.
// The file's order is kept: an unplug or plug takes effect at its time, but
// not before every report written above it has been read.
#pragma once

#include "Platform.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace penlynx {

struct ReplayItem {
    enum Kind { Report, Unplug, Plug } kind;
    Micros at; // since the start of the script
    std::vector<uint8_t> bytes;
};

using ReplayScript = std::vector<ReplayItem>;

// The largest replay file read: hours of a full class.
inline constexpr size_t kMaxReplayBytes = 256u * 1024 * 1024;

// Parses replay text: one report as hexadecimal pairs separated by blanks,
// "wait MS", "unplug" or "plug" per line; blank lines and lines starting with
// '#' are ignored. Each malformed line is skipped; the first
// kMalformedLinesNamed are said through the diagnostics as "NAME:LINE:
// reason", the rest counted in one line at the end.
inline constexpr size_t kMalformedLinesNamed = 20;
ReplayScript ParseReplay(std::string_view text, const std::string &name);

// Plays one script for every device opened on it.
class ReplayPlatform final : public Platform {
public:
    ReplayPlatform(ReplayScript script, std::string name, Clock &clock);

    std::unique_ptr<InterfaceList> Interfaces() override;
    std::unique_ptr<HidDevice> Open(const std::string &path) override;

    // When the script started (its first read), on the platform's clock.
    Micros StartTime() const { return start_; }

    // For the devices: the script position now (0 before the start).
    Micros Position() const;
    bool PluggedAt(Micros position) const;
    // How many times the receiver was plugged in again up to position: a
    // device opened before a replug stays gone.
    int GenerationAt(Micros position) const;
    // Starts the script if it has not started.
    void Start();
    // The next report not yet read that was sent while plugged in, or null.
    const ReplayItem *NextReport();
    void Consume() { ++nextReport_; }
    // The first unplug after position, or Micros::max().
    Micros NextUnplugAfter(Micros position) const;
    Clock &clock() const { return clock_; }

private:
    struct Change {
        Micros at;
        bool plugged;
        size_t reportsBefore; // reports above it in the file, all read first
    };
    // How far the changes have gone at position: plugged, and the generation.
    std::pair<bool, int> StateAt(Micros position) const;
    std::vector<ReplayItem> reports_;
    std::vector<Change> changes_;
    std::string name_;
    Clock &clock_;
    bool started_ = false;
    Micros start_{0};
    size_t nextReport_ = 0;
};

// The backend for replay:PATH. A file that cannot be read is said through the
// diagnostics and gives a backend without receiver.
std::unique_ptr<Platform> MakeReplayPlatform(const std::string &path, Clock &clock);
std::unique_ptr<Platform> MakeReplayPlatform(ReplayScript script, std::string name, Clock &clock);

} // namespace penlynx
