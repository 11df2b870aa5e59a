// Answer encoding, the debug line, the key and message tables.
#include "core/Helpers.h"
#include "core/MessageTexts.h"

#include "support/TestFiles.h"

#include <QLoggingCategory>
#include <QSet>

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::U;

struct LettersCase {
    uint32_t value;
    const char *letters;
};

TEST(Rounding, HalfToEven) {
    EXPECT_EQ(DivRoundHalfEven(799, 2), 400);
    EXPECT_EQ(DivRoundHalfEven(599, 2), 300);
    EXPECT_EQ(DivRoundHalfEven(5, 2), 2);
    EXPECT_EQ(DivRoundHalfEven(7, 2), 4);
    EXPECT_EQ(DivRoundHalfEven(598, 3), 199);
    EXPECT_EQ(DivRoundHalfEven(599, 3), 200);
    EXPECT_EQ(DivRoundHalfEven(-5, 2), -2);
    EXPECT_EQ(DivRoundHalfEven(-7, 2), -4);
    EXPECT_EQ(DivRoundHalfEven(-1, 3), 0);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(150.0), 150);
}

TEST(AnswerToLetters, GivesTheLettersInAscendingOrder) {
    const LettersCase cases[] = {
        {10u, "AC"},             // bits 1 and 3
        {1u << 27, "["},         // bit 27 alone
        {0u, ""},                // no answer
        {1u, ""},                // bit 0 carries no letter
        {1u << 1, "A"},          // key 1
        {1u << 8, "H"},          // key 8
        {1u << 26, "Z"},         // bit 26
        {1u << 31, "_"},         // bit 31
        {0xF8000000u, "[\\]^_"}, // bits 27..31
        {0xFFFFFFFFu, "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_"},
        {(1u << 4) | (1u << 2) | 1u, "BD"},
    };
    for (const LettersCase &c : cases) {
        EXPECT_EQ(AnswerToLetters(c.value), QString::fromLatin1(c.letters)) << "value " << c.value;
        // And back, but for bit 0, which no letter carries.
        EXPECT_EQ(LettersToAnswer(QString::fromLatin1(c.letters)), c.value & ~1u)
            << "letters " << c.letters;
    }
    EXPECT_EQ(LettersToAnswer(u"a C?"), 1u << 3); // only the letters' codes count
}

struct SetBitCase {
    uint32_t value;
    uint8_t n;
    uint8_t state;
    uint32_t expected;
};

TEST(SetBit, SetsClearsAndKeepsBits) {
    const SetBitCase cases[] = {
        {6, 1, 1, 6},  // already set
        {6, 1, 0, 4},  // cleared
        {6, 1, 2, 6},  // other state: unchanged
        {0, 33, 1, 2}, // n mod 32
        {6, 3, 0, 6},  // already clear
        {0, 31, 1, 0x80000000u},
        {0x80000000u, 31, 0, 0},
        {0, 0, 1, 1},
        {0, 32, 1, 1},
        {5, 2, 255, 5},
    };
    for (const SetBitCase &c : cases) {
        EXPECT_EQ(SetBit(c.value, c.n, c.state), c.expected)
            << "SetBit(" << c.value << ", " << int(c.n) << ", " << int(c.state) << ")";
    }
}

TEST(SetBit, FoldsKeyPressesIntoAnAnswer) {
    // Multiple choice: every key pressed is collected; a repeat does not clear.
    uint32_t answer = 0;
    for (uint8_t key : {3, 1, 3}) {
        answer = SetBit(answer, key, 1);
    }
    EXPECT_EQ(AnswerToLetters(answer), QStringLiteral("AC"));
    // Single choice: the answer is set to 0 before each key.
    answer = 0;
    for (uint8_t key : {2, 3}) {
        answer = SetBit(0, key, 1);
    }
    EXPECT_EQ(AnswerToLetters(answer), QStringLiteral("C"));
}

TEST(GetBit, TakesNModulo32) {
    EXPECT_EQ(GetBit(0x80000000u, 31), 1);
    EXPECT_EQ(GetBit(1, 32), 1);
    EXPECT_EQ(GetBit(1, 0), 1);
    EXPECT_EQ(GetBit(2, 0), 0);
    EXPECT_EQ(GetBit(10, 3), 1);
    EXPECT_EQ(GetBit(10, 2), 0);
    EXPECT_EQ(GetBit(0xFFFFFFFFu, 255), 1);
}

TEST(NormalizeAnswerKey, UpperCasesSortsAndDropsDuplicates) {
    EXPECT_EQ(NormalizeAnswerKey(u"CAB"), QStringLiteral("ABC"));
    EXPECT_EQ(NormalizeAnswerKey(u"BAB"), QStringLiteral("AB"));
    EXPECT_EQ(NormalizeAnswerKey(u"cba"), QStringLiteral("ABC"));
    EXPECT_EQ(NormalizeAnswerKey(u"aA"), QStringLiteral("A"));
    EXPECT_EQ(NormalizeAnswerKey(u""), QString());
}

TEST(AnswerKey, StartsEmptyAndComparesWithTheLetters) {
    EXPECT_TRUE(AnswerKey.isEmpty());
    AnswerKey = NormalizeAnswerKey(u"ca");
    EXPECT_EQ(AnswerToLetters(SetBit(SetBit(0, 3, 1), 1, 1)), AnswerKey);
    AnswerKey.clear();
}

struct DebugCase {
    const char *message;
    uint8_t count;
    int32_t a1;
    const char *line;
};

TEST(FormatDebugLine, AppendsTheNumbersByCount) {
    const DebugCase cases[] = {
        {"USB DisConnect", 0, 1, "USB DisConnect"},
        {"ButtonSignal ID", 1, 1234, "ButtonSignal ID: 1234"},
        {"pair", 2, 1, "pair: 1 : -2"},
        {"triple", 3, 1, "triple: 1 : -2 : 3"},
        {"four", 4, 1, ""},
        {"many", 255, 1, ""},
        {"", 1, 1, ": 1"},
        {"min", 1, INT32_MIN, "min: -2147483648"},
    };
    for (const DebugCase &c : cases) {
        EXPECT_EQ(FormatDebugLine(QString::fromLatin1(c.message), c.count, c.a1, -2, 3),
                  QString::fromLatin1(c.line));
    }
}

TEST(FormatDebugLine, APercentSignIsAnOrdinaryCharacter) {
    // In the original the message was the format: "%s" would read memory.
    EXPECT_EQ(FormatDebugLine(u"100%s %n %d done", 0), QStringLiteral("100%s %n %d done"));
    EXPECT_EQ(FormatDebugLine(u"100%s %n %d done", 1, 7), QStringLiteral("100%s %n %d done: 7"));
    EXPECT_EQ(FormatDebugLine(u"%%%", 3, 1, 2, 3), QStringLiteral("%%%: 1 : 2 : 3"));
}

QStringList gLogged;
QString gCategory;

void Capture(QtMsgType, const QMessageLogContext &context, const QString &message) {
    gCategory = QString::fromLatin1(context.category);
    gLogged.append(message);
}

TEST(DebugLog, SendsTheLineToTheLoggingCategory) {
    gLogged.clear();
    // Off by default: nothing reaches the output until the category is on.
    QtMessageHandler quiet = qInstallMessageHandler(Capture);
    DebugLog(u"ButtonSignal ID", 1, 7);
    qInstallMessageHandler(quiet);
    EXPECT_TRUE(gLogged.isEmpty());
    QLoggingCategory::setFilterRules(QStringLiteral("lumora.debug.debug=true"));
    QtMessageHandler previous = qInstallMessageHandler(Capture);
    DebugLog(u"ButtonSignal ID", 1, 1234);
    DebugLog(u"USB Connecting", 0);
    DebugLog(u"50%s %n", 2, 1, 2);
    DebugLog(u"ignored", 4, 1, 2, 3);
    DebugLog(U("中文"), 0);
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    EXPECT_EQ(gCategory, QStringLiteral("lumora.debug"));
    EXPECT_EQ(gLogged, QStringList({QStringLiteral("ButtonSignal ID: 1234"),
                                    QStringLiteral("USB Connecting"),
                                    QStringLiteral("50%s %n: 1 : 2"), QString(), U("中文")}));
}

TEST(LanguageKeys, HoldsThe52KeysInOrder) {
    ASSERT_EQ(LanguageKeys.size(), 52u);
    EXPECT_STREQ(LanguageKeys[0], "AppTitle");
    EXPECT_STREQ(LanguageKeys[4], "Statisticalresults");
    EXPECT_STREQ(LanguageKeys[8], "multipleChoice");
    EXPECT_STREQ(LanguageKeys[28], "AnswerSet");
    EXPECT_STREQ(LanguageKeys[29], "Tip1");
    EXPECT_STREQ(LanguageKeys[51], "Error5");
    QSet<QString> unique;
    for (const char *key : LanguageKeys) {
        unique.insert(QString::fromLatin1(key));
    }
    EXPECT_EQ(unique.size(), 52);
}

TEST(MessageTexts, NamesFollowTheLanguageKeys) {
    for (int i = 0; i < static_cast<int>(kFirstAddedMessage); ++i) {
        EXPECT_STREQ(MessageKeyName(static_cast<MessageKey>(i)), LanguageKeys[29 + i]);
    }
}

TEST(MessageTexts, StartWithTheBuiltInDefaults) {
    MessageTextTable texts;
    EXPECT_EQ(texts[MessageKey::Tip1], U("未选择"));
    EXPECT_EQ(texts[MessageKey::Tip12], U("选择题答案:"));
    EXPECT_EQ(texts[MessageKey::Tip13], U("确定删除关联吗?"));
    EXPECT_EQ(texts[MessageKey::Warning1], U("确定从文件中导入信息并覆盖吗?"));
    EXPECT_TRUE(texts[MessageKey::Warning3].isEmpty());
    EXPECT_TRUE(texts[MessageKey::Warning5].isEmpty());
    EXPECT_EQ(texts[MessageKey::Error1], U("ID格式错误, 请修正后重新导入!"));
    EXPECT_EQ(texts[MessageKey::Error5], U("答案不能为空"));
    texts.Set(MessageKey::Tip1, QString());
    EXPECT_TRUE(texts[MessageKey::Tip1].isEmpty());
    texts.ResetToDefaults();
    EXPECT_EQ(texts[MessageKey::Tip1], U("未选择"));
    EXPECT_EQ(MessageTexts[MessageKey::Tip9], U("保存"));
}

TEST(FormatMessage, FillsThePlacesAndKeepsArgumentsWithout) {
    const struct {
        const char *text;
        const char *formatted;
    } cases[] = {
        {"%1 could not be saved: %2.", "a.ini could not be saved: 50% %2 full."},
        {"%2 before %1", "50% %2 full before a.ini"},
        {"no places", "no places\na.ini\n50% %2 full"}, // a translation that lost them
        {"100% %3 %1", "100% %3 a.ini\n50% %2 full"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(
            FormatMessage(U(c.text), {QStringLiteral("a.ini"), QStringLiteral("50% %2 full")}),
            U(c.formatted))
            << c.text;
    }
}

} // namespace
} // namespace lumora
