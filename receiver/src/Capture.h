// Appends every report the reader thread reads to a file in the replay
// format, with wait lines for the gaps, so that a classroom problem can be
// recorded and played back.
#pragma once

#include "Clock.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace penlynx {

class CaptureWriter {
public:
    // Appends to path; an empty path, or a file that cannot be opened (said
    // through the diagnostics), captures nothing.
    CaptureWriter(const std::string &path, const Clock &clock);
    ~CaptureWriter();
    CaptureWriter(const CaptureWriter &) = delete;
    CaptureWriter &operator=(const CaptureWriter &) = delete;

    bool Active() const { return file_ != nullptr; }
    // The receiver was opened: gaps count from here; after a loss a "plug"
    // line is written.
    void Opened();
    // The receiver was lost: an "unplug" line.
    void Lost();
    void Report(const uint8_t *bytes, size_t length);

private:
    void WriteWait();
    void WriteLine(const char *text, size_t length);

    std::FILE *file_ = nullptr;
    const Clock &clock_;
    Micros mark_{0};
    bool opened_ = false;
    bool lost_ = false;
    // One line of hexadecimal pairs for the longest report.
    std::array<char, 3 * 1024 + 1> line_{};
};

} // namespace penlynx
