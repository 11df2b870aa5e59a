#include "Search.h"

#include "Diagnostics.h"
#include "Receiver.h"

namespace penlynx {

namespace {

// Says a problem once, and again only after it changed or went away.
void NoteOpenProblem(CReceiver &receiver, const std::string &problem) {
    if (problem != receiver.openProblem && !problem.empty()) {
        Diagnose(problem);
    }
    receiver.openProblem = problem;
}

// The search proper. A receiver that the list names but that cannot be opened
// (most often for want of permission) is described in openProblem, so that
// it does not look like no receiver at all.
int Walk(CReceiver &receiver, Platform &platform, std::string &openProblem) {
    receiver.statusFlags.store(0);
    receiver.device.reset();

    std::unique_ptr<InterfaceList> interfaces = platform.Interfaces();
    if (!interfaces) {
        return PENLYNX_SEARCH_NO_LIST;
    }
    size_t failedInARow = 0;
    std::string path;
    for (size_t k = 0;; ++k) {
        const InterfaceStep step = interfaces->Get(k);
        if (step == InterfaceStep::End) {
            break;
        }
        if (step == InterfaceStep::Failed) {
            // Skip the index rather than ask again: an index that keeps
            // failing must not hold the walk.
            if (++failedInARow >= kMaxFailedInterfacesInARow) {
                break;
            }
            continue;
        }
        failedInARow = 0;
        if (!interfaces->Path(k, path)) {
            return PENLYNX_SEARCH_NO_PATH;
        }
        std::unique_ptr<HidDevice> device = platform.Open(path);
        if (!device) {
            uint16_t listedVendor = 0;
            uint16_t listedProduct = 0;
            if (openProblem.empty() && interfaces->ListedIds(k, listedVendor, listedProduct) &&
                listedVendor == kReceiverVendorId && listedProduct == kReceiverProductId) {
                const std::string why = platform.OpenError();
                openProblem = "the receiver (5131:2007) at " + path + " cannot be opened" +
                              (why.empty() ? std::string() : ": " + why);
            }
            continue;
        }
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        if (device->Attributes(vendorId, productId) && vendorId == kReceiverVendorId &&
            productId == kReceiverProductId) {
            receiver.device = std::move(device);
            return PENLYNX_SEARCH_FOUND;
        }
        // Not the receiver: closed as `device` goes out of scope.
    }
    return PENLYNX_SEARCH_NONE;
}

} // namespace

int SearchReceiver(CReceiver &receiver, Platform &platform) {
    std::string openProblem;
    const int result = Walk(receiver, platform, openProblem);
    NoteOpenProblem(receiver, result == PENLYNX_SEARCH_FOUND ? std::string() : openProblem);
    return result;
}

} // namespace penlynx
