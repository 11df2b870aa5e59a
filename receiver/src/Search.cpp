#include "Search.h"

#include "Receiver.h"

namespace penlynx {

int SearchReceiver(CReceiver &receiver, Platform &platform) {
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

} // namespace penlynx
