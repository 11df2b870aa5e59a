// The teacher's preferences for this computer, kept in Config.ini in a
// section of their own, "Preferences", beside the six keys of section
// Public: the display scale, the screen the window was last on, the
// folder of the last roster import and the countdown's sound. Without them the program is as it
// always was: 100 %, the primary screen, the documents folder.
//
// Also the choices made from them without a window: the scale Qt is given
// before the application object exists, the screens a scale fits, the screen
// to start on and the next one, the folder the import's dialog opens in.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace lumora {

// The scales the settings panel offers, in percent.
inline constexpr std::array<int, 4> kScaleChoices = {100, 125, 150, 200};
// The smallest screen, in pixels of the program's layout, the window is
// made for (the seat grid's ten columns beside the navigation bar, the
// settings panel): a scale that leaves less is not offered.
inline constexpr QSize kSmallestLayoutScreen(1024, 600);

struct Preferences {
    // One of kScaleChoices.
    int ScalePercent = 100;
    // The name of the window's screen (QScreen::name); empty: the primary one.
    QString Screen;
    // The folder of the last roster import; empty: none yet.
    QString ImportFolder;
    // A short sound when a countdown reaches zero.
    bool CountdownSound = false;
    // The days the school's terms start, as the teacher wrote them (see
    // ParseTermStarts); kept as they are, days that are none included.
    QString TermStarts = {};

    friend bool operator==(const Preferences &, const Preferences &) = default;
};

// Section Preferences of dataDir's Config.ini. A missing file or key gives
// the default; a scale that is not one of kScaleChoices is 100.
Preferences LoadPreferences(const QString &dataDir);

// Writes section Preferences of dataDir's Config.ini, keeping everything else
// the file holds; atomic. False (with *error) when the file cannot be
// written, or cannot be read completely (it is never rewritten from what was
// read): the old file is then untouched.
bool SavePreferences(const QString &dataDir, const Preferences &preferences,
                     QString *error = nullptr);

// The term starts as Config.ini keeps them: ISO dates separated by commas,
// semicolons or blanks. What is no date is left out; ascending, once each.
std::vector<QDate> ParseTermStarts(const QString &text);

// Qt's QT_SCALE_FACTOR for a scale: current unchanged at 100 %, else
// percent / 100 times the factor current sets (1 when it sets none).
QByteArray ScaleFactorSetting(int percent, const QByteArray &current);

// Before the application object exists: reads the scale of the data folder
// the program will use (--data-dir in argv, else as ResolveDataDir chooses)
// and hands it to Qt's high-DPI scaling, so that every size of the layout
// grows together; on Windows it multiplies the system's own scaling, which Qt
// follows per screen. Call it once the application's name is set (the
// per-user folder is named after it).
void ApplyDisplayScale(int argc, char **argv);
// The scale ApplyDisplayScale applied in this run: 100 until it is called.
int AppliedScalePercent();

// Whether a screen of screenSize pixels of the layout at appliedPercent
// still holds kSmallestLayoutScreen at percent.
bool ScaleFits(QSize screenSize, int appliedPercent, int percent);
// The kScaleChoices that fit a screen (ScaleFits), 100 and chosen among
// them in any case, in ascending order.
std::vector<int> OfferedScales(QSize screenSize, int appliedPercent, int chosen);

// The screen to start on, an index into names: the screen named saved while
// it is there, else primary.
int StartScreen(const QStringList &names, const QString &saved, int primary);
// The screen after current among count, the first after the last.
int NextScreen(int count, int current);

// The folder the import's file dialog opens in: the remembered one while it
// exists, else the teacher's documents while they exist, else home (a file
// dialog given a folder that is not there opens in the working folder).
QString ImportStartFolder(const QString &remembered, const QString &documents, const QString &home);

} // namespace lumora
