// Internal conditions worth telling a technician (a malformed replay line, a
// file that cannot be read). They go to stderr with a "penlynx: " prefix
// unless a sink was installed.
#pragma once

#include <functional>
#include <string_view>

namespace penlynx {

using DiagnosticsSink = std::function<void(std::string_view message)>;

// Reports one diagnostic line (without prefix or newline). Thread-safe.
void Diagnose(std::string_view message);

// Replaces where diagnostics go; an empty sink restores stderr. Returns the
// previous sink.
DiagnosticsSink SetDiagnosticsSink(DiagnosticsSink sink);

} // namespace penlynx
