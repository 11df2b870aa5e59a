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

// The per-user data folder (the userDir of the calls above): Qt's
// AppDataLocation, ~/.local/share/<organisation>/<application> on Linux; on
// Windows %APPDATA%\<application> (%APPDATA%\Lumora), without the
// organisation's folder that Qt would put in between.
QString UserDataDir();

// The directory ResolveDataDir chooses, without creating anything: for
// reading a setting before the program has decided where its files live.
QString ChooseDataDir(const QString &overrideDir, const QString &exeDir, const QString &userDir);

// The installed languages of a program in exeDir: Language/ under the
// program's data root, found relative to the executable (relativeDataRoot,
// "../share/lumora" for a GNU layout), so a moved prefix still finds them.
// Empty when that folder does not exist (a build folder, a portable copy).
// Without relativeDataRoot, the path of the build's install layout.
QString InstalledLanguageDir(const QString &exeDir, const QString &relativeDataRoot);
QString InstalledLanguageDir(const QString &exeDir);

// Copies the shipped language files into dataDir/Language/ where they are
// missing; files already there are kept. The files come from installedDir
// (see InstalledLanguageDir) when given, and from the program's built-in
// copies for whatever that folder lacks. False with *error when a copy fails.
bool SeedLanguages(const QString &dataDir, QString *error, const QString &installedDir = QString());

// The copy of language `languageName` built into the program (a resource
// path), or empty when the program carries no language of that name.
QString BuiltInLanguageFile(const QString &languageName);

} // namespace lumora
