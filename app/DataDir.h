// Where the program keeps Config.ini, StudentInfo.ini and Language/.
#pragma once

#include <QString>

namespace lumora {

// The data directory, in this order: overrideDir when given (created if
// needed); the executable's directory when it holds Language/ and is writable
// (a portable install); otherwise userDir (created if needed). Empty with
// *error set when no directory can be used.
QString ResolveDataDir(const QString &overrideDir, const QString &exeDir, const QString &userDir,
                       QString *error);

// Copies the shipped language files into dataDir/Language/ where they are
// missing; files already there are kept. False with *error when a copy fails.
bool SeedLanguages(const QString &dataDir, QString *error);

} // namespace lumora
