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

// Marks the instance released and asks its reader thread to end: no callback
// is made after this returns, apart from one already running. Any thread.
void RequestStop(CReceiver &receiver);

// Waits for the reader thread of a stopped instance to end. Never on a reader
// thread (a callback would wait for itself or for another callback).
void JoinReader(CReceiver &receiver);

// True on a reader thread of the library, that is inside a callback.
bool OnReaderThread();

} // namespace penlynx
