// Collects the library's diagnostics for the length of a scope.
#pragma once

#include "Diagnostics.h"

#include <string>
#include <vector>

namespace penlynx::test {

class DiagnosticsCollector {
public:
    DiagnosticsCollector() {
        previous_ =
            SetDiagnosticsSink([this](std::string_view message) { lines.emplace_back(message); });
    }
    ~DiagnosticsCollector() { SetDiagnosticsSink(previous_); }
    DiagnosticsCollector(const DiagnosticsCollector &) = delete;
    DiagnosticsCollector &operator=(const DiagnosticsCollector &) = delete;

    std::vector<std::string> lines;

private:
    DiagnosticsSink previous_;
};

} // namespace penlynx::test
