// The system's own words for why a call failed: strerror's on POSIX,
// FormatMessageW's on Windows (whose error numbers are not errno values).
#pragma once

#include <QString>

namespace lumora {

// The reason of the last failed system call of this thread: errno on POSIX,
// GetLastError() on Windows.
QString LastSystemError();

// The C library's text for an errno value (a C library that sets errno, on
// Windows too, where Qt's qt_error_string takes Windows error numbers).
QString ErrnoText(int code);

// Two reasons the program finds itself, in the system's words:
// EACCES / ERROR_ACCESS_DENIED and ENOSPC / ERROR_DISK_FULL.
QString AccessDeniedError();
QString DiskFullError();

#ifdef Q_OS_WIN
// FormatMessageW's text for a Windows error number (GetLastError()).
QString WindowsErrorText(unsigned long code);
#endif

} // namespace lumora
