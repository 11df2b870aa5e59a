#include "platform/Console.h"

#ifdef Q_OS_WIN
#include <cstdio>

#include <windows.h>
#endif

namespace lumora {

#ifdef Q_OS_WIN

namespace {

bool Leads(DWORD which) {
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

bool UseParentConsole() {
    const bool output = Leads(STD_OUTPUT_HANDLE);
    const bool errors = Leads(STD_ERROR_HANDLE);
    if (output && errors) {
        return true;
    }
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) {
        return output; // started without a console (from the desktop)
    }
    // The C streams of a GUI program were set up without handles: opened
    // again on the console they write there.
    if (!output) {
        std::FILE *stream = std::freopen("CONOUT$", "w", stdout);
        if (stream != nullptr) {
            std::setvbuf(stdout, nullptr, _IONBF, 0);
        }
    }
    if (!errors) {
        std::FILE *stream = std::freopen("CONOUT$", "w", stderr);
        if (stream != nullptr) {
            std::setvbuf(stderr, nullptr, _IONBF, 0);
        }
    }
    return true;
}

#else

bool UseParentConsole() {
    return true;
}

#endif

} // namespace lumora
