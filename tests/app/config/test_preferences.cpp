// The teacher's preferences in Config.ini and the choices made from them:
// Qt's scale factor, the scales a screen offers, the screen to start on and
// the next one, the import's folder.
#include "config/Preferences.h"

#include "config/Config.h"

#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

namespace lumora {
namespace {

using test::DataDir;

TEST(Preferences, OnlyTheOfferedScalesAreRead) {
    const std::pair<const char *, int> cases[] = {
        {"[Public]\nMainLine=5\n", 100},
        {"[Preferences]\nDisplayScale=150\n", 150},
        {"[Preferences]\nDisplayScale=200\n", 200},
        {"[Preferences]\nDisplayScale=130\n", 100},
        {"[Preferences]\nDisplayScale=abc\n", 100},
    };
    for (const auto &[file, percent] : cases) {
        DataDir dir;
        dir.Write("Config.ini", file);
        EXPECT_EQ(LoadPreferences(dir.Path()).ScalePercent, percent) << file;
    }
}

TEST(Preferences, SavedBesideTheSixKeysWhichStayAsTheyWere) {
    DataDir dir;
    Config config;
    config.MainLine = 7;
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    const QByteArray before = dir.Read("Config.ini");
    const Preferences preferences{150, QStringLiteral("HDMI-1"),
                                  QStringLiteral("/home/王老师/班 3"), true,
                                  QStringLiteral("2026-09-01, 2027-02-30")}; // kept as written
    ASSERT_TRUE(SavePreferences(dir.Path(), preferences));
    EXPECT_EQ(LoadPreferences(dir.Path()), preferences);
    EXPECT_TRUE(dir.Read("Config.ini").startsWith(before)); // section Public untouched
    // The program's end writes the six keys again: the preferences stay.
    config.MainRow = 4;
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    EXPECT_EQ(LoadPreferences(dir.Path()), preferences);

    // A file that was not read completely is never rewritten.
    const QByteArray unread("[Public]\nMainLine=5\n\0\n", 22);
    dir.Write("Config.ini", unread);
    QString error;
    EXPECT_FALSE(SavePreferences(dir.Path(), preferences, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.Read("Config.ini"), unread);
}

TEST(Preferences, TermStartsAreReadTolerantly) {
    const std::pair<const char *, std::vector<QDate>> cases[] = {
        {"", {}},
        {"2026-09-01", {QDate(2026, 9, 1)}},
        {" 2027-02-15 ; 2026-09-01,,2026-09-01 ", {QDate(2026, 9, 1), QDate(2027, 2, 15)}},
        {"2026-02-30,1.9.2026,2026-9-1,2026-09-01T08:00,soon,2026-03-01", {QDate(2026, 3, 1)}},
    };
    for (const auto &[text, starts] : cases) {
        EXPECT_EQ(ParseTermStarts(QString::fromUtf8(text)), starts) << text;
    }
    DataDir dir;
    dir.Write("Config.ini", "[Preferences]\nTermStarts=2027-02-15 x 2026-09-01\n");
    EXPECT_EQ(ParseTermStarts(LoadPreferences(dir.Path()).TermStarts),
              (std::vector<QDate>{QDate(2026, 9, 1), QDate(2027, 2, 15)}));
}

TEST(Preferences, QtScaleFactorMultipliesWhatIsSet) {
    const std::tuple<int, QByteArray, QByteArray> cases[] = {
        {100, "", ""},   {100, "2", "2"}, {125, "", "1.25"},   {150, "", "1.5"},
        {150, "2", "3"}, {200, "0", "2"}, {130, "1.5", "1.5"}, // 130: not offered, 100 %
    };
    for (const auto &[percent, current, factor] : cases) {
        EXPECT_EQ(ScaleFactorSetting(percent, current), factor)
            << percent << " on " << current.data();
    }
}

TEST(Preferences, TheDataFoldersScaleReachesQtBeforeTheApplication) {
    const bool wasSet = qEnvironmentVariableIsSet("QT_SCALE_FACTOR");
    const QByteArray saved = qgetenv("QT_SCALE_FACTOR");
    DataDir dir;
    dir.Write("Config.ini", "[Preferences]\nDisplayScale=150\n");
    const QByteArray path = QFile::encodeName(dir.Path());
    const auto apply = [](QList<QByteArray> arguments) {
        qunsetenv("QT_SCALE_FACTOR");
        std::vector<char *> argv;
        for (QByteArray &argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        ApplyDisplayScale(static_cast<int>(arguments.size()), argv.data());
        return qgetenv("QT_SCALE_FACTOR");
    };
    EXPECT_EQ(apply({"Lumora", "--data-dir", path}), "1.5");
    EXPECT_EQ(apply({"Lumora", "--tour", "x", "--data-dir=" + path}), "1.5");
    EXPECT_EQ(AppliedScalePercent(), 150);
    // At 100 % nothing is set: Qt scales as it always does.
    dir.Write("Config.ini", "[Public]\nMainLine=5\n");
    EXPECT_EQ(apply({"Lumora", "--data-dir", path}), "");
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));
    EXPECT_EQ(AppliedScalePercent(), 100);
    if (wasSet) {
        qputenv("QT_SCALE_FACTOR", saved);
    }
}

TEST(Preferences, AScaleIsOfferedWhenTheScreenStillHoldsTheLayout) {
    const std::tuple<QSize, int, int, std::vector<int>> cases[] = {
        // screen in pixels of the layout, scale applied, scale chosen: offered
        {{1920, 1080}, 100, 100, {100, 125, 150}}, // 200 % leaves 960 x 540
        {{1366, 768}, 100, 100, {100, 125}},       // 150 % leaves 911 x 512
        {{1280, 720}, 150, 150, {100, 125, 150}},  // 1920 x 1080 at 150 %
        {{3840, 2160}, 100, 100, {100, 125, 150, 200}},
        {{1366, 768}, 100, 200, {100, 125, 200}}, // the chosen one stays
    };
    for (const auto &[screen, applied, chosen, offered] : cases) {
        EXPECT_EQ(OfferedScales(screen, applied, chosen), offered)
            << screen.width() << " " << applied;
    }
}

TEST(Preferences, TheScreenToStartOnAndTheNextOne) {
    const QStringList screens{QStringLiteral("eDP-1"), QStringLiteral("HDMI-1")};
    EXPECT_EQ(StartScreen(screens, QStringLiteral("HDMI-1"), 0), 1);
    EXPECT_EQ(StartScreen(screens, QStringLiteral("eDP-1"), 1), 0);
    EXPECT_EQ(StartScreen(screens, QString(), 1), 1);              // none saved: the primary
    EXPECT_EQ(StartScreen(screens, QStringLiteral("DP-2"), 0), 0); // gone: the primary
    EXPECT_EQ(NextScreen(2, 0), 1);
    EXPECT_EQ(NextScreen(2, 1), 0); // after the last, the first
    EXPECT_EQ(NextScreen(1, 0), 0);
    EXPECT_EQ(NextScreen(0, 0), -1);
}

TEST(Preferences, TheImportOpensInTheLastFolderWhileItExists) {
    DataDir dir;
    dir.Write("Documents/.keep", "");
    dir.Write("Last/.keep", "");
    const QString documents = dir.File("Documents");
    EXPECT_EQ(ImportStartFolder(dir.File("Last"), documents, u"/home"_qs), dir.File("Last"));
    EXPECT_EQ(ImportStartFolder(dir.File("gone"), documents, u"/home"_qs), documents);
    // Documents that are not there: home, never the working folder.
    EXPECT_EQ(ImportStartFolder(QString(), dir.File("None"), u"/home"_qs), u"/home"_qs);
}

} // namespace
} // namespace lumora
