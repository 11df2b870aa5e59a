// Finding the receiver among the platform's HID interfaces.
#pragma once

#include "Platform.h"

namespace penlynx {

struct CReceiver;

// A walk ends after this many interfaces in a row could not be obtained, so a
// broken enumeration cannot make the search go on without end.
inline constexpr size_t kMaxFailedInterfacesInARow = 8;

// Resets the instance (flags 0, no device), walks the interfaces and keeps the
// first one that opens and carries the receiver's IDs. Returns a
// PENLYNX_SEARCH_ code; on PENLYNX_SEARCH_FOUND the device is open in the
// instance. A receiver that the list names but that cannot be opened is said
// through the diagnostics, with the reason: once, and again after a change.
int SearchReceiver(CReceiver &receiver, Platform &platform);

} // namespace penlynx
