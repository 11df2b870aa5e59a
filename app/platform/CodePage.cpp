#include "platform/CodePage.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace lumora {

#ifdef Q_OS_WIN

bool SystemDecodes(unsigned codePage) {
    return ::IsValidCodePage(codePage) != 0;
}

bool DecodeWithSystem(unsigned codePage, QByteArrayView bytes, QString *text, bool *failed) {
    if (!SystemDecodes(codePage)) {
        return false;
    }
    const int size = static_cast<int>(bytes.size());
    if (failed != nullptr) {
        *failed = size > 0 && ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                                    size, nullptr, 0) == 0;
    }
    const int wide =
        size > 0 ? ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0) : 0;
    QString decoded(wide, Qt::Uninitialized);
    if (wide > 0) {
        ::MultiByteToWideChar(codePage, 0, bytes.data(), size,
                              reinterpret_cast<wchar_t *>(decoded.data()), wide);
    }
    *text = std::move(decoded);
    return true;
}

#else

bool SystemDecodes(unsigned) {
    return false;
}

bool DecodeWithSystem(unsigned, QByteArrayView, QString *, bool *) {
    return false;
}

#endif

} // namespace lumora
