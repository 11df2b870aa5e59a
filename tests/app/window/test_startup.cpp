// Start-up and its failures: the seat grid and marks after a normal start,
// the clock, presence pictures driven by a replayed receiver, a missing
// receiver and a missing language file.
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "config/LanguageTexts.h"
#include "controls/SkinButton.h"
#include "core/MessageTexts.h"
#include "session/DeviceBridge.h"
#include "views/CustomPlot.h"
#include "views/ResultChart.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTreeWidget>

namespace lumora::test {
namespace {

class StartUp : public WindowTest {
protected:
    // Six seats: five students with tablets 1..5 and an empty seat.
    void SetUp() override {
        WindowTest::SetUp();
        WriteConfig(3, 2, 4);
        auto students = NumberedClass(5);
        students.push_back({});
        WriteRoster(students);
        UseReplay(ReplayScript().Wait(60000));
    }

    // Seconds between the clock label and now; the label must parse.
    qint64 ClockLag() {
        const QString text = Label("lblTime")->text();
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                .match(text)
                .hasMatch())
            << text.toStdString();
        const QDateTime shown = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        EXPECT_TRUE(shown.isValid()) << text.toStdString();
        return shown.secsTo(QDateTime::currentDateTime());
    }
};

TEST_F(StartUp, ShowsTheSeatGridNotStartedAndNoQuestionType) {
    TFrmMain &w = Start();
    ASSERT_TRUE(w.Started());

    EXPECT_EQ(ShownViews(), QStringList{"SeatGrid"});
    EXPECT_EQ(MarkedItems(), (QStringList{"MainInterface", "NotStarted"}));
    EXPECT_EQ(w.Session().CurrentQuestionType.load(), kQuestionNone);
    EXPECT_EQ(w.Session().CurrentAnswerState.load(), kAnswerNotStarted);
    EXPECT_TRUE(Label("lblAns")->isHidden());
    EXPECT_TRUE(Control<QWidget>("btnUsbState")->isEnabled());

    // One tile per roster entry in every grid, the seat grid with the roster's names.
    for (TBGPanel *grid : {w.SeatGrid, w.LiveGrid, w.AnswerGrid}) {
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->TileCount(), 6) << grid->objectName().toStdString();
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w.SeatGrid->GetTile(i)->StudentName(), QStringLiteral("Student %1").arg(i + 1));
        EXPECT_EQ(w.SeatGrid->GetTile(i)->CardID(), i + 1);
    }
    EXPECT_TRUE(w.SeatGrid->GetTile(5)->StudentName().isEmpty());

    // The student list has a row per pane, and every entry draws into its pane.
    auto *list = Control<QTreeWidget>("lvStd");
    ASSERT_EQ(list->topLevelItemCount(), 6);
    EXPECT_EQ(list->topLevelItem(2)->text(1), QStringLiteral("Student 3"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w.Table()[i].InkCanvas, w.LiveGrid->GetTile(i)->InkImage()) << i;
    }

    // Ink bitmaps and the live grid are measured from the view area.
    const QSize area = Control<QWidget>("pnlBG")->size();
    EXPECT_EQ(InkWidth, (area.width() - 134) / 2 - 3);
    EXPECT_EQ(InkHeight, area.height() / 2 - 3);
    EXPECT_EQ(w.LiveGrid->width(), area.width() - 133);
    EXPECT_EQ(w.LiveGrid->height(), area.height());
    // Every sheet has the ink size; none holds pixels before its student writes.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w.LiveGrid->GetTile(i)->InkSize(), QSize(InkWidth, InkHeight)) << i;
        EXPECT_TRUE(w.LiveGrid->GetTile(i)->InkImage()->isNull()) << i;
    }

    // The chart's axis runs to the roster count until the first statistics.
    EXPECT_EQ(w.Chart()->AxisMaximum(), 6);
    EXPECT_TRUE(w.Chart()->BarLabels().isEmpty());

    const qint64 lag = ClockLag();
    EXPECT_GE(lag, 0);
    EXPECT_LE(lag, 1);
    Shot(&w, QStringLiteral("startup-seat-grid"));
}

TEST_F(StartUp, TheWindowIsABorderlessRoundedScreen) {
    TFrmMain &w = Start();
    EXPECT_EQ(w.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    // Rounded corners: the corner pixel is cut away, the middle of an edge is not.
    EXPECT_FALSE(w.mask().isEmpty());
    EXPECT_FALSE(w.mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(w.mask().contains(QPoint(w.width() - 1, w.height() - 1)));
    EXPECT_TRUE(w.mask().contains(QPoint(w.width() / 2, 0)));

    EXPECT_EQ(Control<QWidget>("pnlTop")->height(), 35);
    EXPECT_EQ(Control<QWidget>("pnlRz")->width(), 185);
    EXPECT_EQ(Control<QWidget>("btnMin")->size(), QSize(26, 18));
    EXPECT_EQ(Control<QWidget>("btnUsbState")->size(), QSize(24, 24));
    // The receiver indicator stands wholly inside the bottom bar.
    auto *bottom = Control<QWidget>("pnlbottom");
    EXPECT_EQ(bottom->height(), 26);
    EXPECT_TRUE(bottom->rect().contains(Control<QWidget>("btnUsbState")->geometry()));
    auto *close = Control<QWidget>("btnClose");
    EXPECT_EQ(close->size(), QSize(43, 18));
    EXPECT_EQ(close->y(), 0);
    EXPECT_GT(close->x(), w.width() - 100); // anchored top right
    EXPECT_EQ(Control<QWidget>("btnMin")->x() + 26, close->x());
    auto *maximise = Control<QWidget>("btnMax");
    EXPECT_TRUE(maximise->isHidden());
    EXPECT_FALSE(maximise->isEnabled());
    // The clock and the receiver button sit at the bottom right.
    EXPECT_GT(Label("lblTime")->mapTo(&w, QPoint(0, 0)).x(), w.width() / 2);
    EXPECT_LT(Label("lblAns")->mapTo(&w, QPoint(0, 0)).x(), w.width() / 2);
}

TEST_F(StartUp, ClockTicksEverySecond) {
    Start();
    const QString first = Label("lblTime")->text();
    ASSERT_TRUE(WaitFor([&] { return Label("lblTime")->text() != first; }, 5000))
        << "the clock stayed at " << first.toStdString();
    const qint64 lag = ClockLag();
    EXPECT_GE(lag, 0);
    EXPECT_LE(lag, 1);
}

TEST_F(StartUp, SeatsShowLinkedUntilTheFirstTick) {
    TFrmMain &w = Start();
    // Seats start with the linked picture; the first tick of the clock, one
    // second after start-up, shows who was really heard from.
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(w.SeatGrid->GetTile(i)->TileImage()->Picture() == LinkedPicture())
            << "seat " << i << " shows the unlinked picture";
    }
}

class Presence : public WindowTest {};

TEST_F(Presence, PicturesFollowTheReplayedTablets) {
    WriteConfig(2, 2, 4);
    // Seat 3 holds tablet 4; its pane holds tablet 9, whose pen points count for it.
    auto students = NumberedClass(3);
    students.push_back({"Student 4", 4, "Pane Four", 9});
    WriteRoster(students);
    ReplayScript script;
    script.Wait(200);
    // Three seconds of a key from tablet 2 and pen points of tablet 9 every
    // 150 ms, and of a tablet that is not in the roster; then silence.
    for (int i = 0; i < 20; ++i) {
        script.Keys(2, {1}).Stroke(9, {QPoint(1000 + i * 10, 900)}).Keys(77, {1}).Wait(150);
    }
    UseReplay(script);
    TFrmMain &w = Start();
    const auto linked = [&](int seat) {
        return w.SeatGrid->GetTile(seat)->TileImage()->Picture() == LinkedPicture();
    };
    // Every seat starts linked; after a tick only the tablets heard from are.
    ASSERT_TRUE(WaitFor([&] { return linked(1) && linked(3) && !linked(0) && !linked(2); }))
        << "tablets 2 and 9 were never shown as the only ones heard from";
    EXPECT_TRUE(w.SeatGrid->GetTile(0)->TileImage()->Picture() == UnlinkedPicture());
    Shot(&w, QStringLiteral("presence"));
    // A whole tick without events shows them as lost again.
    EXPECT_TRUE(WaitFor([&] { return !linked(1) && !linked(3); }))
        << "the seats stayed linked after the tablets went silent";
}

TEST_F(StartUp, WithoutReceiverShowsTheErrorAndStillWritesBothFiles) {
    // Files that lack keys: what the shutdown writes is recognisable.
    WriteTextFile(DataPath("Config.ini"), QStringLiteral("[Public]\nMainLine=3\nMainRow=2\n"));
    UseReceiver("replay:" + QFile::encodeName(DataPath("no-such-receiver.replay")));
    // The prompt comes before the window is shown.
    bool windowShownAtPrompt = false;
    std::vector<Prompt> prompts;
    const PromptResponder previous =
        SetPromptResponder([&](const QString &title, const QString &text, bool withCancel) {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                windowShownAtPrompt |= qobject_cast<TFrmMain *>(top) != nullptr && top->isVisible();
            }
            prompts.push_back({title, text, withCancel});
            return true;
        });
    TFrmMain &w = Start();
    SetPromptResponder(previous);
    EXPECT_FALSE(w.Started());
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].Title, QStringLiteral("Error"));
    EXPECT_EQ(prompts[0].Text, MessageTexts[MessageKey::Error2]);
    EXPECT_EQ(prompts[0].Text, QStringLiteral("检测不到USB硬件, 系统即将退出!"));
    EXPECT_FALSE(prompts[0].WithCancel);
    EXPECT_FALSE(windowShownAtPrompt);

    // Only the seat grid exists; no clock, and device events find nothing to do.
    EXPECT_NE(w.SeatGrid, nullptr);
    EXPECT_EQ(w.LiveGrid, nullptr);
    EXPECT_EQ(w.AnswerGrid, nullptr);
    EXPECT_TRUE(Label("lblTime")->text().isEmpty());
    QCoreApplication::postEvent(&w, new DeviceEvent(WM_TABLET_KEY, 0, 2));
    QCoreApplication::postEvent(&w, new DeviceEvent(WM_TABLET_PEN, 0, 0x00200020));
    QCoreApplication::postEvent(&w, new DeviceEvent(WM_DEVICE_STATE, STATE_DISCONNECTED, 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Control<QWidget>("btnUsbState")->isEnabled());

    QFile::remove(DataPath("StudentInfo.ini"));
    Close();
    ExpectWrittenAtExit(DataPath(QString()), 3, 2, QStringLiteral("Student 5"));
    EXPECT_TRUE(ReadTextFile(DataPath("StudentInfo.ini")).contains(QStringLiteral("[0005]")));
}

class Language : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteRoster(NumberedClass(4));
        UseReplay(ReplayScript().Wait(60000));
    }
};

// Item keys of the navigation bar with the form texts they show before any
// language file is applied.
const std::vector<std::pair<const char *, QString>> kItemFormTexts = {
    {"MainInterface", QStringLiteral("显示窗口")},
    {"LiveView", QStringLiteral("实时浏览")},
    {"Statisticalresults", QStringLiteral("结果统计")},
    {"TopicsType", QStringLiteral("题型选择")},
    {"SingleChoice", QStringLiteral("单选题")},
    {"multipleChoice", QStringLiteral("多选题")},
    {"EssayQuestion", QStringLiteral("主观题")},
    {"AnswerState", QStringLiteral("答题状态")},
    {"NotStarted", QStringLiteral("未开始")},
    {"UnderWay", QStringLiteral("进行中")},
    {"AlreadyOver", QStringLiteral("结束答题")},
    {"QuestionsEdit", QStringLiteral("编辑题目")},
    {"LayoutSettings", QStringLiteral("界面设置")},
    {"Quit", QStringLiteral("退出系统")},
};
const std::vector<std::pair<const char *, const char *>> kGroupKeys = {
    {"rzgrpMainCaption", "View"},
    {"rzgrpQueCaption", "Examiners"},
    {"rzgrpSetCaption", "Settings"}};

TEST_F(Language, EveryCaptionComesFromTheLanguageFile) {
    WriteConfig(2, 2, 4, QStringLiteral("en_US"));
    TFrmMain &w = Start();
    ASSERT_TRUE(w.Started());
    LanguageTexts texts;
    MessageTextTable messages;
    LoadLanguage(LanguageFilePath(DataPath(QString()), QStringLiteral("en_US")), texts, messages);
    ASSERT_EQ(texts.Value(u"SingleChoice"), QStringLiteral("Single Choice"));

    for (const auto &[key, formText] : kItemFormTexts) {
        EXPECT_EQ(w.Item(QString::fromLatin1(key))->Caption(),
                  texts.Value(QString::fromLatin1(key)))
            << key;
    }
    for (const auto &[label, key] : kGroupKeys) {
        EXPECT_EQ(Label(label)->text(), texts.Value(QString::fromLatin1(key))) << key;
    }
    EXPECT_EQ(Label("lbl2")->text(), texts.Value(u"AppTitle"));
    EXPECT_EQ(Label("lbl1")->text(), texts.Value(u"StudentList"));
    EXPECT_EQ(MenuItem("N1")->text(), messages[MessageKey::Tip2]);
    EXPECT_EQ(MenuItem("N2")->text(), messages[MessageKey::Tip11]);
    EXPECT_EQ(MessageTexts[MessageKey::Tip12], messages[MessageKey::Tip12]);
    EXPECT_EQ(Control<QCustomPlot>("cht2")->yAxis->label(), messages[MessageKey::Tip4]);
    EXPECT_EQ(Control<TImageButton>("btn1")->Caption(), messages[MessageKey::Tip9]);

    // The student list heading is centred in its bar; the settings labels end
    // 10 pixels left of the input column.
    QLabel *heading = Label("lbl1");
    EXPECT_EQ(heading->x(), (130 - heading->width()) / 2);
    const int inputs = Control<QWidget>("cbb1")->x();
    for (const char *name : {"lbl11", "lbl9", "lbl10", "lbl3", "lbl4"}) {
        QLabel *label = Label(name);
        EXPECT_EQ(label->x() + label->width(), inputs - 10) << name;
    }
}

TEST_F(Language, MissingFileIsReportedAndTheFormTextsStay) {
    WriteConfig(2, 2, 4, QStringLiteral("xx_XX"));
    PromptRecorder prompts(true);
    TFrmMain &w = Start();
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_TRUE(prompts.Prompts()[0].Text.contains(QStringLiteral("xx_XX")))
        << prompts.Prompts()[0].Text.toStdString();
    EXPECT_TRUE(prompts.Prompts()[0].Text.endsWith(QStringLiteral(" 文件没有找到,加载xml失败")))
        << prompts.Prompts()[0].Text.toStdString();

    // The program goes on with grids and with the texts it carries itself.
    ASSERT_TRUE(w.Started());
    EXPECT_EQ(w.SeatGrid->TileCount(), 4);
    EXPECT_EQ(MessageTexts[MessageKey::Tip12], BuiltInMessageText(MessageKey::Tip12));
    EXPECT_EQ(Label("lbl2")->text(), QStringLiteral("Vote System"));
    EXPECT_EQ(Label("lbl1")->text(), QStringLiteral("学生列表"));
    for (const auto &[key, formText] : kItemFormTexts) {
        EXPECT_EQ(w.Item(QString::fromLatin1(key))->Caption(), formText) << key;
    }
    EXPECT_EQ(Label("rzgrpMainCaption")->text(), QStringLiteral("界面选择"));
    EXPECT_EQ(Label("rzgrpQueCaption")->text(), QStringLiteral("出题"));
    EXPECT_EQ(Label("rzgrpSetCaption")->text(), QStringLiteral("设置"));
    Shot(&w, QStringLiteral("missing-language"));
}

} // namespace
} // namespace lumora::test
