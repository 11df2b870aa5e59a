#include "Backends.h"

#include "Diagnostics.h"
#include "Receiver.h"
#include "ReplayBackend.h"
#include "SimBackend.h"

#ifdef _WIN32
#include "WinBackend.h"
#else
#include "HidBackend.h"
#endif

#include <cstdlib>
#include <string_view>

namespace penlynx {

std::unique_ptr<Platform> MakePlatform(const std::string &selection, Clock &clock) {
    const std::string_view value(selection);
    if (value.empty() || value == "hid") {
#ifdef _WIN32
        return MakeWinPlatform();
#else
        return MakeHidPlatform();
#endif
    }
    if (value == "sim" || value.starts_with("sim:")) {
        return MakeSimPlatform(value.size() > 4 ? value.substr(4) : std::string_view(), clock);
    }
    if (value.starts_with("replay:") && value.size() > 7) {
        return MakeReplayPlatform(std::string(value.substr(7)), clock);
    }
    Diagnose("PENLYNX_RECEIVER='" + selection +
             "' names no receiver backend (use hid, sim[:options] or replay:PATH)");
    return MakeEmptyPlatform();
}

Platform &PlatformForSearch(CReceiver &receiver) {
    if (receiver.platformInjected && receiver.platform) {
        return *receiver.platform;
    }
    const char *value = std::getenv("PENLYNX_RECEIVER");
    std::string selection = value != nullptr ? value : "";
    if (!receiver.platform || selection != receiver.platformSpec) {
        receiver.device.reset();
        receiver.platform.reset();
        receiver.platform = MakePlatform(selection, *receiver.clock);
        receiver.platformSpec = std::move(selection);
    }
    return *receiver.platform;
}

} // namespace penlynx

namespace penlynx {

void UsePlatform(CReceiver &receiver, std::unique_ptr<Platform> platform) {
    receiver.device.reset();
    receiver.platform = std::move(platform);
    receiver.platformInjected = true;
}

} // namespace penlynx
