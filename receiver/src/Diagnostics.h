// Internal conditions worth telling a technician (a malformed replay line, a
// file that cannot be read, a receiver that cannot be opened). They go to
// stderr with a "penlynx: " prefix, on Windows also to the debugger's output,
// unless a sink was installed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace penlynx {

using DiagnosticsSink = std::function<void(std::string_view message)>;

// Reports one diagnostic line (without prefix or newline). Control
// characters and bytes that are not UTF-8 are escaped first, so text taken
// from a file or a device cannot steer the terminal. Thread-safe.
void Diagnose(std::string_view message);

// The message as Diagnose passes it on: control characters (C0, DEL, C1) and
// invalid UTF-8 bytes as \xNN, everything else unchanged.
std::string EscapeControls(std::string_view message);

// Replaces where diagnostics go; an empty sink restores stderr. Returns the
// previous sink.
DiagnosticsSink SetDiagnosticsSink(DiagnosticsSink sink);

} // namespace penlynx
