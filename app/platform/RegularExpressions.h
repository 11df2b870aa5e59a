// Regular expressions without PCRE2's just-in-time compiler on Windows: its
// stack, which Qt keeps per thread, crashed when freed at the end of a thread
// under Wine (a thread whose callbacks use Qt), and the process then hung at
// its end. The program's expressions are few and short.
#pragma once

#include <QtGlobal>

namespace lumora {

// First thing in main, before Qt compiles an expression.
inline void UseRegularExpressionsWithoutJit() {
#ifdef Q_OS_WIN
    qputenv("QT_ENABLE_REGEXP_JIT", "0");
#endif
}

} // namespace lumora
