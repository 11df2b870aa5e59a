// What the teacher is told when the window's saves fail and when an import
// leaves something out.
#include "support/WindowTest.h"

#include "core/MessageTexts.h"
#include "views/GroupBar.h"

#include <QDir>

namespace lumora::test {
namespace {

class SaveReportTest : public WindowTest {
protected:
    // A folder takes the file's place; gone again before the window closes.
    void Block(const QString &name) {
        QFile::remove(Dir() + u'/' + name);
        ASSERT_TRUE(QDir().mkpath(Dir() + u'/' + name));
        blocked_ = Dir() + u'/' + name;
    }
    void TearDown() override {
        if (!blocked_.isEmpty()) {
            QDir(blocked_).removeRecursively();
        }
        WindowTest::TearDown();
    }
    QString Failed(const char *name) const {
        return FormatMessage(MessageTexts[MessageKey::FileSaveFailed],
                             {QDir::toNativeSeparators(Dir() + u'/' + QLatin1String(name)),
                              MessageTexts[MessageKey::FileIsFolder]});
    }
    QString blocked_;
};

TEST_F(SaveReportTest, FailedAssociationSavesAreReportedOncePerChange) {
    Open(10);
    Block(u"StudentInfo.ini"_qs);
    PromptRecorder prompts(true);
    QTest::mousePress(Tile(Window().SeatGrid, 2), Qt::RightButton);
    {
        DialogAnswer answer([](TFrmSetName &dialog) {
            Type(dialog, "edtName", u"A"_qs);
            Click(dialog, "btn1");
        });
        Action("N1")->trigger();
    }
    Action("N2")->trigger(); // the seat and the pane that showed A: one write
    std::vector<QString> texts;
    for (const Prompt &prompt : prompts.Prompts()) {
        texts.push_back(prompt.Text);
    }
    const QString failed = Failed("StudentInfo.ini");
    EXPECT_EQ(texts, (std::vector<QString>{failed, MessageTexts[MessageKey::Tip13], failed}));
    EXPECT_TRUE(Tile(Window().SeatGrid, 2)->StudentName().isEmpty()); // shown, not saved
}

TEST_F(SaveReportTest, AFailedSettingsSaveIsReported) {
    Open(6);
    Block(u"Config.ini"_qs);
    PromptRecorder prompts(true);
    const QString failed = Failed("Config.ini"); // in the language before the save
    Window().Item(QStringLiteral("LayoutSettings"))->Click();
    QTest::mouseClick(Window().findChild<TImageButton *>(u"btn1"_qs), Qt::LeftButton);
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(prompts.Prompts()[0].Title, u"Error"_qs);
    EXPECT_EQ(prompts.Prompts()[0].Text, failed);
}

TEST_F(SaveReportTest, AnImportTellsWhatItLeftOut) {
    Open(5, 4, 4); // 16 seats
    QByteArray lines;
    for (int i = 1; i <= 18; ++i) {
        lines += (i == 3 ? QByteArray("\xFF\xFF") : "S" + QByteArray::number(i)) + "#" +
                 QByteArray::number(i) + "\r\n";
    }
    QFile file(Dir() + u"/class.txt"_qs);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(lines);
    file.close();
    PromptRecorder prompts(true);
    Window().ImportRoster(file.fileName());
    ASSERT_EQ(prompts.Prompts().size(), 3u); // overwrite?, then the two notes
    EXPECT_EQ(prompts.Prompts()[1].Text,
              FormatMessage(MessageTexts[MessageKey::ImportLinesIgnored], {u"2"_qs}));
    EXPECT_EQ(prompts.Prompts()[2].Text,
              FormatMessage(MessageTexts[MessageKey::ImportNotText], {u"3"_qs}));
    EXPECT_EQ(Tile(Window().SeatGrid, 15)->StudentName(), u"S16"_qs);
}

} // namespace
} // namespace lumora::test
