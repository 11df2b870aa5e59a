// ShowPrompt: the responder seam, the answers of its buttons and keys, and
// the width and button places for short and long texts.
#include "support/DialogTest.h"

#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"
#include "core/MessageTexts.h"

#include <functional>

namespace lumora::test {
namespace {

const QString kShort = QStringLiteral("确定删除关联吗?");
const QString kLong =
    QStringLiteral("Import students from the file and replace the current list of the class?");

struct Shape {
    QSize size;
    int labelLeft = 0;
    int labelWidth = 0;
    int labelRight = 0; // right edge in the client panel
    int clientWidth = 0;
    QPoint ok;
    QPoint cancel;
    bool cancelShown = false;
    QString title;
    QString text;
    int pointSize = 0;
};

// Opens a real prompt and takes its measurements; the prompt is answered
// with `finish` (or cancelled when there is none).
Shape Measure(const QString &text, bool withCancel,
              const std::function<void(TFrmSetName &)> &finish = {}, bool *answer = nullptr) {
    PromptsAsDialogs real;
    Shape shape;
    DialogAnswer respond([&](TFrmSetName &dialog) {
        auto *label = Find<QLabel>(dialog, "lblStuName");
        shape.size = dialog.size();
        shape.labelLeft = label->x();
        shape.labelWidth = label->width();
        shape.labelRight = label->geometry().right();
        shape.clientWidth = Find<QWidget>(dialog, "pnlClient")->width();
        shape.ok = Find<QWidget>(dialog, "btn1")->pos();
        shape.cancel = Find<QWidget>(dialog, "btn2")->pos();
        shape.cancelShown = Find<QWidget>(dialog, "btn2")->isVisible();
        shape.title = Find<QLabel>(dialog, "lbl3")->text();
        shape.text = label->text();
        shape.pointSize = label->font().pointSize();
        if (finish)
            finish(dialog);
    });
    const bool result = ShowPrompt(QStringLiteral("Warning"), text, withCancel);
    if (answer)
        *answer = result;
    return shape;
}

class PromptTest : public DialogTest {};

TEST_F(PromptTest, AResponderAnswersWithoutAWindow) {
    for (bool reply : {true, false}) {
        PromptRecorder prompts(reply);
        EXPECT_EQ(ShowPrompt(QStringLiteral("Error"), QStringLiteral("x"), false), reply);
        ASSERT_EQ(prompts.Prompts().size(), 1u);
        EXPECT_EQ(prompts.Prompts()[0].Title, QStringLiteral("Error"));
        EXPECT_EQ(prompts.Prompts()[0].Text, QStringLiteral("x"));
        EXPECT_FALSE(prompts.Prompts()[0].WithCancel);
    }
    // no window was left behind
    for (QWidget *window : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TFrmSetName *>(window), nullptr);
}

TEST_F(PromptTest, ShortTextKeepsTheFormWidth) {
    const Shape withCancel = Measure(kShort, true);
    EXPECT_EQ(withCancel.size, QSize(321, 165));
    EXPECT_EQ(withCancel.labelLeft, 30);
    EXPECT_EQ(withCancel.pointSize, 10);
    EXPECT_EQ(withCancel.title, QStringLiteral("Warning"));
    EXPECT_EQ(withCancel.text, kShort);
    EXPECT_EQ(withCancel.ok, QPoint(104, 79));
    EXPECT_EQ(withCancel.cancel, QPoint(184, 79));
    EXPECT_TRUE(withCancel.cancelShown);

    const Shape alone = Measure(kShort, false);
    EXPECT_EQ(alone.size, QSize(321, 165));
    EXPECT_EQ(alone.ok, QPoint(134, 79));
    EXPECT_FALSE(alone.cancelShown);
}

TEST_F(PromptTest, LongTextWidensTheDialogAndCentresTheButtons) {
    const Shape withCancel = Measure(kLong, true);
    ASSERT_GT(withCancel.labelWidth, 321);
    const int w = withCancel.labelWidth + 70;
    EXPECT_EQ(withCancel.size, QSize(w, 165));
    EXPECT_EQ(withCancel.ok, QPoint(w / 2 - 54, 79));
    EXPECT_EQ(withCancel.cancel, QPoint(w / 2 - 54 + 48 + 40, 79));
    EXPECT_TRUE(withCancel.cancelShown);
    EXPECT_LE(withCancel.labelRight, withCancel.clientWidth - 1);

    const Shape alone = Measure(kLong, false);
    EXPECT_EQ(alone.size, QSize(w, 165));
    EXPECT_EQ(alone.ok, QPoint(w / 2 - 24, 79));
    EXPECT_FALSE(alone.cancelShown);
}

// A text a little narrower than the form still needs more room than the
// form leaves beside the label: it widens too instead of being clipped.
TEST_F(PromptTest, TextThatWouldBeClippedWidensToo) {
    QFont font = LumoraFont();
    font.setPointSize(10);
    const QFontMetrics metrics(font);
    QString text;
    while (metrics.horizontalAdvance(text) <= 290)
        text += QChar(0x5B57);
    ASSERT_LE(metrics.horizontalAdvance(text), 321);
    const Shape shape = Measure(text, false);
    EXPECT_EQ(shape.size.width(), shape.labelWidth + 70);
    EXPECT_LE(shape.labelRight, shape.clientWidth - 1);
    EXPECT_EQ(shape.ok.x(), shape.size.width() / 2 - 24);
}

TEST_F(PromptTest, EachLineOfATextPushesTheButtonDown) {
    const Shape one = Measure(kShort, false);
    const Shape three = Measure(kShort + u"\n/data/StudentInfo.ini\n"_qs + kShort, false);
    const int extra = three.size.height() - one.size.height();
    EXPECT_GT(extra, 20);
    EXPECT_EQ(three.ok.y() - one.ok.y(), extra);
}

TEST_F(PromptTest, MarkupInATextIsShownAsItIs) {
    const QString text = QStringLiteral("<b>1234</b>#x");
    QFont font = LumoraFont();
    font.setPointSize(10);
    const Shape shape = Measure(text, false);
    EXPECT_EQ(shape.labelWidth, QFontMetrics(font).horizontalAdvance(text));
}

TEST_F(PromptTest, OnlyOkAnswersTrue) {
    struct Case {
        const char *way;
        bool withCancel;
        std::function<void(TFrmSetName &)> finish;
        bool expected;
    };
    const Case cases[] = {
        {"OK", true, [](TFrmSetName &d) { Click(d, "btn1"); }, true},
        {"OK alone", false, [](TFrmSetName &d) { Click(d, "btn1"); }, true},
        {"Enter", false, [](TFrmSetName &d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
        {"Cancel", true, [](TFrmSetName &d) { Click(d, "btn2"); }, false},
        {"close button", true, [](TFrmSetName &d) { Click(d, "btnClose"); }, false},
        {"close button alone", false, [](TFrmSetName &d) { Click(d, "btnClose"); }, false},
        {"Escape", true, [](TFrmSetName &d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"Escape alone", false, [](TFrmSetName &d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"left open", true, {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.way);
        bool answer = !c.expected;
        Measure(kShort, c.withCancel, c.finish, &answer);
        EXPECT_EQ(answer, c.expected);
    }
}

TEST_F(PromptTest, ButtonCaptionsComeFromTheMessageTexts) {
    MessageTexts.Set(MessageKey::Tip5, QStringLiteral("OK"));
    MessageTexts.Set(MessageKey::Tip6, QStringLiteral("Cancel"));
    Measure(kShort, true, [](TFrmSetName &dialog) {
        EXPECT_EQ(Find<TImageButton>(dialog, "btn1")->Caption(), QStringLiteral("OK"));
        EXPECT_EQ(Find<TImageButton>(dialog, "btn2")->Caption(), QStringLiteral("Cancel"));
    });
}

} // namespace
} // namespace lumora::test
