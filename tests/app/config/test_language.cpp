// LanguageTexts, MessageTexts and the two shipped language files.
#include "config/LanguageTexts.h"

#include "config/UnXML.h"

#include "core/MessageTexts.h"
#include "support/TestFiles.h"

#include <QSet>

#include <pugixml.hpp>

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;
using test::U;

const QString kShipped = QStringLiteral(LUMORA_LANGUAGE_DIR);

QString Shipped(const char *language) {
    return LanguageFilePath(QFileInfo(kShipped).path(), QString::fromLatin1(language));
}

TEST(LanguageTexts, OnlyTheFirstEqualsSignSeparatesKeyAndText) {
    LanguageTexts texts;
    texts.Append(u"Tip1", u"a=b=c");
    texts.Append(u"Tip2", u"");
    texts.Append(u"Tip1", u"second");
    EXPECT_EQ(texts.Value(u"Tip1"), QStringLiteral("a=b=c"));
    EXPECT_EQ(texts.Value(u"Tip2"), QString());
    EXPECT_EQ(texts.Value(u"tip1"), QString()); // exact, case included
    EXPECT_EQ(texts.Value(u"Missing"), QString());
    EXPECT_EQ(texts.Lines().first(), QStringLiteral("Tip1=a=b=c"));
    texts.Clear();
    EXPECT_TRUE(texts.IsEmpty());
}

TEST(LanguageTexts, FilePathIsUnderTheDataFolder) {
    EXPECT_EQ(LanguageFilePath(QStringLiteral("/data"), QStringLiteral("en_US")),
              QStringLiteral("/data/Language/en_US/Language.xml"));
}

TEST(LoadLanguage, AMissingFileLeavesTextsEmptyAndMessagesAsTheyWere) {
    DataDir dir;
    LanguageTexts texts;
    texts.Append(u"AppTitle", u"old");
    MessageTextTable messages;
    messages.Set(MessageKey::Tip1, QStringLiteral("kept"));
    const QString name = LanguageFilePath(dir.Path(), QStringLiteral("xx"));
    try {
        LoadLanguage(name, texts, messages);
        FAIL() << "no error";
    } catch (const XmlError &e) {
        EXPECT_EQ(e.message(), name + U(" 文件没有找到,加载xml失败"));
    }
    EXPECT_TRUE(texts.IsEmpty());
    EXPECT_EQ(texts.Value(u"AppTitle"), QString());
    EXPECT_EQ(messages[MessageKey::Tip1], QStringLiteral("kept"));
    EXPECT_EQ(messages[MessageKey::Tip2], U("座位关联"));
}

TEST(LoadLanguage, MissingElementsGiveEmptyTextsAlsoForMessages) {
    DataDir dir;
    dir.Write("Language/t/Language.xml",
              U("<LanguageSet><AppTitle>标题</AppTitle><Tip13/><Tip2>a=b</Tip2>"
                "<Unknown>ignored</Unknown><Tip3>first</Tip3><Tip3>second</Tip3></LanguageSet>")
                  .toUtf8());
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("t")), texts, messages);
    ASSERT_EQ(texts.Lines().size(), kLanguageKeyCount);
    for (int i = 0; i < kLanguageKeyCount; ++i) {
        EXPECT_TRUE(texts.Lines()[i].startsWith(QString::fromLatin1(LanguageKeys[i]) + u'='));
    }
    EXPECT_EQ(texts.Value(u"AppTitle"), U("标题"));
    EXPECT_EQ(texts.Value(u"View"), QString());
    EXPECT_EQ(texts.Value(u"Unknown"), QString());
    EXPECT_EQ(messages[MessageKey::Tip2], QStringLiteral("a=b"));
    EXPECT_EQ(messages[MessageKey::Tip3], QStringLiteral("first"));
    EXPECT_EQ(messages[MessageKey::Tip13], QString());
    EXPECT_EQ(messages[MessageKey::Tip1], QString()); // built-in default replaced
    EXPECT_EQ(messages[MessageKey::Error1], QString());
    // A file of an older installation has none of the added messages.
    EXPECT_EQ(messages[MessageKey::WrittenCount], U("已写 %1 / %2"));
    EXPECT_EQ(messages[MessageKey::PageNumber], U("第 %1 / %2 页"));
}

TEST(LoadLanguage, ARootOtherThanLanguageSetGivesEmptyTexts) {
    DataDir dir;
    dir.Write("Language/t/Language.xml", "<Texts><AppTitle>x</AppTitle><Tip1>y</Tip1></Texts>");
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("t")), texts, messages);
    ASSERT_EQ(texts.Lines().size(), kLanguageKeyCount);
    for (const char *key : LanguageKeys) {
        EXPECT_EQ(texts.Value(QString::fromLatin1(key)), QString()) << key;
    }
    EXPECT_EQ(messages[MessageKey::Tip1], QString());
}

TEST(LoadLanguage, AFileThatIsNotWellFormedGivesEmptyTexts) {
    DataDir dir;
    dir.Write("Language/t/Language.xml", "<LanguageSet><AppTitle>x</LanguageSet>");
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("t")), texts, messages);
    EXPECT_EQ(texts.Lines().size(), kLanguageKeyCount);
    EXPECT_EQ(texts.Value(u"AppTitle"), QString());
    EXPECT_EQ(messages[MessageKey::Tip9], QString());
}

TEST(LoadLanguage, ALegacyGb18030FileKeepsEveryCharacter) {
    DataDir dir;
    // <Tip1>张三</Tip1> in GB18030, no declaration.
    dir.Write("Language/gb/Language.xml",
              QByteArray("<LanguageSet><Tip1>\xD5\xC5\xC8\xFD</Tip1></LanguageSet>"));
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("gb")), texts, messages);
    EXPECT_EQ(messages[MessageKey::Tip1], U("张三"));
}

// The element names under LanguageSet of a shipped file.
QStringList ElementNames(const QString &file) {
    TSystemParams params(file);
    QStringList names;
    const pugi::xml_node root = params.GetDocument()->document_element();
    EXPECT_STREQ(root.name(), "LanguageSet");
    for (const pugi::xml_node &child : root.children()) {
        if (child.type() == pugi::node_element) {
            names.append(QString::fromUtf8(child.name()));
        }
    }
    return names;
}

class ShippedLanguage : public testing::TestWithParam<const char *> {};

TEST_P(ShippedLanguage, HoldsThe52KeysThenTheAddedMessages) {
    const QStringList names = ElementNames(Shipped(GetParam()));
    QStringList expected;
    for (const char *key : LanguageKeys) {
        expected.append(QString::fromLatin1(key));
    }
    for (int i = static_cast<int>(kFirstAddedMessage); i < kMessageTextCount; ++i) {
        expected.append(QString::fromLatin1(MessageKeyName(static_cast<MessageKey>(i))));
    }
    EXPECT_EQ(names, expected); // each once, in the order of LanguageKeys
}

TEST_P(ShippedLanguage, GivesATextForEveryKeyButTheUnusedWarnings) {
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(Shipped(GetParam()), texts, messages);
    const QSet<QString> unused = {QStringLiteral("Warning3"), QStringLiteral("Warning4"),
                                  QStringLiteral("Warning5")};
    for (const char *key : LanguageKeys) {
        const QString name = QString::fromLatin1(key);
        EXPECT_EQ(texts.Value(name).isEmpty(), unused.contains(name)) << GetParam() << " " << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguage, testing::Values("zh_CN", "en_US"));

TEST(ShippedLanguage, ChineseHoldsTheFormTextsAndBuiltInDefaults) {
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(Shipped("zh_CN"), texts, messages);
    const std::pair<const char *, const char *> forms[] = {
        {"AppTitle", "Vote System"},
        {"View", "界面选择"},
        {"MainInterface", "显示窗口"},
        {"LiveView", "实时浏览"},
        {"Statisticalresults", "结果统计"},
        {"Examiners", "出题"},
        {"TopicsType", "题型选择"},
        {"SingleChoice", "单选题"},
        {"multipleChoice", "多选题"},
        {"EssayQuestion", "主观题"},
        {"AnswerState", "答题状态"},
        {"NotStarted", "未开始"},
        {"UnderWay", "进行中"},
        {"AlreadyOver", "结束答题"},
        {"QuestionsEdit", "编辑题目"},
        {"Settings", "设置"},
        {"LayoutSettings", "界面设置"},
        {"Quit", "退出系统"},
        {"StudentList", "学生列表"},
        {"ViewSet", "浏览界面设置"},
        {"MainInterfaceSet", "主界面设置"},
        {"LanSet", "语言设置"},
        {"OtherSet", "其他设置"},
        {"SplitSet", "主观题显示分屏"},
        {"LineNum", "横向座位数"},
        {"RowNum", "纵向座位数"},
        {"SelLanguage", "选择语言"},
        {"LoadStdInfo", "从文件导入学生信息"},
    };
    for (const auto &[key, text] : forms) {
        EXPECT_EQ(texts.Value(QString::fromLatin1(key)), U(text)) << key;
    }
    for (int i = 0; i < kMessageTextCount; ++i) {
        const auto key = static_cast<MessageKey>(i);
        EXPECT_EQ(messages[key], BuiltInMessageText(key)) << MessageKeyName(key);
    }
}

TEST(ShippedLanguage, EnglishIsATranslation) {
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(Shipped("en_US"), texts, messages);
    EXPECT_EQ(texts.Value(u"SingleChoice"), QStringLiteral("Single Choice"));
    EXPECT_EQ(messages[MessageKey::Tip5], QStringLiteral("OK"));
    EXPECT_EQ(messages[MessageKey::Tip6], QStringLiteral("Cancel"));
    // No Chinese left in the English file.
    for (const QString &line : texts.Lines()) {
        for (QChar c : line) {
            EXPECT_LT(c.unicode(), 0x2E80) << line.toStdString();
        }
    }
}

TEST(LoadLanguage, AddedMessagesAreReadBlankOnesKeepTheirBuiltInTexts) {
    DataDir dir;
    dir.Write("Language/t/Language.xml",
              "<LanguageSet><FileIsFolder>a folder</FileIsFolder><FileZeroByte> </FileZeroByte>"
              "</LanguageSet>");
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("t")), texts, messages);
    EXPECT_EQ(messages[MessageKey::FileIsFolder], u"a folder"_qs);
    EXPECT_EQ(messages[MessageKey::FileZeroByte], BuiltInMessageText(MessageKey::FileZeroByte));
}

// A data folder seeded by an older version: its English file lacks the texts
// added since, which come from the program's own English, not in Chinese.
TEST(LoadLanguage, AnOlderFileTakesTheAddedTextsFromTheProgramsCopyOfItsLanguage) {
    DataDir dir;
    dir.Write("Language/en_US/Language.xml",
              "<LanguageSet><Tip1>None</Tip1><AnsweredCount>Done %1 of %2</AnsweredCount>"
              "</LanguageSet>");
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("en_US")), texts, messages);
    EXPECT_EQ(messages[MessageKey::Tip1], u"None"_qs);
    EXPECT_EQ(messages[MessageKey::AnsweredCount], u"Done %1 of %2"_qs); // the file's own
    EXPECT_EQ(messages[MessageKey::WrittenCount], u"Written %1 / %2"_qs);
    EXPECT_EQ(messages[MessageKey::LessonHistory], u"Lesson history"_qs);
}

TEST(LoadLanguage, DeepNestingIsNotWellFormedAndShallowStaysText) {
    DataDir dir;
    const auto nested = [](int depth) {
        return "<LanguageSet><AppTitle>" + QByteArray("<a>").repeated(depth) + "x" +
               QByteArray("</a>").repeated(depth) + "</AppTitle><Tip1>y</Tip1></LanguageSet>";
    };
    dir.Write("Language/deep/Language.xml", nested(100000));
    dir.Write("Language/flat/Language.xml", nested(100));
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("deep")), texts, messages);
    EXPECT_EQ(texts.Value(u"AppTitle"), QString());
    EXPECT_EQ(messages[MessageKey::Tip1], QString());
    LoadLanguage(LanguageFilePath(dir.Path(), QStringLiteral("flat")), texts, messages);
    EXPECT_EQ(texts.Value(u"AppTitle"), u"x"_qs);
    EXPECT_EQ(messages[MessageKey::Tip1], u"y"_qs);
}

} // namespace
} // namespace lumora
