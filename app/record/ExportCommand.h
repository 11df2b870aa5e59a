// The export command lines:
//   Lumora [--data-dir DIR] --export LESSON --format csv|xlsx --output FILE [--force]
//   Lumora [--data-dir DIR] --export-term CLASS [--from YYYY-MM-DD] [--to YYYY-MM-DD]
//          --format csv|xlsx --output FILE [--force]
// A term runs from --from to --to, each by default the current term's end
// (Config.ini's term starts). Existing files are replaced only with --force.
// It runs without a window (and without a display) and exits 0 on success;
// otherwise it prints what is wrong to stderr and exits non-zero.
#pragma once

namespace lumora {

// Whether the arguments ask for an export (they hold --export or --export-term).
bool IsExportCommand(int argc, char **argv);

// Runs the export; the process's exit status. Creates its own
// QCoreApplication, so call it before any other application object exists.
int RunExportCommand(int argc, char **argv);

} // namespace lumora
