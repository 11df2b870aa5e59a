#include "ReplayBackend.h"

#include "Decoder.h"
#include "Diagnostics.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <filesystem>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace penlynx {

namespace {

// Longer waits are taken for typing errors.
constexpr long long kLongestWaitMs = 24LL * 60 * 60 * 1000;

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        const size_t begin = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') {
            ++at;
        }
        if (at > begin) {
            tokens.push_back(line.substr(begin, at - begin));
        }
    }
    return tokens;
}

// The parts one after the other. (A literal + std::string is a false
// -Wrestrict of GCC 12 at -O3, where the string is inserted at its front.)
std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

// Parses one line into item (returns true), or says why it is malformed.
bool ParseLine(std::string_view line, ReplayItem &item, long long &waitMs, std::string &why) {
    const std::vector<std::string_view> tokens = Tokens(line);
    if (tokens.front() == "wait") {
        long long ms = -1;
        const bool number =
            tokens.size() == 2 &&
            std::from_chars(tokens[1].data(), tokens[1].data() + tokens[1].size(), ms).ptr ==
                tokens[1].data() + tokens[1].size();
        if (!number || ms < 0 || ms > kLongestWaitMs) {
            why = Joined({"wait needs one whole number of milliseconds from 0 to ",
                          std::to_string(kLongestWaitMs)});
            return false;
        }
        waitMs = ms;
        return false;
    }
    if (tokens.front() == "unplug" || tokens.front() == "plug") {
        if (tokens.size() != 1) {
            why = Joined({tokens.front(), " takes nothing after it"});
            return false;
        }
        item.kind = tokens.front() == "plug" ? ReplayItem::Plug : ReplayItem::Unplug;
        return true;
    }
    if (tokens.size() > kReportBufferSize) {
        why = Joined({"a report holds at most ", std::to_string(kReportBufferSize), " bytes"});
        return false;
    }
    item.kind = ReplayItem::Report;
    item.bytes.clear();
    for (std::string_view token : tokens) {
        unsigned value = 0;
        const bool hex =
            token.size() == 2 &&
            std::from_chars(token.data(), token.data() + 2, value, 16).ptr == token.data() + 2;
        if (!hex) {
            why = Joined({"'", token,
                          "' is not a byte as two hexadecimal digits, nor wait, unplug or plug"});
            return false;
        }
        item.bytes.push_back(static_cast<uint8_t>(value));
    }
    return true;
}

class ReplayDevice final : public HidDevice {
public:
    ReplayDevice(ReplayPlatform &platform, int generation)
        : platform_(platform), generation_(generation) {}

    bool Attributes(uint16_t &vendorId, uint16_t &productId) override {
        vendorId = kReceiverVendorId;
        productId = kReceiverProductId;
        return true;
    }
    size_t InputReportLength() override { return kReportBufferSize; }
    void BeginRead(uint8_t *buffer, size_t length) override {
        platform_.Start();
        buffer_ = buffer;
        length_ = length;
    }
    ReadOutcome WaitRead(Micros timeout, size_t &bytesRead) override {
        if (Deliver(bytesRead)) {
            return ReadOutcome::Completed;
        }
        if (!Present()) {
            return ReadOutcome::Failed;
        }
        Clock &clock = platform_.clock();
        const Micros start = platform_.StartTime();
        Micros until = clock.Now() + timeout;
        if (const ReplayItem *next = platform_.NextReport()) {
            until = std::min(until, start + next->at);
        }
        const Micros unplug = platform_.NextUnplugAfter(platform_.Position());
        if (unplug != Micros::max()) {
            until = std::min(until, start + unplug);
        }
        clock.SleepUntil(until);
        if (Deliver(bytesRead)) {
            return ReadOutcome::Completed;
        }
        return Present() ? ReadOutcome::TimedOut : ReadOutcome::Failed;
    }
    void CancelRead() override { buffer_ = nullptr; }
    bool Present() override {
        const Micros position = platform_.Position();
        return platform_.PluggedAt(position) && platform_.GenerationAt(position) == generation_;
    }

private:
    bool Deliver(size_t &bytesRead) {
        // Every report before the unplug that ended this device's connection
        // was read before the unplug took effect: the next one is this
        // device's, or a later connection's.
        const ReplayItem *next = platform_.NextReport();
        if (buffer_ == nullptr || next == nullptr || next->at > platform_.Position() ||
            !Present()) {
            return false;
        }
        bytesRead = std::min(next->bytes.size(), length_);
        std::copy_n(next->bytes.begin(), bytesRead, buffer_);
        platform_.Consume();
        buffer_ = nullptr;
        return true;
    }

    ReplayPlatform &platform_;
    int generation_;
    uint8_t *buffer_ = nullptr;
    size_t length_ = 0;
};

} // namespace

ReplayScript ParseReplay(std::string_view text, const std::string &name) {
    ReplayScript script;
    Micros at{0};
    size_t lineNumber = 0;
    size_t malformed = 0;
    std::string why;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        ReplayItem item{ReplayItem::Report, at, {}};
        long long waitMs = -1;
        why.clear();
        if (ParseLine(line, item, waitMs, why)) {
            script.push_back(std::move(item));
        } else if (waitMs >= 0) {
            at += Millis(waitMs);
        } else if (++malformed <= kMalformedLinesNamed) {
            Diagnose(name + ":" + std::to_string(lineNumber) + ": " + why + "; line skipped");
        }
    }
    // A file of garbage says so once, not once a line.
    if (malformed > kMalformedLinesNamed) {
        Diagnose(name + ": " + std::to_string(malformed - kMalformedLinesNamed) +
                 " more malformed lines skipped");
    }
    return script;
}

ReplayPlatform::ReplayPlatform(ReplayScript script, std::string name, Clock &clock)
    : name_(std::move(name)), clock_(clock) {
    bool plugged = true;
    for (ReplayItem &item : script) {
        if (item.kind == ReplayItem::Report) {
            // Nobody hears what an unplugged receiver sends.
            if (plugged) {
                reports_.push_back(std::move(item));
            }
        } else if ((item.kind == ReplayItem::Plug) != plugged) {
            plugged = item.kind == ReplayItem::Plug;
            changes_.push_back({item.at, plugged, reports_.size()});
        }
    }
}

std::unique_ptr<InterfaceList> ReplayPlatform::Interfaces() {
    return MakeSingleInterfaceList(PluggedAt(Position()), "replay:" + name_);
}

std::unique_ptr<HidDevice> ReplayPlatform::Open(const std::string &) {
    const Micros position = Position();
    if (!PluggedAt(position)) {
        return nullptr;
    }
    return std::make_unique<ReplayDevice>(*this, GenerationAt(position));
}

Micros ReplayPlatform::Position() const {
    return started_ ? clock_.Now() - start_ : Micros{0};
}

std::pair<bool, int> ReplayPlatform::StateAt(Micros position) const {
    bool plugged = true;
    int generation = 0;
    for (const Change &change : changes_) {
        // Reports written above a change come first, however late they are read.
        if (change.at > position || change.reportsBefore > nextReport_) {
            break;
        }
        plugged = change.plugged;
        generation += change.plugged ? 1 : 0;
    }
    return {plugged, generation};
}

bool ReplayPlatform::PluggedAt(Micros position) const {
    return StateAt(position).first;
}

int ReplayPlatform::GenerationAt(Micros position) const {
    return StateAt(position).second;
}

void ReplayPlatform::Start() {
    if (!started_) {
        started_ = true;
        start_ = clock_.Now();
    }
}

const ReplayItem *ReplayPlatform::NextReport() {
    return nextReport_ < reports_.size() ? &reports_[nextReport_] : nullptr;
}

Micros ReplayPlatform::NextUnplugAfter(Micros position) const {
    for (const Change &change : changes_) {
        if (change.at > position && !change.plugged) {
            return change.at;
        }
    }
    return Micros::max();
}

std::unique_ptr<Platform> MakeReplayPlatform(ReplayScript script, std::string name, Clock &clock) {
    return std::make_unique<ReplayPlatform>(std::move(script), std::move(name), clock);
}

namespace {

// Reads the replay file into *text: only an ordinary file, opened without
// waiting (a named pipe with no writer would hold the caller for good) and
// never more than kMaxReplayBytes. Empty when it was read, else why not.
std::string ReadReplayFile(const std::string &path, std::string *text) {
#ifdef _WIN32
    std::error_code code;
    if (std::filesystem::exists(path, code) && !std::filesystem::is_regular_file(path, code)) {
        return "not an ordinary file";
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
#else
    const int handle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0) {
        return std::strerror(errno);
    }
    struct stat info {};
    if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(handle);
        return "not an ordinary file (a folder, a device, a pipe or a socket)";
    }
    std::FILE *file = ::fdopen(handle, "rb");
    if (file == nullptr) {
        ::close(handle);
    }
#endif
    if (file == nullptr) {
        return std::strerror(errno != 0 ? errno : EIO);
    }
    char chunk[65536];
    size_t got = 0;
    std::string why;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (text->size() + got > kMaxReplayBytes) {
            why = "larger than " + std::to_string(kMaxReplayBytes / (1024 * 1024)) + " MB";
            break;
        }
        text->append(chunk, got);
    }
    if (why.empty() && std::ferror(file) != 0) {
        why = std::strerror(errno != 0 ? errno : EIO);
    }
    std::fclose(file);
    return why;
}

} // namespace

std::unique_ptr<Platform> MakeReplayPlatform(const std::string &path, Clock &clock) {
    std::string text;
    errno = 0;
    const std::string why = ReadReplayFile(path, &text);
    if (!why.empty()) {
        Diagnose("cannot read replay file '" + path + "': " + why + "; no receiver");
        return MakeEmptyPlatform();
    }
    return MakeReplayPlatform(ParseReplay(text, path), path, clock);
}

} // namespace penlynx
