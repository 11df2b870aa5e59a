// The answer session: the answer key dialog and the answer line, key presses
// from a replayed receiver reaching the answer grid, answers frozen after the
// end, and the result chart built from them.
#include "core/Helpers.h"
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "core/MessageTexts.h"
#include "penlynx.h"
#include "session/DeviceBridge.h"
#include "views/CustomPlot.h"
#include "views/ResultChart.h"

#include <QCoreApplication>
#include <QLabel>

namespace lumora::test {
namespace {

DialogResponder AnswerWith(const QString &typed, bool ok = true) {
    return [typed, ok](TFrmSetName &dialog) {
        Type(dialog, "edtName", typed);
        Click(dialog, ok ? "btn1" : "btn2");
    };
}

QColor AnswerColour(const TStdChannel *tile) {
    return tile->AnswerLabel()->palette().color(QPalette::WindowText);
}

// Presses keys of tablets as the receiver's reader thread would, then lets
// the window handle what they posted.
void Press(uint16_t tablet, std::initializer_list<uint16_t> keys) {
    for (uint16_t key : keys) {
        TabletEventHandler(key, 256, tablet, EVENT_KEY);
    }
    QCoreApplication::sendPostedEvents();
}

class Session : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteConfig(4, 2, 4);
    }
    QString AnswerLine() { return Label("lblAns")->text(); }

    // Starts on a silent receiver and chooses the question (unless null),
    // typing its key; an empty key cancels the dialog.
    TFrmMain &StartQuestion(const std::vector<Student> &roster, const char *question,
                            const QString &typed) {
        WriteRoster(roster);
        UseReplay(ReplayScript().Wait(60000));
        DialogAnswer answer(AnswerWith(typed, !typed.isEmpty()));
        TFrmMain &w = Start();
        if (question != nullptr) {
            Choose(question);
        }
        return w;
    }
};

struct KeyCase {
    const char *item;
    QString typed;
    bool ok;
    QString key;
    bool refusedEmpty;
};

class AnswerKeyEntry : public Session, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(AnswerKeyEntry, SetsTheKeyAndTheAnswerLine) {
    const KeyCase &c = GetParam();
    WriteRoster(NumberedClass(4));
    UseReplay(ReplayScript().Wait(60000));
    PromptRecorder prompts(true);
    DialogAnswer answer(AnswerWith(c.typed, c.ok));
    Start();
    AnswerKey = QStringLiteral("XYZ"); // a previous question's key
    Choose(c.item);
    EXPECT_EQ(AnswerKey, c.key);
    EXPECT_FALSE(Label("lblAns")->isHidden());
    EXPECT_EQ(AnswerLine(), MessageTexts[MessageKey::Tip12] + QLatin1Char(' ') + c.key);
    EXPECT_EQ(ShownViews(), QStringList{"AnswerGrid"});
    EXPECT_TRUE(MarkedItems().contains(QString::fromLatin1(c.item)));
    EXPECT_TRUE(MarkedItems().contains(QStringLiteral("LiveView")));
    if (c.refusedEmpty) {
        ASSERT_EQ(prompts.Prompts().size(), 1u);
        EXPECT_EQ(prompts.Prompts()[0].Title, QStringLiteral("Error"));
        EXPECT_EQ(prompts.Prompts()[0].Text, MessageTexts[MessageKey::Error5]);
    } else {
        EXPECT_TRUE(prompts.Prompts().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Typed, AnswerKeyEntry,
                         ::testing::Values(KeyCase{"multipleChoice", "cab", true, "ABC", false},
                                           KeyCase{"multipleChoice", "bab", true, "AB", false},
                                           KeyCase{"multipleChoice", "hgfedcbaz", true, "ABCDEFGH",
                                                   false},
                                           KeyCase{"SingleChoice", "cab", true, "C", false},
                                           KeyCase{"SingleChoice", "b", false, "", false},
                                           KeyCase{"multipleChoice", "", true, "", true}));

TEST_F(Session, TheAnswerLineShowsTheBuiltInTipTextWithTheKey) {
    StartQuestion(NumberedClass(2), "multipleChoice", QStringLiteral("ba"));
    EXPECT_EQ(AnswerLine(), QStringLiteral("选择题答案: AB"));
    Shot(window_, QStringLiteral("answer-line"));
}

TEST_F(Session, EssayQuestionHidesTheAnswerLineWithoutAskingForAKey) {
    StartQuestion(NumberedClass(2), "multipleChoice", QStringLiteral("ab"));
    Choose("EssayQuestion"); // the strict default responder fails on any dialog
    EXPECT_TRUE(Label("lblAns")->isHidden());
    EXPECT_TRUE(AnswerLine().isEmpty());
    EXPECT_EQ(window_->Session().CurrentQuestionType.load(), kQuestionSubjective);
    EXPECT_EQ(window_->Session().CurrentAnswerState.load(), kAnswerNotStarted);
}

// Seats: tablets 11..14, a student whose pane holds tablet 25 (seat tablet
// 15), and an empty seat without a tablet (ID 0).
std::vector<Student> KeyClass() {
    return {{"Ann", 11}, {"Ben", 12}, {"Cai", 13}, {"Dan", 14}, {"Eve", 15, "Pane Eve", 25}, {}};
}

struct RouteCase {
    const char *question;
    QString key;
    const char *viewWhileAnswering;
    std::vector<uint32_t> masks; // per seat
    std::vector<const char *> letters;
};

class KeyRoutes : public Session, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(KeyRoutes, ReplayedKeysReachTheAnswerGrid) {
    const RouteCase &c = GetParam();
    WriteRoster(KeyClass());
    // Tablet 14 presses last: once its D shows, everything before it is handled.
    UseReplay(ReplayScript()
                  .Wait(300)
                  .Keys(11, {2, 1})
                  .Keys(12, {2})
                  .Keys(12, {2})
                  .Keys(13, {3})
                  .Wait(50)
                  .Keys(13, {ReplayScript::kClearCode})
                  .Keys(25, {1})
                  .Keys(99, {4})
                  .Keys(0, {5})
                  .Wait(50)
                  .Keys(14, {4})
                  .Wait(60000));
    DialogAnswer answer(AnswerWith(c.key));
    TFrmMain &w = Start();
    Choose(c.question);
    Choose("UnderWay");
    Choose(c.viewWhileAnswering);
    ASSERT_TRUE(WaitFor([&] { return w.AnswerGrid->GetTile(3)->AnswerText() == "D"; }))
        << "the last key never arrived";
    for (int seat = 0; seat < 6; ++seat) {
        EXPECT_EQ(w.Table()[seat].Answer.load(), c.masks[seat]) << "seat " << seat;
        EXPECT_EQ(w.AnswerGrid->GetTile(seat)->AnswerText(), QLatin1String(c.letters[seat]))
            << "seat " << seat;
    }
    for (int seat : {0, 1}) {
        const TStdChannel *tile = w.AnswerGrid->GetTile(seat);
        EXPECT_EQ(AnswerColour(tile), tile->AnswerText() == AnswerKey ? kAnswerRight : kAnswerWrong)
            << "seat " << seat;
    }
    Choose("LiveView");
    Shot(&w, QStringLiteral("answers-%1").arg(QLatin1String(c.question)));
}

INSTANTIATE_TEST_SUITE_P(Questions, KeyRoutes,
                         ::testing::Values(RouteCase{"SingleChoice",
                                                     "B",
                                                     "LiveView",
                                                     {2, 4, 0, 16, 0, 32},
                                                     {"A", "B", "", "D", "", "E"}},
                                           RouteCase{"multipleChoice",
                                                     "AB",
                                                     "MainInterface",
                                                     {6, 4, 0, 16, 0, 32},
                                                     {"AB", "B", "", "D", "", "E"}}));

TEST_F(Session, AnswersAreFrozenAfterTheEndUntilANewStart) {
    TFrmMain &w = StartQuestion(KeyClass(), "multipleChoice", QStringLiteral("ab"));
    Press(11, {1, 2});
    Press(12, {3});
    ASSERT_EQ(w.AnswerGrid->GetTile(0)->AnswerText(), QStringLiteral("AB"));

    Choose("AlreadyOver");
    Press(11, {3});
    Press(12, {9});
    EXPECT_EQ(w.Table()[0].Seen.load(), 1); // still heard from
    EXPECT_EQ(w.Table()[0].Answer.load(), 6u);
    EXPECT_EQ(w.Table()[1].Answer.load(), 8u);
    EXPECT_EQ(w.AnswerGrid->GetTile(0)->AnswerText(), QStringLiteral("AB"));
    EXPECT_EQ(w.AnswerGrid->GetTile(1)->AnswerText(), QStringLiteral("C"));

    // In progress again: answers go on from where they were.
    Choose("UnderWay");
    Press(12, {1});
    EXPECT_EQ(w.AnswerGrid->GetTile(1)->AnswerText(), QStringLiteral("AC"));

    // Not started clears answers, tiles and bars; keys count again.
    Choose("AlreadyOver");
    ASSERT_FALSE(w.Chart()->BarLabels().isEmpty());
    Choose("NotStarted");
    for (int seat = 0; seat < 6; ++seat) {
        EXPECT_EQ(w.Table()[seat].Answer.load(), 0u) << seat;
        EXPECT_TRUE(w.AnswerGrid->GetTile(seat)->AnswerText().isEmpty()) << seat;
    }
    EXPECT_TRUE(w.Chart()->BarLabels().isEmpty());
    Press(11, {4});
    EXPECT_EQ(w.AnswerGrid->GetTile(0)->AnswerText(), QStringLiteral("D"));
}

TEST_F(Session, SwitchingChoiceTypesKeepsTheAnswers) {
    TFrmMain &w = StartQuestion(KeyClass(), "SingleChoice", QStringLiteral("a"));
    DialogAnswer answer(AnswerWith(QStringLiteral("a")));
    Press(11, {2});
    Choose("multipleChoice");
    EXPECT_EQ(w.AnswerGrid->GetTile(0)->AnswerText(), QStringLiteral("B"));
    Press(11, {1});
    EXPECT_EQ(w.AnswerGrid->GetTile(0)->AnswerText(), QStringLiteral("AB"));
    EXPECT_EQ(w.Table()[0].Answer.load(), 6u);
}

struct ChartCase {
    const char *name;
    std::vector<Student> roster;
    const char *question; // null: no question type chosen
    QString typed;        // the key typed; empty cancels the dialog
    std::vector<std::pair<uint16_t, std::vector<uint16_t>>> presses;
    QStringList labels;
    std::vector<int> values;
    std::vector<QColor> colours;
    QStringList marks;
};

void PrintTo(const ChartCase &c, std::ostream *os) {
    *os << c.name;
}

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kSeries(0, 64, 128);

// Named students with tablets 1..5, an unnamed seat with tablet 6 and a
// named student without a tablet.
std::vector<Student> ChartClass() {
    auto students = NumberedClass(5);
    students.push_back({QString(), 6});
    students.push_back({QStringLiteral("Student 7"), 0});
    return students;
}

class Chart : public Session, public ::testing::WithParamInterface<ChartCase> {};

TEST_P(Chart, AlreadyOverBuildsTheBars) {
    const ChartCase &c = GetParam();
    TFrmMain &w = StartQuestion(c.roster, c.question, c.typed);
    for (const auto &[tablet, keys] : c.presses) {
        for (uint16_t key : keys) {
            Press(tablet, {key});
        }
    }
    Choose("AlreadyOver");
    TResultChart *chart = w.Chart();
    EXPECT_EQ(chart->BarLabels(), c.labels);
    EXPECT_EQ(chart->BarValues(), c.values);
    EXPECT_EQ(chart->BarColours(), c.colours);
    EXPECT_EQ(chart->MarkTexts(), c.marks);
    // The answer state items never switch the view.
    EXPECT_FALSE(ShownViews().contains(QStringLiteral("pnlDraw")));

    // Ending again counts the same answers again.
    Choose("AlreadyOver");
    EXPECT_EQ(chart->BarLabels(), c.labels);
    EXPECT_EQ(chart->BarValues(), c.values);

    Choose("Statisticalresults");
    EXPECT_EQ(ShownViews(), QStringList{"pnlDraw"});
    Shot(&w, QStringLiteral("chart-%1").arg(QLatin1String(c.name)));
}

TEST_F(Session, BarLabelsShowTwoBlanksBeforeTheCount) {
    TFrmMain &w = StartQuestion(NumberedClass(2), "multipleChoice", QStringLiteral("ab"));
    Press(1, {1, 2});
    Choose("AlreadyOver");
    Choose("Statisticalresults");
    ASSERT_EQ(w.Chart()->BarLabels(), (QStringList{"AB  1", "未选择  1"}));
    // What the axis draws, as text.
    const QVector<QString> drawn = Control<QCustomPlot>("cht2")->xAxis->tickVectorLabels();
    EXPECT_TRUE(drawn.contains(QStringLiteral("AB  1")))
        << QStringList(drawn.begin(), drawn.end()).join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Chart,
    ::testing::Values(ChartCase{"mixed",
                                ChartClass(),
                                "multipleChoice",
                                "ba",
                                {{1, {1, 2}}, {2, {1}}, {3, {2, 1}}, {5, {2}}, {6, {3}}},
                                {"AB  2", "A  1", "B  1", "未选择  2"},
                                {2, 1, 1, 2},
                                {kGreen, kRed, kRed, kSeries},
                                {"33.33 %", "16.67 %", "16.67 %", "33.33 %"}},
                      ChartCase{"all-answered",
                                NumberedClass(4),
                                "SingleChoice",
                                "c",
                                {{1, {3}}, {2, {1, 3}}, {3, {4}}, {4, {3}}},
                                {"C  3", "D  1"},
                                {3, 1},
                                {kGreen, kRed},
                                {"75 %", "25 %"}},
                      ChartCase{"key-cancelled",
                                NumberedClass(3),
                                "SingleChoice",
                                "",
                                {{1, {1}}, {2, {2}}},
                                {"A  1", "B  1", "未选择  1"},
                                {1, 1, 1},
                                {kRed, kRed, kSeries},
                                {"33.33 %", "33.33 %", "33.33 %"}},
                      ChartCase{"no-question-type",
                                NumberedClass(5),
                                nullptr,
                                "",
                                {{1, {1}}},
                                {"未选择  5"},
                                {5},
                                {kSeries},
                                {"100 %"}},
                      ChartCase{"no-names",
                                {{QString(), 1}, {QString(), 2}},
                                "SingleChoice",
                                "a",
                                {{1, {1}}},
                                {},
                                {},
                                {},
                                {}}));

TEST_F(Session, AlreadyOverShowsTheFinalLettersOnSeatsWithTablets) {
    TFrmMain &w = StartQuestion(ChartClass(), "multipleChoice", QStringLiteral("ab"));
    Press(1, {1, 2});
    // Tiles that lag behind their answers: the end shows the answers, except
    // on a seat without a tablet, which keeps what it showed.
    SetAnswer(w.AnswerGrid->GetTile(0), QStringLiteral("Q"));
    SetAnswer(w.AnswerGrid->GetTile(3), QStringLiteral("Q"));
    SetAnswer(w.AnswerGrid->GetTile(6), QStringLiteral("Q"));
    Choose("AlreadyOver");
    EXPECT_EQ(w.AnswerGrid->GetTile(0)->AnswerText(), QStringLiteral("AB"));
    EXPECT_EQ(AnswerColour(w.AnswerGrid->GetTile(0)), kAnswerRight);
    EXPECT_TRUE(w.AnswerGrid->GetTile(3)->AnswerText().isEmpty());
    EXPECT_EQ(w.AnswerGrid->GetTile(6)->AnswerText(), QStringLiteral("Q"));
}

TEST_F(Session, AlreadyOverOnAnEssayQuestionOnlyEmptiesTheChart) {
    TFrmMain &w = StartQuestion(NumberedClass(3), "SingleChoice", QStringLiteral("a"));
    Press(1, {1});
    Choose("AlreadyOver");
    ASSERT_FALSE(w.Chart()->BarLabels().isEmpty());
    Choose("UnderWay");
    Choose("EssayQuestion");
    SetAnswer(w.AnswerGrid->GetTile(1), QStringLiteral("Q"));
    Choose("AlreadyOver");
    EXPECT_TRUE(w.Chart()->BarLabels().isEmpty());
    EXPECT_TRUE(w.Chart()->MarkTexts().isEmpty());
    EXPECT_EQ(w.AnswerGrid->GetTile(1)->AnswerText(), QStringLiteral("Q"));
    EXPECT_EQ(w.Table()[0].Answer.load(), 2u);
}

} // namespace
} // namespace lumora::test
