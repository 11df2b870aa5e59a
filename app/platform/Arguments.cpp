#include "platform/Arguments.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

namespace lumora {

QStringList ProgramArguments(int argc, char **argv) {
#ifdef Q_OS_WIN
    int count = 0;
    wchar_t **wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide != nullptr) {
        QStringList arguments;
        if (count == argc) {
            for (int i = 0; i < count; ++i) {
                arguments << QString::fromWCharArray(wide[i]);
            }
        }
        ::LocalFree(wide);
        if (count == argc) {
            return arguments;
        }
    }
#endif
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

} // namespace lumora
