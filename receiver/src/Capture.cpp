#include "Capture.h"

#include "Diagnostics.h"

#include <cerrno>
#include <cstring>

namespace penlynx {

CaptureWriter::CaptureWriter(const std::string &path, const Clock &clock) : clock_(clock) {
    if (path.empty()) {
        return;
    }
    file_ = std::fopen(path.c_str(), "a");
    if (file_ == nullptr) {
        Diagnose("cannot write capture file '" + path + "': " + std::strerror(errno));
        return;
    }
    static const char header[] = "# penlynx capture\n";
    WriteLine(header, sizeof header - 1);
}

CaptureWriter::~CaptureWriter() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void CaptureWriter::Opened() {
    if (file_ == nullptr) {
        return;
    }
    if (!opened_) {
        opened_ = true;
        mark_ = clock_.Now();
        return;
    }
    if (lost_) {
        lost_ = false;
        WriteWait();
        WriteLine("plug\n", 5);
    }
}

void CaptureWriter::Lost() {
    if (file_ == nullptr || lost_) {
        return;
    }
    lost_ = true;
    WriteWait();
    WriteLine("unplug\n", 7);
}

void CaptureWriter::Report(const uint8_t *bytes, size_t length) {
    if (file_ == nullptr) {
        return;
    }
    WriteWait();
    static const char digits[] = "0123456789ABCDEF";
    size_t at = 0;
    for (size_t i = 0; i < length && at + 3 < line_.size(); ++i) {
        line_[at++] = digits[bytes[i] >> 4];
        line_[at++] = digits[bytes[i] & 15];
        line_[at++] = ' ';
    }
    if (at == 0) {
        return;
    }
    line_[at - 1] = '\n';
    WriteLine(line_.data(), at);
}

void CaptureWriter::WriteWait() {
    // The mark moves by whole milliseconds, so rounding never accumulates.
    const auto gap = std::chrono::duration_cast<Millis>(clock_.Now() - mark_);
    if (gap.count() <= 0) {
        return;
    }
    mark_ += gap;
    char text[32];
    const int length =
        std::snprintf(text, sizeof text, "wait %lld\n", static_cast<long long>(gap.count()));
    WriteLine(text, static_cast<size_t>(length));
}

void CaptureWriter::WriteLine(const char *text, size_t length) {
    // Flushed line by line: a capture is read when something went wrong.
    std::fwrite(text, 1, length, file_);
    std::fflush(file_);
}

} // namespace penlynx
