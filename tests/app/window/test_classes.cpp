// The classes in the main window: the view behind the Classes item, a switch
// that replaces the seats as an import does and ends in the files at exit,
// making, renaming and deleting a class through the dialogs, the class asked
// for at the start, and a switch that fails.
#include "support/WindowTest.h"

#include "config/ClassBook.h"
#include "config/LanguageTexts.h"
#include "config/Roster.h"
#include "controls/WindowBars.h"
#include "dialogs/ClassDialog.h"
#include "platform/DataDir.h"
#include "views/ClassesView.h"

#include <QDir>
#include <QTableView>

namespace lumora::test {
namespace {

class ClassesTest : public WindowTest {
protected:
    // The window on a class "7A" of three and another class "8B" of two.
    void OpenTwoClasses() {
        WriteConfig(6, 5, 9);
        WriteRoster({{u"Ann"_qs, 1}, {u"Bob"_qs, 2}, {u"Cy"_qs, 3}});
        ClassBook book(Dir());
        ASSERT_TRUE(book.Rename(book.Current(), u"7A"_qs, u"Maths"_qs));
        SlotTable other;
        FillTable(other, {{u"Dora"_qs, 11}, {u"Eve"_qs, 12}});
        ASSERT_TRUE(book.Create(u"8B"_qs, {}, other));
        OpenWindow();
    }
    ClassInfo Class(const char *name) {
        const auto found = ClassBook(Dir()).Find(QString::fromUtf8(name));
        EXPECT_TRUE(found.has_value()) << name;
        return found.value_or(ClassInfo{});
    }
    QStringList SeatNames() {
        QStringList names;
        for (TStdChannel *tile : Window().SeatGrid->Tiles()) {
            names << tile->StudentName();
        }
        return names.mid(0, Window().Table().Count.load());
    }
    QString Title() { return Window().windowTitle(); }
};

// Answers the class dialog with a name and subject and OK.
class ClassDialogAnswer {
public:
    ClassDialogAnswer(const QString &name, const QString &subject)
        : previous_(SetClassDialogResponder([=, this](TFrmClassName &dialog) {
              asked_ = dialog.findChild<QLineEdit *>(u"edtClassName"_qs)->text();
              dialog.findChild<QLineEdit *>(u"edtClassName"_qs)->setText(name);
              dialog.findChild<QLineEdit *>(u"edtSubject"_qs)->setText(subject);
              dialog.findChild<TImageButton *>(u"btn1"_qs)->Click();
          })) {}
    ~ClassDialogAnswer() { SetClassDialogResponder(std::move(previous_)); }
    // What the name field held when the dialog opened.
    const QString &Asked() const { return asked_; }

private:
    ClassDialogResponder previous_;
    QString asked_;
};

TEST_F(ClassesTest, TheItemShowsTheClassesTheCurrentOneFirst) {
    OpenTwoClasses();
    Choose("Classes");
    auto *view = Control<TClassesView>("pnlClasses");
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(MarkedItems().contains(u"Classes"_qs));
    EXPECT_FALSE(Window().SeatGrid->isVisible());
    ASSERT_EQ(view->Classes().size(), 2u);
    EXPECT_TRUE(view->Classes()[0].Current);
    EXPECT_EQ(view->Classes()[0].Name, u"7A"_qs);
    EXPECT_EQ(Control<QTableView>("tblClasses")->model()->index(1, 0).data().toString(), u"8B"_qs);
    // The current class in the title; another view hides the classes.
    EXPECT_TRUE(Title().endsWith(u" — 7A · Maths"_qs)) << Title().toStdString();
    Shot(&Window(), u"classes"_qs);
    Window().ApplyLanguage(LanguageFilePath(Dir(), u"en_US"_qs));
    EXPECT_EQ(Label("lblClasses")->text(), u"Classes"_qs);
    EXPECT_EQ(Control<QTableView>("tblClasses")->model()->index(0, 3).data().toString(),
              u"current class"_qs);
    Shot(&Window(), u"classes-en"_qs);
    Choose("MainInterface");
    EXPECT_FALSE(view->isVisible());
}

TEST_F(ClassesTest, WithoutClassesTheTitleAndRosterAreAsBefore) {
    Open(3);
    Choose("Classes");
    const auto &classes = Control<TClassesView>("pnlClasses")->Classes();
    ASSERT_EQ(classes.size(), 1u);
    EXPECT_EQ(Control<QTableView>("tblClasses")->model()->index(0, 0).data().toString(),
              BuiltInMessageText(MessageKey::ClassUnnamed));
    EXPECT_FALSE(Title().contains(u" — "_qs));
    EXPECT_FALSE(QDir(DataPath(u"Classes"_qs)).exists());
    Close();
    EXPECT_FALSE(ReadTextFile(DataPath(u"StudentInfo.ini"_qs)).contains(u"[Class]"_qs));
}

TEST_F(ClassesTest, SwitchingReplacesTheSeatsAndTheExitSavesTheNewClass) {
    OpenTwoClasses();
    // An association made in this run, saved to the class with the switch.
    Window().Table()[2].CardID = 33;
    ASSERT_TRUE(Window().SwitchClass(Class("8B")));
    EXPECT_EQ(SeatNames(), QStringList({"Dora", "Eve"}));
    EXPECT_EQ(Window().Table()[0].CardID.load(), 11);
    EXPECT_EQ(Window().Table()[0].InkCanvas, Window().LiveGrid->GetTile(0)->InkImage());
    EXPECT_TRUE(Title().endsWith(u" — 8B"_qs)) << Title().toStdString();
    Close();
    EXPECT_EQ(Reloaded()->Count.load(), 2);
    EXPECT_EQ((*Reloaded())[1].Name.ToString(), u"Eve"_qs);
    const QString seven = ReadTextFile(DataPath(u"Classes/7A.ini"_qs));
    EXPECT_TRUE(seven.contains(u"CardID=33"_qs)) << seven.toStdString();
}

TEST_F(ClassesTest, TheClassAskedForAtTheStartIsSwitchedToBeforeTheSeats) {
    WriteConfig(6, 5, 9);
    WriteRoster({{u"Ann"_qs, 1}});
    SlotTable other;
    FillTable(other, {{u"Dora"_qs, 11}, {u"Eve"_qs, 12}});
    ASSERT_TRUE(ClassBook(Dir()).Create(u"初二(3)班"_qs, {}, other));
    WriteTextFile(DataPath(u"silent.replay"_qs), u"# present, silent\n"_qs);
    UseReceiver("replay:" + QFile::encodeName(DataPath(u"silent.replay"_qs)));
    QString error;
    ASSERT_TRUE(SeedLanguages(Dir(), &error));
    for (const auto &[asked, seats, told] :
         {std::tuple{u"初二(3)班"_qs, QStringList{"Dora", "Eve"}, false},
          std::tuple{u"初二(3)班"_qs, QStringList{"Dora", "Eve"}, false}, // already current
          std::tuple{u"9C"_qs, QStringList{"Dora", "Eve"}, true}}) {
        PromptRecorder prompts;
        window_ = new TFrmMain(Dir(), asked);
        ASSERT_TRUE(window_->Started());
        EXPECT_EQ(SeatNames(), seats) << asked.toStdString();
        ASSERT_EQ(prompts.Prompts().size(), told ? 1u : 0u) << asked.toStdString();
        if (told) {
            EXPECT_EQ(prompts.Prompts()[0].Text,
                      FormatMessage(BuiltInMessageText(MessageKey::ClassNotFound), {u"9C"_qs}));
        }
        Close();
    }
}

TEST_F(ClassesTest, NewRenameAndDeleteGoThroughTheirDialogs) {
    OpenTwoClasses();
    const QByteArray roster = ReadTextFile(DataPath(u"StudentInfo.ini"_qs)).toUtf8();
    WriteTextFile(DataPath(u"9c.txt"_qs), u"Fay#21\nGus#22\n"_qs);
    PromptRecorder prompts;
    {
        ClassDialogAnswer answer(u"9C"_qs, u"Physics"_qs);
        Window().NewClass(DataPath(u"9c.txt"_qs));
        EXPECT_EQ(answer.Asked(), u"9c"_qs); // the file's name, to start with
    }
    ASSERT_EQ(ClassBook(Dir()).Find(u"9C"_qs).value_or(ClassInfo{}).Students, 2);
    EXPECT_EQ(ReadTextFile(DataPath(u"StudentInfo.ini"_qs)).toUtf8(), roster);
    EXPECT_TRUE(prompts.Prompts().empty());
    {
        // A name another class has: told, nothing made.
        ClassDialogAnswer answer(u"8b"_qs, {});
        Window().NewClass(DataPath(u"9c.txt"_qs));
    }
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(prompts.Prompts()[0].Text,
              FormatMessage(BuiltInMessageText(MessageKey::ClassNameTaken), {u"8B"_qs}));
    EXPECT_EQ(ClassBook(Dir()).List().size(), 3u);
    {
        ClassDialogAnswer answer(u"7A+"_qs, u"Maths"_qs);
        Window().RenameClass(ClassBook(Dir()).Current());
        EXPECT_EQ(answer.Asked(), u"7A"_qs);
    }
    EXPECT_TRUE(Title().endsWith(u" — 7A+ · Maths"_qs)) << Title().toStdString();
    prompts.Clear();
    const ClassInfo nine = Class("9C");
    {
        PromptRecorder no(false);
        Window().DeleteClass(nine);
        ASSERT_EQ(no.Prompts().size(), 1u);
        EXPECT_TRUE(no.Prompts()[0].WithCancel);
    }
    EXPECT_TRUE(ClassBook(Dir()).Find(u"9C"_qs).has_value());
    Window().DeleteClass(nine);
    EXPECT_FALSE(ClassBook(Dir()).Find(u"9C"_qs).has_value());
    ASSERT_EQ(prompts.Prompts().size(), 2u); // the question, then where the file went
    EXPECT_TRUE(prompts.Prompts()[1].Text.contains(u"9C-kept-"_qs))
        << prompts.Prompts()[1].Text.toStdString();
}

TEST_F(ClassesTest, ASwitchThatCannotReadTheOtherClassChangesNothing) {
    OpenTwoClasses();
    QFile file(DataPath(u"Classes/8B.ini"_qs));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray("; \0\n", 4));
    file.close();
    PromptRecorder prompts;
    EXPECT_FALSE(Window().SwitchClass(Class("8B")));
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(prompts.Prompts()[0].Title, u"Error"_qs);
    EXPECT_TRUE(prompts.Prompts()[0].Text.contains(u"8B.ini"_qs));
    EXPECT_EQ(SeatNames(), QStringList({"Ann", "Bob", "Cy"}));
    EXPECT_TRUE(Title().endsWith(u" — 7A · Maths"_qs));
}

} // namespace
} // namespace lumora::test
