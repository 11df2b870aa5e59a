// The program's command line as text before an application object exists.
// On Windows main's argv is in the ANSI code page, which has no room for
// most Chinese characters in a path; the wide command line keeps them.
#pragma once

#include <QStringList>

namespace lumora {

// argv[0 .. argc) as text: on Windows from the process's wide command line
// when that splits into as many arguments (argv is this process's own, as
// QCoreApplication::arguments() decides), else argv decoded from the local
// 8-bit encoding.
QStringList ProgramArguments(int argc, char **argv);

} // namespace lumora
