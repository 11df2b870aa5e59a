// ThreadSanitizer builds only. Qt hands a posted event to the receiving
// thread under a lock of its own, in code built without the sanitizer, so the
// sanitizer takes every event the reader thread posts and the window then
// reads for a race. Here a post made by our code releases the event and its
// delivery (see main.cpp) acquires it: exactly the hand-over Qt guarantees,
// nothing more.
#include "TsanEvents.h"

#if LUMORA_TSAN

#include <QCoreApplication>

#include <dlfcn.h>

extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);

// Calls from our code bind to this definition in the test program; Qt's own
// calls stay inside Qt.
void QCoreApplication::postEvent(QObject *receiver, QEvent *event, int priority) {
    using Post = void (*)(QObject *, QEvent *, int);
    static const auto post = reinterpret_cast<Post>(
        dlsym(RTLD_NEXT, "_ZN16QCoreApplication9postEventEP7QObjectP6QEventi"));
    __tsan_release(event);
    post(receiver, event, priority);
}

namespace lumora::test {

bool PostedEventDelivery::eventFilter(QObject *, QEvent *event) {
    __tsan_acquire(event);
    return false;
}

} // namespace lumora::test

#endif
