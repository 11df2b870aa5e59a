#include "platform/SystemError.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace lumora {

#ifdef Q_OS_WIN

QString WindowsErrorText(unsigned long code) {
    wchar_t *buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text;
    if (length > 0 && buffer != nullptr) {
        text = QString::fromWCharArray(buffer, static_cast<qsizetype>(length)).trimmed();
    }
    if (buffer != nullptr) {
        ::LocalFree(buffer);
    }
    if (text.isEmpty()) {
        text = QStringLiteral("Windows error %1").arg(code);
    }
    return text;
}

QString LastSystemError() {
    return WindowsErrorText(::GetLastError());
}

QString ErrnoText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

QString AccessDeniedError() {
    return WindowsErrorText(ERROR_ACCESS_DENIED);
}

QString DiskFullError() {
    return WindowsErrorText(ERROR_DISK_FULL);
}

#else

QString LastSystemError() {
    return qt_error_string(errno);
}

QString ErrnoText(int code) {
    return qt_error_string(code);
}

QString AccessDeniedError() {
    return qt_error_string(EACCES);
}

QString DiskFullError() {
    return qt_error_string(ENOSPC);
}

#endif

} // namespace lumora
