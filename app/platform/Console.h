// The console of a program that has a window. On Windows Lumora.exe is a
// GUI program, which Windows starts without a console and, unless they were
// redirected, without standard output and error; the commands that print
// (--version, --help, --export, --export-term) write to the console of the
// program that started them (cmd.exe, PowerShell) through UseParentConsole.
// Elsewhere a program always has its standard streams: nothing to do.
#pragma once

namespace lumora {

// Windows: attaches to the console of the parent process and points stdout
// and stderr at it, each only when the process has no valid handle of its own
// for it (a redirection to a file or pipe, or the Unix streams Wine passes
// through, are kept). Returns whether stdout leads somewhere: a handle of its
// own or the parent's console. Elsewhere returns true.
bool UseParentConsole();

} // namespace lumora
