#include "core/BackgroundJob.h"

namespace lumora {

QEvent::Type BackgroundJobDone() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace lumora
