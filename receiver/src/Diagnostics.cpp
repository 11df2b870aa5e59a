#include "Diagnostics.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace penlynx {

namespace {

std::mutex &SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

DiagnosticsSink &Sink() {
    static DiagnosticsSink sink;
    return sink;
}

// The length of the well-formed UTF-8 sequence at text[at], 0 when there is
// none (a stray continuation byte, an overlong form, a surrogate, a cut end).
size_t Utf8Length(std::string_view text, size_t at, uint32_t &code) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    size_t length = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void AppendEscaped(std::string &out, uint8_t byte) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

} // namespace

std::string EscapeControls(std::string_view message) {
    std::string out;
    out.reserve(message.size());
    for (size_t at = 0; at < message.size();) {
        uint32_t code = 0;
        const size_t length = Utf8Length(message, at, code);
        const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
        if (length == 0 || control) {
            // A C1 control is escaped byte by byte, like any invalid byte.
            const size_t bytes = length == 0 ? 1 : length;
            for (size_t i = 0; i < bytes; ++i) {
                AppendEscaped(out, static_cast<uint8_t>(message[at + i]));
            }
            at += bytes;
        } else {
            out.append(message.substr(at, length));
            at += length;
        }
    }
    return out;
}

void Diagnose(std::string_view message) {
    const std::string line = EscapeControls(message);
    std::lock_guard lock(SinkMutex());
    if (Sink()) {
        Sink()(line);
        return;
    }
    std::fprintf(stderr, "penlynx: %s\n", line.c_str());
#ifdef _WIN32
    // A windowed program has no stderr: the debugger's output still has it.
    OutputDebugStringA(("penlynx: " + line + "\n").c_str());
#endif
}

DiagnosticsSink SetDiagnosticsSink(DiagnosticsSink sink) {
    std::lock_guard lock(SinkMutex());
    return std::exchange(Sink(), std::move(sink));
}

} // namespace penlynx
