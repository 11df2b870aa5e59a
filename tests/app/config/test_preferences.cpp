// The teacher's preferences in Config.ini and the choices made from them:
// Qt's scale factor, the scales a screen offers, the screen to start on and
// the next one, the import's folder.
#include "config/Preferences.h"

#include "config/Config.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <vector>

namespace lumora {
namespace {

using test::DataDir;

TEST(Preferences, AFileWithoutThemGivesTheDefaults) {
    DataDir dir;
    EXPECT_EQ(LoadPreferences(dir.Path()), Preferences());
    dir.Write("Config.ini", "[Public]\nMainLine=5\n");
    EXPECT_EQ(LoadPreferences(dir.Path()), Preferences());
    EXPECT_EQ(Preferences().ScalePercent, 100);
}

TEST(Preferences, OnlyTheOfferedScalesAreRead) {
    const std::pair<const char *, int> cases[] = {
        {"125", 125}, {"150", 150}, {"200", 200}, {"130", 100}, {"0", 100}, {"abc", 100},
    };
    for (const auto &[value, percent] : cases) {
        DataDir dir;
        dir.Write("Config.ini", QByteArray("[Preferences]\nDisplayScale=") + value + '\n');
        EXPECT_EQ(LoadPreferences(dir.Path()).ScalePercent, percent) << value;
    }
}

TEST(Preferences, SavedBesideTheSixKeysWhichStayAsTheyWere) {
    DataDir dir;
    Config config;
    config.MainLine = 7;
    config.LanguageName = QStringLiteral("en_US");
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    const QByteArray before = dir.Read("Config.ini");

    Preferences preferences;
    preferences.ScalePercent = 150;
    preferences.Screen = QStringLiteral("HDMI-1");
    preferences.ImportFolder = QStringLiteral("/home/王老师/班级 3");
    ASSERT_TRUE(SavePreferences(dir.Path(), preferences));
    EXPECT_EQ(LoadPreferences(dir.Path()), preferences);
    EXPECT_EQ(LoadConfig(dir.Path(), 1080), config);
    // Section Public is untouched, the preferences have a section of their own.
    EXPECT_TRUE(dir.Read("Config.ini").startsWith(before)) << dir.Read("Config.ini").constData();
    EXPECT_TRUE(dir.Read("Config.ini").contains("[Preferences]\nDisplayScale=150\n"));

    // The program's end writes the six keys again: the preferences stay.
    config.MainRow = 4;
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    EXPECT_EQ(LoadPreferences(dir.Path()), preferences);
}

TEST(Preferences, AFileNotReadCompletelyIsNeverRewritten) {
    DataDir dir;
    const QByteArray file("[Public]\nMainLine=5\n\0\n", 22);
    dir.Write("Config.ini", file);
    QString error;
    EXPECT_FALSE(SavePreferences(dir.Path(), Preferences(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.Read("Config.ini"), file);
}

TEST(Preferences, QtScaleFactorMultipliesWhatIsSet) {
    struct Case {
        int percent;
        QByteArray current;
        QByteArray factor;
    };
    const Case cases[] = {
        {100, "", ""},       {100, "2", "2"}, {125, "", "1.25"},    {150, "", "1.5"},
        {200, "", "2"},      {150, "2", "3"}, {150, "junk", "1.5"}, {150, "0", "1.5"},
        {130, "1.5", "1.5"}, // not a scale the panel offers: 100 %
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ScaleFactorSetting(c.percent, c.current), c.factor)
            << c.percent << " on " << c.current.constData();
    }
}

// QT_SCALE_FACTOR as it was before the test.
class ScaleFactorEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        had_ = qEnvironmentVariableIsSet("QT_SCALE_FACTOR");
        saved_ = qgetenv("QT_SCALE_FACTOR");
        qunsetenv("QT_SCALE_FACTOR");
    }
    void TearDown() override {
        if (had_) {
            qputenv("QT_SCALE_FACTOR", saved_);
        } else {
            qunsetenv("QT_SCALE_FACTOR");
        }
    }
    bool had_ = false;
    QByteArray saved_;
};

// Runs ApplyDisplayScale with the command line's words.
void ApplyWith(QList<QByteArray> arguments) {
    std::vector<char *> argv;
    for (QByteArray &argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    ApplyDisplayScale(static_cast<int>(arguments.size()), argv.data());
}

TEST_F(ScaleFactorEnvironment, TheDataFoldersScaleReachesQtBeforeTheApplication) {
    DataDir dir;
    dir.Write("Config.ini", "[Preferences]\nDisplayScale=150\n");
    const QByteArray path = QFile::encodeName(dir.Path());
    for (const QList<QByteArray> &arguments :
         {QList<QByteArray>{"Lumora", "--data-dir", path},
          QList<QByteArray>{"Lumora", "--data-dir=" + path},
          QList<QByteArray>{"Lumora", "--tour", "/tmp/x", "--data-dir", path}}) {
        qunsetenv("QT_SCALE_FACTOR");
        ApplyWith(arguments);
        EXPECT_EQ(qgetenv("QT_SCALE_FACTOR"), QByteArray("1.5")) << arguments.join(' ').constData();
        EXPECT_EQ(AppliedScalePercent(), 150);
    }
    // A factor set by hand grows by the scale.
    qputenv("QT_SCALE_FACTOR", "2");
    ApplyWith({"Lumora", "--data-dir", path});
    EXPECT_EQ(qgetenv("QT_SCALE_FACTOR"), QByteArray("3"));

    // At 100 % nothing is set: Qt scales as it always does.
    dir.Write("Config.ini", "[Public]\nMainLine=5\n");
    qunsetenv("QT_SCALE_FACTOR");
    ApplyWith({"Lumora", "--data-dir", path});
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));
    EXPECT_EQ(AppliedScalePercent(), 100);
}

TEST(Preferences, AScaleIsOfferedWhenTheScreenStillHoldsTheLayout) {
    struct Case {
        QSize screen; // in pixels of the layout at the applied scale
        int applied;
        int chosen;
        std::vector<int> offered;
    };
    const Case cases[] = {
        {{1920, 1080}, 100, 100, {100, 125, 150}}, // 200 % leaves 960 x 540
        {{1366, 768}, 100, 100, {100, 125}},       // 150 % leaves 911 x 512
        {{1280, 720}, 150, 150, {100, 125, 150}},  // 1920 x 1080 at 150 %
        {{3840, 2160}, 100, 100, {100, 125, 150, 200}},
        {{1366, 768}, 100, 200, {100, 125, 200}}, // the chosen one stays
        {{800, 600}, 100, 100, {100}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(OfferedScales(c.screen, c.applied, c.chosen), c.offered)
            << c.screen.width() << "x" << c.screen.height() << " at " << c.applied;
    }
    EXPECT_TRUE(ScaleFits(QSize(1280, 750), 100, 125));
    EXPECT_FALSE(ScaleFits(QSize(1280, 749), 100, 125));
}

TEST(Preferences, TheWindowStartsOnTheScreenItWasLastOn) {
    const QStringList screens{QStringLiteral("eDP-1"), QStringLiteral("HDMI-1")};
    EXPECT_EQ(StartScreen(screens, QStringLiteral("HDMI-1"), 0), 1);
    EXPECT_EQ(StartScreen(screens, QStringLiteral("eDP-1"), 1), 0);
    EXPECT_EQ(StartScreen(screens, QString(), 0), 0);              // none saved
    EXPECT_EQ(StartScreen(screens, QStringLiteral("DP-2"), 0), 0); // gone: the primary
    EXPECT_EQ(StartScreen({QStringLiteral("eDP-1")}, QStringLiteral("HDMI-1"), 0), 0);
}

TEST(Preferences, TheNextScreenComesRound) {
    const std::pair<std::pair<int, int>, int> cases[] = {
        {{2, 0}, 1}, {{2, 1}, 0}, {{3, 1}, 2}, {{1, 0}, 0}, {{2, -1}, 0}, {{0, 0}, -1},
    };
    for (const auto &[countAndCurrent, next] : cases) {
        EXPECT_EQ(NextScreen(countAndCurrent.first, countAndCurrent.second), next)
            << countAndCurrent.first << " screens, on " << countAndCurrent.second;
    }
}

TEST(Preferences, TheImportOpensInTheLastFolderWhileItExists) {
    DataDir dir;
    dir.Write("Documents/.keep", "");
    dir.Write("Last/.keep", "");
    const QString documents = dir.File("Documents");
    const QString last = dir.File("Last");
    EXPECT_EQ(ImportStartFolder(last, documents, u"/home"_qs), last);
    EXPECT_EQ(ImportStartFolder(dir.File("gone"), documents, u"/home"_qs), documents);
    EXPECT_EQ(ImportStartFolder(QString(), documents, u"/home"_qs), documents);
    // Documents that are not there: home, never the working folder.
    EXPECT_EQ(ImportStartFolder(QString(), dir.File("None"), u"/home"_qs), u"/home"_qs);
    EXPECT_EQ(ImportStartFolder(QString(), QString(), u"/home"_qs), u"/home"_qs);
}

} // namespace
} // namespace lumora
