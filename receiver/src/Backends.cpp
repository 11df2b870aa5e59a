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

namespace {

class EmptyPlatform final : public Platform {
public:
    std::unique_ptr<InterfaceList> Interfaces() override {
        return MakeSingleInterfaceList(false, "");
    }
    std::unique_ptr<HidDevice> Open(const std::string &) override { return nullptr; }
};

class SingleList final : public InterfaceList {
public:
    SingleList(bool present, std::string path) : present_(present), path_(std::move(path)) {}
    InterfaceStep Get(size_t index) override {
        return present_ && index == 0 ? InterfaceStep::Present : InterfaceStep::End;
    }
    bool Path(size_t, std::string &path) override {
        path = path_;
        return true;
    }

private:
    bool present_;
    std::string path_;
};

} // namespace

std::unique_ptr<InterfaceList> MakeSingleInterfaceList(bool present, std::string path) {
    return std::make_unique<SingleList>(present, std::move(path));
}

std::unique_ptr<Platform> MakeEmptyPlatform() {
    return std::make_unique<EmptyPlatform>();
}

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
