// Config.ini.
#include "config/Config.h"

#include "config/IniFile.h"

#include "support/CrashHelper.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;
using test::U;

constexpr int kScreen = 1080;

Config LoadWith(const QByteArray &ini, int screenHeight = kScreen) {
    DataDir dir;
    dir.Write("Config.ini", ini);
    return LoadConfig(dir.Path(), screenHeight);
}

TEST(Config, FirstStartWithoutAFileGivesTheDefaults) {
    DataDir dir;
    const Config config = LoadConfig(dir.Path(), kScreen);
    EXPECT_EQ(config.LanguageType, 1);
    EXPECT_EQ(config.MainLine, 8);
    EXPECT_EQ(config.MainRow, 6);
    EXPECT_EQ(config.Split, 4);
    EXPECT_EQ(config.Count, 5);
    EXPECT_EQ(config.LanguageName, QStringLiteral("zh_CN"));
    EXPECT_EQ(config, Config());
    EXPECT_FALSE(dir.Exists("Config.ini")); // reading creates nothing
}

TEST(Config, ReadsTheSixKeysOfSectionPublic) {
    const Config config = LoadWith("[Public]\nLanguageType=0\nMainLine=5\nMainRow=4\n"
                                   "Split=9\nCount=17\nLanguageName=en_US\n");
    EXPECT_EQ(config.LanguageType, 0);
    EXPECT_EQ(config.MainLine, 5);
    EXPECT_EQ(config.MainRow, 4);
    EXPECT_EQ(config.Split, 9);
    EXPECT_EQ(config.Count, 17);
    EXPECT_EQ(config.LanguageName, QStringLiteral("en_US"));
}

TEST(Config, KeysOfOtherSectionsAreNotRead) {
    const Config config = LoadWith("[Other]\nMainLine=5\n[public]\nmainrow=4\n");
    EXPECT_EQ(config.MainLine, 8);
    EXPECT_EQ(config.MainRow, 4); // names match without regard to case
}

struct ClampCase {
    const char *line;
    const char *row;
    int screenHeight;
    int mainLine;
    int mainRow;
};

TEST(Config, ClampsTheSeatCounts) {
    const ClampCase cases[] = {
        {"12", "6", kScreen, 10, 6}, // above 10
        {"10", "10", kScreen, 10, 10},
        {"8", "10", 720, 8, 9}, // 720-pixel-high screen
        {"8", "12", 720, 8, 9},
        {"8", "9", 720, 8, 9},
        {"8", "10", 721, 8, 10}, // exactly 720 only
        {"8", "10", 768, 8, 10},
        {"3", "2", kScreen, 3, 2},  // below 4: kept
        {"0", "-4", kScreen, 1, 1}, // below 1: 1 (sound behaviour)
        {"-2147483648", "99999999999", kScreen, 1, 10},
    };
    for (const ClampCase &c : cases) {
        const Config config =
            LoadWith(QByteArray("[Public]\nMainLine=") + c.line + "\nMainRow=" + c.row + "\n",
                     c.screenHeight);
        EXPECT_EQ(config.MainLine, c.mainLine) << c.line << " " << c.row << " " << c.screenHeight;
        EXPECT_EQ(config.MainRow, c.mainRow) << c.line << " " << c.row << " " << c.screenHeight;
    }
}

struct NumberCase {
    const char *text;
    int32_t value; // with fallback 77
};

TEST(ParseProfileInt, ReadsLikeThePlatformsProfileFunctions) {
    const NumberCase cases[] = {
        {"12", 12},         {"12abc", 12},     {" 9", 9},    {"\t+5", 5},  {"-3", -3},
        {"abc", 77},        {"", 77},          {"-", 77},    {"x1", 77},   {"0x1A", 26},
        {"0x", 0},          {"0o17", 15},      {"0b101", 5}, {"08", 8},    {"007", 7},
        {"4294967295", -1}, {"4294967296", 0}, {"1.5", 1},   {"１２", 77}, // full-width digits
    };
    for (const NumberCase &c : cases) {
        EXPECT_EQ(ParseProfileInt(U(c.text), 77), c.value) << '"' << c.text << '"';
    }
}

TEST(Config, ValuesThatAreNotNumbersReadAsTheDefault) {
    const Config config = LoadWith("[Public]\nLanguageType=x\nMainLine=abc\nMainRow=\n"
                                   "Split=5 panes\nCount= 3\n");
    EXPECT_EQ(config.LanguageType, 1);
    EXPECT_EQ(config.MainLine, 8);
    EXPECT_EQ(config.MainRow, 6);
    EXPECT_EQ(config.Split, 5); // leading digits count
    EXPECT_EQ(config.Count, 3);
}

struct NameCase {
    const char *name;
    const char *used;
};

TEST(Config, LanguageNameIsAPlainFolderNameOfAtMost15Characters) {
    const NameCase cases[] = {
        {"en_US", "en_US"},
        {"abcdefghijklmno", "abcdefghijklmno"}, // 15
        {"abcdefghijklmnop", "zh_CN"},          // 16
        {"中文简体", "中文简体"},
        {"../../etc", "zh_CN"},
        {"..", "zh_CN"},
        {".", "zh_CN"},
        {"a..b", "zh_CN"},
        {"en/US", "zh_CN"},
        {"en\\US", "zh_CN"},
        {"C:", "zh_CN"},
        {"/tmp", "zh_CN"},
        {"", "zh_CN"},
    };
    for (const NameCase &c : cases) {
        const Config config = LoadWith(QByteArray("[Public]\nLanguageName=") + c.name + "\n");
        EXPECT_EQ(config.LanguageName, U(c.used)) << c.name;
        EXPECT_EQ(IsPlainFolderName(U(c.name)), qstrcmp(c.name, c.used) == 0) << c.name;
    }
    EXPECT_FALSE(IsPlainFolderName(u"a\tb"));
    EXPECT_EQ(SafeLanguageName(u"en_US"), QStringLiteral("en_US"));
}

TEST(Config, ALegacyGb18030FileLoads) {
    // LanguageName=中文 in GB18030.
    const Config config =
        LoadWith(QByteArray("[Public]\r\nMainLine=9\r\nLanguageName=\xD6\xD0\xCE\xC4\r\n"));
    EXPECT_EQ(config.MainLine, 9);
    EXPECT_EQ(config.LanguageName, U("中文"));
}

TEST(Config, SaveWritesAllSixKeysInOrder) {
    DataDir dir;
    Config config;
    config.LanguageType = 0;
    config.MainLine = 7;
    config.MainRow = 5;
    config.Split = 5;
    config.Count = 42;
    config.LanguageName = QStringLiteral("en_US");
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    const QString text = QString::fromUtf8(dir.Read("Config.ini")).trimmed();
    EXPECT_EQ(text, QStringLiteral("[Public]\nLanguageType=0\nMainLine=7\nMainRow=5\nSplit=5\n"
                                   "Count=42\nLanguageName=en_US"));
    EXPECT_EQ(LoadConfig(dir.Path(), kScreen), config);
}

TEST(Config, SplitOfFiveIsKeptAndWrittenBack) {
    DataDir dir;
    dir.Write("Config.ini", "[Public]\nSplit=5\nCount=9\n");
    const Config config = LoadConfig(dir.Path(), kScreen);
    EXPECT_EQ(config.Split, 5);
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    IniFile ini;
    ASSERT_EQ(ini.Load(dir.File("Config.ini")), ReadStatus::Ok);
    EXPECT_EQ(ini.ReadString(u"Public", u"Split"), QStringLiteral("5"));
    EXPECT_EQ(ini.ReadString(u"Public", u"Count"), QStringLiteral("9"));
}

TEST(Config, SaveKeepsWhatElseTheFileHolds) {
    DataDir dir;
    dir.Write("Config.ini", "; settings\n[Public]\nMainRow=4\nExtra=keep me\n[Other]\nA=1\n");
    Config config;
    config.MainRow = 6;
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    IniFile ini;
    ASSERT_EQ(ini.Load(dir.File("Config.ini")), ReadStatus::Ok);
    EXPECT_EQ(ini.ReadString(u"Public", u"Extra"), QStringLiteral("keep me"));
    EXPECT_EQ(ini.ReadString(u"Other", u"A"), QStringLiteral("1"));
    EXPECT_EQ(ini.ReadInt(u"Public", u"MainRow", 0), 6);
    EXPECT_TRUE(QString::fromUtf8(dir.Read("Config.ini")).contains(QStringLiteral("; settings")));
}

TEST(Config, SaveWritesAnUnsafeLanguageNameAsTheDefault) {
    DataDir dir;
    Config config;
    config.LanguageName = QStringLiteral("../x");
    ASSERT_TRUE(SaveConfig(dir.Path(), config));
    EXPECT_EQ(LoadConfig(dir.Path(), kScreen).LanguageName, QStringLiteral("zh_CN"));
    EXPECT_TRUE(QString::fromUtf8(dir.Read("Config.ini")).contains(u"LanguageName=zh_CN"));
}

TEST(Config, SaveIntoAMissingFolderFails) {
    DataDir dir;
    QString error;
    EXPECT_FALSE(SaveConfig(dir.File("missing"), Config(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Config, ACrashDuringSaveLeavesTheOldFileWhole) {
    DataDir dir;
    const QByteArray old("[Public]\nMainLine=5\nMainRow=4\n");
    dir.Write("Config.ini", old);
    Config config;
    config.MainLine = 9;
    ASSERT_TRUE(test::RunAndCrashBeforeReplace([&] { SaveConfig(dir.Path(), config); }));
    EXPECT_EQ(dir.Read("Config.ini"), old);
    EXPECT_EQ(LoadConfig(dir.Path(), kScreen).MainLine, 5);
}

TEST(Config, AFileNotReadCompletelyIsNeverRewritten) {
    DataDir dir;
    const QByteArray file("[Public]\nMainLine=5\n\0\nMainRow=4\n", 32);
    dir.Write("Config.ini", file);
    FileProblem problem;
    const Config config = LoadConfig(dir.Path(), kScreen, &problem);
    EXPECT_EQ(config.MainRow, 4); // read past the zero byte
    EXPECT_EQ(problem.What, FileProblem::ZeroByte);
    EXPECT_EQ(problem.Line, 3);
    QString error;
    EXPECT_FALSE(SaveConfig(dir.Path(), config, &error));
    EXPECT_EQ(error, problem.Describe());
    EXPECT_EQ(dir.Read("Config.ini"), file);
}

} // namespace
} // namespace lumora
