// The hand-over of posted events made visible to ThreadSanitizer (see
// TsanEvents.cpp). Without the sanitizer this is empty.
#pragma once

#if defined(__SANITIZE_THREAD__)
#define LUMORA_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LUMORA_TSAN 1
#endif
#endif
#ifndef LUMORA_TSAN
#define LUMORA_TSAN 0
#endif

#if LUMORA_TSAN
#include <QObject>

namespace lumora::test {

// Installed on the application: acquires every event before anything reads it.
class PostedEventDelivery : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace lumora::test
#endif
