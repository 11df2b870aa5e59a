// The class name dialog: OK without a name is refused and the dialog stays,
// the entry comes back cleaned, Cancel gives nothing.
#include "support/DialogTest.h"

#include "dialogs/ClassDialog.h"

#include <QLineEdit>

namespace lumora::test {
namespace {

TEST(ClassDialog, OkNeedsANameAndGivesItCleaned) {
    const struct {
        QString name;
        QString subject;
        const char *button;
        std::optional<QString> entered; // name|subject
        int prompts;
    } rows[] = {
        {u" 初二(3)\n班 "_qs, u"数学\t"_qs, "btn1", u"初二(3)班|数学"_qs, 0},
        {u"  "_qs, u"Maths"_qs, "btn1", std::nullopt, 1}, // refused, then cancelled
        {u"7A"_qs, {}, "btn2", std::nullopt, 0},
    };
    for (const auto &row : rows) {
        PromptRecorder prompts;
        bool stillOpen = false;
        const ClassDialogResponder previous = SetClassDialogResponder([&](TFrmClassName &dialog) {
            EXPECT_EQ(Find<QLineEdit>(dialog, "edtClassName")->text(), u"old"_qs);
            Find<QLineEdit>(dialog, "edtClassName")->setText(row.name);
            Find<QLineEdit>(dialog, "edtSubject")->setText(row.subject);
            Find<TImageButton>(dialog, row.button)->Click();
            stillOpen = dialog.isVisible();
        });
        const std::optional<TClassName> entry = AskClassName(u"title"_qs, u"old"_qs, {});
        SetClassDialogResponder(previous);
        EXPECT_EQ(entry ? std::optional(entry->Name + u'|' + entry->Subject) : std::nullopt,
                  row.entered)
            << row.name.toStdString();
        ASSERT_EQ(static_cast<int>(prompts.Prompts().size()), row.prompts);
        if (row.prompts > 0) {
            EXPECT_TRUE(stillOpen);
            EXPECT_EQ(prompts.Prompts()[0].Text, MessageTexts[MessageKey::ClassNameEmpty]);
        }
    }
}

} // namespace
} // namespace lumora::test
