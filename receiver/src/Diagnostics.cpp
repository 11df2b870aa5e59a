#include "Diagnostics.h"

#include <cstdio>
#include <mutex>
#include <utility>

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

} // namespace

void Diagnose(std::string_view message) {
    std::lock_guard lock(SinkMutex());
    if (Sink()) {
        Sink()(message);
        return;
    }
    std::fprintf(stderr, "penlynx: %.*s\n", static_cast<int>(message.size()), message.data());
}

DiagnosticsSink SetDiagnosticsSink(DiagnosticsSink sink) {
    std::lock_guard lock(SinkMutex());
    return std::exchange(Sink(), std::move(sink));
}

} // namespace penlynx
