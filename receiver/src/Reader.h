// The reader thread: searches for the receiver, reads its reports one at a
// time, reports idle seconds and loss, and hands every report to the decoder.
#pragma once

namespace penlynx {

struct CReceiver;

// Resets the instance's flags and device, closes any device first, and
// searches with the backend PENLYNX_RECEIVER names (or the injected one).
int SearchForReceiver(CReceiver &receiver);

// Starts the reader thread on the instance. False (and nothing started) when
// the thread cannot be created.
bool StartReader(CReceiver &receiver);

// Asks the reader thread to end and waits for it. Returns false when called on
// the reader thread itself (from a callback): the thread then releases the
// instance as it ends, and the caller must not.
bool StopReader(CReceiver &receiver);

} // namespace penlynx
