// The program's six settings in Config.ini.
//
// One section, "Public", with the keys LanguageType, MainLine, MainRow, Split,
// Count and LanguageName in this order. Read once at start-up, written by the
// settings panel's save and at program end. The file lives in the data
// directory, which the caller passes in (never the current directory).
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

#include "config/TextFile.h"

namespace lumora {

inline constexpr int kMaxSeatsPerSide = 10;   // MainLine and MainRow at most
inline constexpr int kMaxRowsOn720Screen = 9; // MainRow on a 720-pixel-high screen
inline constexpr int kMaxLanguageNameLength = 15;
inline constexpr QStringView kDefaultLanguageName = u"zh_CN";

struct Config {
    // Position of the chosen language in the settings panel's list (0-based);
    // only preselects that list.
    int32_t LanguageType = 1;
    // Seats across and down of SeatGrid and AnswerGrid; 1..10 after LoadConfig.
    int32_t MainLine = 8;
    int32_t MainRow = 6;
    // Panes of the live handwriting view (4, 6 or 9; other values are kept).
    int32_t Split = 4;
    // Kept and written back unchanged; nothing reads it.
    int32_t Count = 5;
    // Folder under Language/ whose Language.xml supplies the texts: a plain
    // folder name of at most 15 characters (see IsPlainFolderName).
    QString LanguageName = kDefaultLanguageName.toString();

    friend bool operator==(const Config &, const Config &) = default;
};

// dataDir + "/Config.ini".
QString ConfigFilePath(const QString &dataDir);

// Reads Config.ini of dataDir. A missing file, a missing key, an empty value or
// one without a leading number gives the key's default (leading digits count:
// "7x" is 7). Then MainLine and MainRow above 10 become 10, and with
// screenHeight exactly 720 a MainRow above 9 becomes 9; both below 1 become 1.
// A LanguageName that is not a plain folder name of at most 15 characters
// becomes "zh_CN". A file that exists but could not be read completely gives
// what could be read, and *problem (when given) says why.
Config LoadConfig(const QString &dataDir, int screenHeight, FileProblem *problem = nullptr);

// Writes all six keys to section Public of Config.ini of dataDir, in order,
// keeping whatever else the file holds; atomic. A LanguageName that is not a
// plain folder name is written as "zh_CN". Returns false (with *error) when
// the file cannot be written, or cannot be read completely (it is never
// rewritten from what was read); the old file is then untouched.
bool SaveConfig(const QString &dataDir, const Config &config, QString *error = nullptr);

// A name that can only mean one folder right under Language/: not empty, at
// most 15 characters, not "." or containing "..", and without "/", "\", ":"
// or control characters.
bool IsPlainFolderName(QStringView name);

// name when IsPlainFolderName(name), else "zh_CN".
QString SafeLanguageName(QStringView name);

} // namespace lumora
