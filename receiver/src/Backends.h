// Choosing the receiver backend from PENLYNX_RECEIVER: unset, empty or "hid"
// the real receiver, "sim[:options]" the simulated classroom, "replay:PATH"
// a scripted receiver.
#pragma once

#include "Platform.h"

#include <memory>
#include <string>

namespace penlynx {

struct CReceiver;

// Makes the backend a PENLYNX_RECEIVER value names. An unknown value is said
// through the diagnostics and gives a backend without interfaces.
std::unique_ptr<Platform> MakePlatform(const std::string &selection, Clock &clock);

// The backend for the instance's next search: the injected one, or the one
// PENLYNX_RECEIVER names now (kept while the value stays the same, so that a
// simulated or replayed receiver lives on between searches).
Platform &PlatformForSearch(CReceiver &receiver);

} // namespace penlynx
