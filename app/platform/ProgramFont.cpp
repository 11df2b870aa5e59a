#include "platform/ProgramFont.h"

namespace lumora {

QStringList ProgramFontFamilies() {
#ifdef Q_OS_WIN
    return {QStringLiteral("SimSun"), QStringLiteral("Microsoft YaHei")};
#else
    return {QStringLiteral("WenQuanYi Zen Hei Mono")};
#endif
}

} // namespace lumora
