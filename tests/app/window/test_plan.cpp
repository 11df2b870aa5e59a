// A question set run from the main window: each step sets the type, the key
// (no dialog), not started and in progress; previous, next and repeat keep
// the place; the countdown ends a question once; the record keeps the
// place; the editor changes a set and says what is wrong; without a set the
// keys change nothing.
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "config/Preferences.h"
#include "config/QuestionSetStore.h"
#include "controls/Stdpanel.h"
#include "core/Helpers.h"
#include "penlynx.h"
#include "record/RecordDatabase.h"
#include "session/DeviceBridge.h"
#include "views/QuestionSetsView.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace lumora::test {
namespace {

constexpr uint32_t B = 1u << 2;

void Press(uint16_t tablet, uint16_t key) {
    TabletEventHandler(key, 256, tablet, EVENT_KEY);
    QCoreApplication::sendPostedEvents();
}

// Fails the test when the answer key dialog opens.
DialogResponder NoDialog() {
    return [](TFrmSetName &dialog) {
        ADD_FAILURE() << "a dialog opened";
        dialog.reject();
    };
}

class Plan : public WindowTest {
protected:
    // Open(4) with the window active, so that its keys reach it.
    void OpenActive() {
        Open(4);
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    }
    void WriteSet(const QByteArray &csv) { WriteFile("QuestionSets/Week.csv", csv); }
    void WriteFile(const QString &name, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(DataPath(name)).path());
        QFile file(DataPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString PlanLine() {
        return Label("lblPlan")->isHidden() ? QString() : Label("lblPlan")->text();
    }
    // The recorded questions: set number (0 for none), type, key, limit.
    std::vector<QVariantList> RecordedQuestions() {
        Close();
        RecordConnection connection;
        QString error;
        EXPECT_TRUE(connection.Open(RecordDatabasePath(Dir()), false, &error));
        QSqlQuery query(connection.Database());
        EXPECT_TRUE(query.exec("SELECT IFNULL(set_number, 0), type, answer_key, "
                               "IFNULL(time_limit_ms, 0), ended_at IS NOT NULL FROM question "
                               "ORDER BY id"));
        std::vector<QVariantList> rows;
        while (query.next()) {
            rows.push_back({query.value(0).toInt(), query.value(1).toInt(),
                            query.value(2).toString(), query.value(3).toInt(),
                            query.value(4).toInt()});
        }
        return rows;
    }
};

TEST_F(Plan, EachStepSetsTypeKeyAndStatesAndKeepsThePlace) {
    WriteSet("type,key,text,seconds,points\n"
             "single,B,One plus one,,1\n"
             "multiple,CA,Even numbers,,2\n"
             "handwritten,,Draw it,,\n");
    OpenActive();
    DialogAnswer noDialog(NoDialog());
    ASSERT_TRUE(Window().RunQuestionSet("Week"));
    struct Step {
        std::optional<Qt::Key> key; // none: the step of choosing the set
        bool runs;                  // a question of the set ran
        int type;
        const char *answerKey;
        const char *line;
    };
    const Step steps[] = {
        {std::nullopt, true, kQuestionSingle, "B", "1 / 3   One plus one"},
        {Qt::Key_N, true, kQuestionMultiple, "AC", "2 / 3   Even numbers"},
        {Qt::Key_Space, true, kQuestionSubjective, "", "3 / 3   Draw it"},
        {Qt::Key_B, true, kQuestionMultiple, "AC", "2 / 3   Even numbers"},
        {Qt::Key_R, true, kQuestionMultiple, "AC", "2 / 3   Even numbers"},
        {Qt::Key_B, true, kQuestionSingle, "B", "1 / 3   One plus one"},
        {Qt::Key_B, false, kQuestionSingle, "B", "1 / 3   One plus one"}, // none before the first
    };
    for (const Step &step : steps) {
        if (step.key) {
            Press(1, 2); // an answer to the question before
            QTest::keyClick(&Window(), *step.key);
            // Not started cleared it when a question ran.
            EXPECT_EQ(Window().Table()[0].Answer.load(), step.runs ? 0u : B) << step.line;
        }
        EXPECT_EQ(Window().Session().CurrentQuestionType.load(), step.type) << step.line;
        EXPECT_EQ(Window().Session().CurrentAnswerState.load(), kAnswerUnderWay);
        if (step.type != kQuestionSubjective) {
            EXPECT_EQ(AnswerKey, step.answerKey);
        }
        EXPECT_EQ(PlanLine(), step.line);
    }
    const auto rows = RecordedQuestions();
    // Choosing the set, then six steps that ran a question (the last did not).
    ASSERT_EQ(rows.size(), 6u);
    const int numbers[] = {1, 2, 3, 2, 2, 1};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0].toInt(), numbers[i]) << i;
        EXPECT_EQ(rows[i][4].toInt(), 1) << i; // every one ended
    }
}

TEST_F(Plan, TheCountdownEndsTheQuestionOnceAndMoreTimeIsRecorded) {
    WriteSet("type,key,seconds\nsingle,B,1\nsingle,A,\n");
    OpenActive();
    ASSERT_TRUE(Window().RunQuestionSet("Week"));
    EXPECT_TRUE(Window().QuestionCountdown().Running());
    Press(1, 2);
    ASSERT_TRUE(
        WaitFor([&] { return Window().Session().CurrentAnswerState.load() == kAnswerEnded; }));
    // Ended as the end chosen by hand: the letters are on the grid.
    EXPECT_FALSE(Tile(Window().AnswerGrid, 0)->AnswerLabel()->text().isEmpty());
    EXPECT_FALSE(Window().QuestionCountdown().Running());
    QTest::qWait(300); // ticks after the end change nothing
    EXPECT_EQ(Window().Session().CurrentAnswerState.load(), kAnswerEnded);

    // The next question has no limit; more time sets one on the fly, an
    // early end stops it.
    QTest::keyClick(&Window(), Qt::Key_N);
    EXPECT_FALSE(Window().QuestionCountdown().Running());
    QTest::keyClick(&Window(), Qt::Key_Plus);
    QTest::keyClick(&Window(), Qt::Key_M);
    EXPECT_EQ(Window().QuestionCountdown().LimitMs(), 90000);
    QTest::keyClick(&Window(), Qt::Key_P);
    EXPECT_TRUE(Window().QuestionCountdown().Paused());
    Choose("AlreadyOver");
    EXPECT_FALSE(Window().QuestionCountdown().Running());
    QTest::keyClick(&Window(), Qt::Key_Plus); // no question under way: nothing
    EXPECT_FALSE(Window().QuestionCountdown().Running());

    // The sound at zero is off until the teacher switches it on, and stays
    // on for the next start.
    auto *sound = Window().findChild<QToolButton *>(QStringLiteral("btnPlanSound"));
    ASSERT_NE(sound, nullptr);
    EXPECT_FALSE(sound->isChecked());
    sound->click();
    EXPECT_TRUE(LoadPreferences(Dir()).CountdownSound);
    EXPECT_TRUE(sound->isChecked());

    const auto rows = RecordedQuestions();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (QVariantList{1, 0, "B", 1000, 1}));
    EXPECT_EQ(rows[1], (QVariantList{2, 0, "A", 90000, 1}));

}

TEST_F(Plan, WithoutASetTheKeysChangeNothingAndABadSetIsTold) {
    WriteSet("type,key\nsingle,Z\n");
    OpenActive();
    for (const Qt::Key key : {Qt::Key_N, Qt::Key_Space, Qt::Key_B, Qt::Key_R, Qt::Key_Plus}) {
        QTest::keyClick(&Window(), key);
    }
    EXPECT_EQ(Window().Session().CurrentQuestionType.load(), kQuestionNone);
    EXPECT_EQ(Window().Session().CurrentAnswerState.load(), kAnswerNotStarted);
    EXPECT_FALSE(Window().QuestionCountdown().Running());
    PromptRecorder prompts;
    EXPECT_FALSE(Window().RunQuestionSet("Week"));
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_TRUE(prompts.Prompts()[0].Text.contains("Z"));
    EXPECT_FALSE(Window().Plan().Active());
}

TEST_F(Plan, TheEditorChangesASetAndSaysWhatIsWrong) {
    WriteSet("type,key,text,picture\nsingle,B,first,p.png\nmultiple,AB,second,\n");
    WriteFile("QuestionSets/Week/p.png", QByteArray());
    OpenActive();
    Choose("QuestionSets");
    TQuestionSetsView *view = Window().QuestionSetsPanel();
    EXPECT_TRUE(ShownViews().isEmpty());
    EXPECT_TRUE(view->isVisible());
    QAbstractItemModel *model = view->Table()->model();
    ASSERT_EQ(model->rowCount(), 2);
    view->Table()->setCurrentIndex(model->index(1, 2));
    view->MoveQuestion(-1);
    view->AddQuestion(); // after the chosen one: second
    model->setData(model->index(1, 2), "added");
    ASSERT_TRUE(view->SaveSet());
    const SetFileResult saved = LoadQuestionSet(Dir(), "Week");
    ASSERT_TRUE(saved.Ok());
    ASSERT_EQ(saved.Set.Questions.size(), 3u);
    EXPECT_EQ(saved.Set.Questions[0].Text, "second");
    EXPECT_EQ(saved.Set.Questions[1].Text, "added");
    EXPECT_EQ(saved.Set.Questions[2].Picture, "p.png");

    // A bad cell: nothing is saved, the question's number is told.
    PromptRecorder prompts;
    model->setData(model->index(2, 1), "AB");
    EXPECT_FALSE(view->SaveSet());
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_TRUE(prompts.Prompts()[0].Text.contains(
        FormatMessage(MessageTexts[MessageKey::PlanQuestionRow], {"3", ""}).trimmed()));
    EXPECT_EQ(LoadQuestionSet(Dir(), "Week").Set.Questions, saved.Set.Questions);
    // The keys stay with the editor's fields.
    ASSERT_TRUE(Window().RunQuestionSet("Week"));
    Choose("QuestionSets");
    QTest::keyClick(&Window(), Qt::Key_N);
    EXPECT_EQ(Window().Plan().Place(), 0);
}

TEST_F(Plan, HiddenAnswersShowWhoAnsweredUntilTheRevealOrTheEnd) {
    OpenActive();
    DialogAnswer keyB([](TFrmSetName &dialog) {
        Type(dialog, "edtName", QStringLiteral("B"));
        Click(dialog, "btn1");
    });
    Choose("SingleChoice");
    Choose("UnderWay");
    const auto shown = [&](int i) {
        const TStdChannel *tile = Tile(Window().AnswerGrid, i);
        return tile->AnswerText() + "|" +
               (tile->MarkLabel()->isVisible() ? tile->MarkLabel()->text() : "");
    };
    struct Step {
        const char *what;
        std::function<void()> act;
        const char *first;  // Ann: B, the key
        const char *second; // Ben: A
    };
    const Step steps[] = {
        {"shown with their marks", [] { Press(1, 2), Press(2, 1); }, "B|\u2713", "A|\u2717"},
        {"hidden", [&] { QTest::keyClick(&Window(), Qt::Key_H); }, "\u25CF|", "\u25CF|"},
        {"hidden answers go on", [] { Press(1, 3); }, "\u25CF|", "\u25CF|"},
        {"revealed", [&] { QTest::keyClick(&Window(), Qt::Key_V); }, "C|\u2717", "A|\u2717"},
        {"the next question hidden again",
         [&] { Choose("NotStarted"), Choose("UnderWay"), Press(2, 2); }, "|", "\u25CF|"},
        {"letters at the end", [&] { Choose("AlreadyOver"); }, "|", "B|\u2713"},
    };
    for (const Step &step : steps) {
        step.act();
        EXPECT_EQ(shown(0), QString::fromUtf8(step.first)) << step.what;
        EXPECT_EQ(shown(1), QString::fromUtf8(step.second)) << step.what;
    }
    // The progress counts while the letters are hidden.
    Choose("NotStarted");
    Choose("UnderWay");
    Press(1, 2);
    EXPECT_TRUE(Label("lblProgress")->text().contains("1"));
    EXPECT_EQ(shown(0), QString::fromUtf8("\u25CF|"));

    // Anonymous: seat numbers for names, and back.
    const QString name = Tile(Window().AnswerGrid, 2)->StudentName();
    QTest::keyClick(&Window(), Qt::Key_A);
    EXPECT_EQ(Tile(Window().AnswerGrid, 2)->StudentName(), "3");
    QTest::keyClick(&Window(), Qt::Key_A);
    EXPECT_EQ(Tile(Window().AnswerGrid, 2)->StudentName(), name);
}

TEST_F(Plan, APickChoosesAPresentStudentNeverTheSameTwiceAndIsRecorded) {
    OpenActive();
    PromptRecorder prompts;
    QTest::keyClick(&Window(), Qt::Key_S); // nobody heard yet
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    // Seats 1 to 3 heard from in the last tick, seat 4 not.
    const auto heard = [&] {
        for (int i = 0; i < 3; ++i) {
            Window().Table()[i].Seen = 1;
        }
        Window().tmr1Timer();
    };
    std::vector<int> picks;
    for (int n = 0; n < 6; ++n) {
        heard();
        QTest::keyClick(&Window(), Qt::Key_S);
        ASSERT_TRUE(WaitFor([&] { return !Window().Picking(); }));
        const int picked = Window().LastPicked();
        EXPECT_GE(picked, 0);
        EXPECT_LT(picked, 3); // never the absent seat
        if (!picks.empty()) {
            EXPECT_NE(picked, picks.back());
        }
        picks.push_back(picked);
        // The run settles on the student picked, the only tile lit.
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Tile(Window().SeatGrid, i)->Highlighted(), i == picked) << i;
        }
        EXPECT_TRUE(Label("lblPlan")->text().contains(Window().Table()[picked].Name.ToString()));
    }
    // Among those who answered wrongly: only Ben (seat 2) answered A to B.
    DialogAnswer keyB([](TFrmSetName &dialog) {
        Type(dialog, "edtName", QStringLiteral("B"));
        Click(dialog, "btn1");
    });
    Choose("SingleChoice");
    Choose("UnderWay");
    Press(1, 2);
    Press(2, 1);
    for (int n = 0; n < 2; ++n) {
        heard();
        QTest::keyClick(&Window(), Qt::Key_W);
        ASSERT_TRUE(WaitFor([&] { return !Window().Picking(); }));
        EXPECT_EQ(Window().LastPicked(), 1);
    }
    EXPECT_EQ(prompts.Prompts().size(), 1u);

    Close();
    RecordConnection connection;
    QString error;
    ASSERT_TRUE(connection.Open(RecordDatabasePath(Dir()), false, &error));
    QSqlQuery query(connection.Database());
    ASSERT_TRUE(query.exec("SELECT seat, among, question IS NOT NULL FROM pick ORDER BY id"));
    std::vector<QVariantList> rows;
    while (query.next()) {
        rows.push_back({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt()});
    }
    ASSERT_EQ(rows.size(), 8u);
    for (size_t n = 0; n < 6; ++n) {
        EXPECT_EQ(rows[n], (QVariantList{picks[n] + 1, 0, 0})) << n;
    }
    EXPECT_EQ(rows[7], (QVariantList{2, 2, 1})); // during the question
}

} // namespace
} // namespace lumora::test
