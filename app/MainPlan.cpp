// The main window and the question sets: the view of the sets and their
// editor, a set run question by question (each step does what the teacher
// would do by hand: the type, the key, not started, in progress), the board
// with the countdown, and the keys of both.
#include "Main.h"

#include "config/QuestionSetStore.h"
#include "controls/PlanBoard.h"
#include "controls/Stdpanel.h"
#include "controls/WindowBars.h"
#include "core/Helpers.h"
#include "core/MessageTexts.h"
#include "dialogs/SettingsPanel.h"
#include "dialogs/UnSetName.h"
#include "record/LessonRecording.h"
#include "record/Recorder.h"
#include "views/ClassesView.h"
#include "views/GroupBar.h"
#include "views/HelpView.h"
#include "views/HistoryView.h"
#include "views/QuestionSetsView.h"

#include <QApplication>
#include <QDir>
#include <QShortcut>

namespace lumora {

namespace {

// How often the countdown is looked at: its digits change every second, the
// end comes within this of zero.
constexpr int kPlanTickMs = 100;
constexpr qint64 kLastSecondsMs = 10000;

const char *TypeItem(int type) {
    switch (type) {
    case kQuestionMultiple:
        return "multipleChoice";
    case kQuestionSubjective:
        return "EssayQuestion";
    default:
        return "SingleChoice";
    }
}

} // namespace

void TFrmMain::BuildPlan() {
    planBoard_ = new TPlanBoard(pnlBG_);
    connect(planBoard_, &TPlanBoard::PreviousClicked, this,
            [this] { PlanStep(PlanRun::Move::Previous); });
    connect(planBoard_, &TPlanBoard::RepeatClicked, this,
            [this] { PlanStep(PlanRun::Move::Repeat); });
    connect(planBoard_, &TPlanBoard::NextClicked, this, [this] { PlanStep(PlanRun::Move::Next); });
    connect(planBoard_, &TPlanBoard::AddSecondsClicked, this, &TFrmMain::AddCountdownTime);
    connect(planBoard_, &TPlanBoard::PauseClicked, this, &TFrmMain::PauseCountdown);
    connect(planBoard_, &TPlanBoard::SoundToggled, this, [this](bool on) {
        prefs_.CountdownSound = on;
        SavePreferencesReported();
    });
    connect(planBoard_, &TPlanBoard::HideAnswersClicked, this,
            [this] { SetAnswersHidden(!hideAnswers_); });
    connect(planBoard_, &TPlanBoard::RevealClicked, this, &TFrmMain::RevealAnswers);
    connect(planBoard_, &TPlanBoard::AnonymousClicked, this, [this] { SetAnonymous(!anonymous_); });
    connect(planBoard_, &TPlanBoard::PickClicked, this, &TFrmMain::PickStudent);
    pickTimer_.setSingleShot(true);
    connect(&pickTimer_, &QTimer::timeout, this, &TFrmMain::PickStep);

    pnlSets_ = new TQuestionSetsView(dataDir_, pnlBG_);
    pnlSets_->hide();
    connect(pnlSets_, &TQuestionSetsView::RunClicked, this,
            [this](const QString &name) { RunQuestionSet(name); });
    connect(pnlSets_, &TQuestionSetsView::ProblemsFound, this, &TFrmMain::ReportPlanProblems);

    pnlHelp_ = new THelpView(pnlBG_);
    pnlHelp_->hide();
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &TFrmMain::OpenHelp);

    // The keys act on the grids and the chart, never in a view with fields.
    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::Key_N), [this] { PlanStep(PlanRun::Move::Next); }},
        {QKeySequence(Qt::Key_Space), [this] { PlanStep(PlanRun::Move::Next); }},
        {QKeySequence(Qt::Key_B), [this] { PlanStep(PlanRun::Move::Previous); }},
        {QKeySequence(Qt::Key_R), [this] { PlanStep(PlanRun::Move::Repeat); }},
        {QKeySequence(Qt::Key_Plus), [this] { AddCountdownTime(30); }},
        {QKeySequence(Qt::Key_Equal), [this] { AddCountdownTime(30); }},
        {QKeySequence(Qt::Key_M), [this] { AddCountdownTime(60); }},
        {QKeySequence(Qt::Key_P), [this] { PauseCountdown(); }},
        {QKeySequence(Qt::Key_H), [this] { SetAnswersHidden(!hideAnswers_); }},
        {QKeySequence(Qt::Key_V), [this] { RevealAnswers(); }},
        {QKeySequence(Qt::Key_A), [this] { SetAnonymous(!anonymous_); }},
        {QKeySequence(Qt::Key_S), [this] { PickStudent(PickAmong::Present); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_S), [this] { PickStudent(PickAmong::Answered); }},
        {QKeySequence(Qt::Key_W), [this] { PickStudent(PickAmong::AnsweredWrongly); }},
        {QKeySequence(Qt::Key_T),
         [this] { planBoard_->SetQuestionShown(!planBoard_->QuestionShown()); }},
    };
    for (const auto &[sequence, action] : keys) {
        auto *shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, [this, action = action] {
            if (PlanKeysApply()) {
                action();
            }
        });
    }
    planClock_.start();
    planTimer_.setInterval(kPlanTickMs);
    connect(&planTimer_, &QTimer::timeout, this, &TFrmMain::PlanTick);
}

bool TFrmMain::PlanKeysApply() const {
    return started_ && !destroyed_ && !pnlSets_->isVisible() && !pnlSet_->isVisible() &&
           !pnlHistory_->isVisible() && !pnlClasses_->isVisible() && !pnlHelp_->isVisible();
}

void TFrmMain::OpenHelp() {
    if (!started_ || destroyed_) {
        return;
    }
    HideViews();
    ShowStudentList(false);
    pnlHelp_->show();
    pnlHelp_->raise();
    ShowPlan();
}

void TFrmMain::ApplyPlanTexts() {
    planBoard_->UpdateTexts();
    pnlSets_->UpdateTexts();
    pnlHelp_->UpdateTexts();
    ShowPlan();
}

void TFrmMain::OpenQuestionSets() {
    HideViews();
    ShowStudentList(false);
    pnlRz_->Mark(Item(QStringLiteral("QuestionSets")));
    ShowQuestionSets(plan_.Active() ? plan_.Set().Name : QString());
    pnlSets_->show();
    pnlSets_->raise();
    ShowPlan();
}

void TFrmMain::ShowQuestionSets(const QString &chosen) {
    pnlSets_->Reload(chosen);
}

void TFrmMain::ReportPlanProblems(const QString &name, const QStringList &problems) {
    // The first lines tell enough; a long list would not fit the prompt.
    constexpr int kShown = 12;
    QStringList shown = problems.mid(0, kShown);
    if (problems.size() > kShown) {
        shown.append(QStringLiteral("…"));
    }
    const QString text =
        FormatMessage(MessageTexts[MessageKey::PlanNotTaken], {name, shown.join(u'\n')});
    DebugLog(text, 0);
    ShowPrompt(QStringLiteral("Error"), text, false);
}

bool TFrmMain::RunQuestionSet(const QString &name) {
    const SetFileResult loaded = LoadQuestionSet(dataDir_, name);
    if (!loaded.Ok()) {
        ReportPlanProblems(name, loaded.Problems);
        return false;
    }
    plan_.Choose(loaded.Set);
    // The first question at once: the teacher chose the set to run it.
    PlanStep(PlanRun::Move::Next);
    return true;
}

void TFrmMain::PlanStep(PlanRun::Move move) {
    if (!started_ || destroyed_ || !plan_.Active()) {
        return;
    }
    if (const PlannedQuestion *question = plan_.Step(move)) {
        RunPlanned(*question);
    } else if (move == PlanRun::Move::Next && plan_.Place() >= 0) {
        pnlbottom_->ShowPlan(plan_.Counter(), MessageTexts[MessageKey::PlanEndOfSet]);
    }
}

void TFrmMain::RunPlanned(const PlannedQuestion &question) {
    // Not started first: the question under way ends (recorded with its own
    // place) and every answer is cleared; then the set's question begins.
    rzgrpQueItems5Click(Item(QStringLiteral("NotStarted")));
    place_ = QuestionPlace{plan_.Set().Name, plan_.Place() + 1, question.Text, question.Points,
                           question.Seconds * qint64(1000)};
    record_->SetPlace(place_);
    placePicture_ = QPixmap();
    if (!question.Picture.isEmpty()) {
        placePicture_.load(
            QDir(QuestionSetPictureFolder(dataDir_, plan_.Set().Name)).filePath(question.Picture));
    }
    plannedKey_ = question.Type == kQuestionSubjective ? QString() : question.Key;
    rzgrpQueItems1Click(Item(QString::fromLatin1(TypeItem(question.Type))));
    plannedKey_.reset();
    rzgrpQueItems5Click(Item(QStringLiteral("UnderWay")));
    countdown_.Start(place_.limitMs, planClock_.elapsed());
    ShowPlan();
}

void TFrmMain::PlanLeft() {
    place_ = QuestionPlace{};
    placePicture_ = QPixmap();
    record_->SetPlace(place_);
    ShowPlan();
}

void TFrmMain::PlanStateChosen(int state) {
    if (state != kAnswerUnderWay) {
        countdown_.Stop();
    }
    // Each question is hidden again until its own reveal; the last pick
    // is forgotten.
    if (state == kAnswerNotStarted) {
        revealed_ = false;
        pickedName_.clear();
        for (TBGPanel *grid : {SeatGrid, AnswerGrid}) {
            if (grid == nullptr) {
                continue;
            }
            for (TStdChannel *tile : grid->Tiles()) {
                tile->SetHighlighted(false);
            }
        }
    }
    ShowPlan();
}

void TFrmMain::AddCountdownTime(int seconds) {
    if (!started_ || answers_.AnswerState() != kAnswerUnderWay) {
        return;
    }
    countdown_.Add(seconds * qint64(1000), planClock_.elapsed());
    place_.limitMs = countdown_.LimitMs();
    record_->SetPlace(place_);
    ShowPlan();
}

void TFrmMain::PauseCountdown() {
    if (countdown_.Paused()) {
        countdown_.Resume(planClock_.elapsed());
    } else {
        countdown_.Pause(planClock_.elapsed());
    }
    ShowPlan();
}

void TFrmMain::ShowTileAnswer(TStdChannel *tile, uint32_t answer) {
    if (hideAnswers_ && !revealed_ && answers_.AnswerState() == kAnswerUnderWay) {
        SetConcealedAnswer(tile, AnswerToLetters(answer).size() > 0);
    } else {
        SetAnswer(tile, AnswerToLetters(answer));
    }
}

void TFrmMain::RefreshAnswerTiles() {
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        if (TStdChannel *tile = AnswerGrid->GetTile(i); tile != nullptr && table_[i].CardID != 0) {
            ShowTileAnswer(tile, table_[i].Answer.load());
        }
    }
}

void TFrmMain::SetAnswersHidden(bool hidden) {
    if (!started_ || destroyed_) {
        return;
    }
    hideAnswers_ = hidden;
    revealed_ = false;
    RefreshAnswerTiles();
    ShowPlan();
}

void TFrmMain::RevealAnswers() {
    if (!started_ || destroyed_) {
        return;
    }
    revealed_ = true;
    RefreshAnswerTiles();
    ShowPlan();
}

void TFrmMain::SetAnonymous(bool anonymous) {
    if (!started_ || destroyed_) {
        return;
    }
    anonymous_ = anonymous;
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        if (TStdChannel *tile = AnswerGrid->GetTile(i)) {
            SetStudentName(tile, anonymous ? QString::number(i + 1) : table_[i].Name.ToString());
        }
    }
    ShowPlan();
}

void TFrmMain::PickStudent(PickAmong among) {
    if (!started_ || destroyed_ || pickTimer_.isActive()) {
        return;
    }
    const std::vector<int> candidates =
        PickCandidates(table_, present_, among, answers_.QuestionType(), AnswerKey);
    const std::optional<int> picked = picker_.Pick(candidates);
    if (!picked) {
        ShowPrompt(QStringLiteral("Lumora"), MessageTexts[MessageKey::PlanNobody], false);
        return;
    }
    record_->LessonRecorder().StudentPicked(*picked, static_cast<int>(among), table_);
    pickedName_ = table_[*picked].Name.ToString();
    // A calm run: a few other candidates, slower each time, then the pick.
    pickGrid_ = AnswerGrid->isVisible() ? AnswerGrid : SeatGrid;
    if (!pickGrid_->isVisible()) {
        rzgrpMainItems0Click(Item(QStringLiteral("MainInterface")));
    }
    pickRun_.clear();
    std::vector<int> others = candidates;
    std::erase(others, *picked);
    for (size_t i = 0; i < std::min<size_t>(6, others.size()); ++i) {
        pickRun_.push_back(others[(i * 7 + static_cast<size_t>(*picked)) % others.size()]);
    }
    pickRun_.push_back(*picked);
    pickStep_ = 0;
    PickStep();
}

void TFrmMain::PickStep() {
    if (destroyed_ || pickGrid_ == nullptr || pickStep_ >= pickRun_.size()) {
        return;
    }
    for (TStdChannel *tile : pickGrid_->Tiles()) {
        tile->SetHighlighted(false);
    }
    const int index = pickRun_[pickStep_];
    if (TStdChannel *tile = pickGrid_->GetTile(index)) {
        tile->SetHighlighted(true);
    }
    // The page that holds the student.
    if (const int page = pickGrid_->GridPageOf(index); page != pickGrid_->GridPage()) {
        pickGrid_->SetGridPage(page);
    }
    ++pickStep_;
    if (pickStep_ < pickRun_.size()) {
        pickTimer_.start(120 + 60 * static_cast<int>(pickStep_));
    } else {
        ShowPlan();
    }
}

void TFrmMain::PlanTick() {
    if (destroyed_) {
        return;
    }
    // At zero the question ends as the end chosen by hand does, once.
    if (countdown_.Expire(planClock_.elapsed()) && answers_.AnswerState() == kAnswerUnderWay) {
        if (prefs_.CountdownSound) {
            QApplication::beep();
        }
        rzgrpQueItems5Click(Item(QStringLiteral("AlreadyOver")));
        return;
    }
    ShowPlan();
}

void TFrmMain::ShowPlan() {
    if (planBoard_ == nullptr) {
        return;
    }
    const bool planned = plan_.Active() && place_.number > 0;
    QString first = planned ? plan_.Counter() : QString();
    QString second = planned ? place_.text : QString();
    if (!pickedName_.isEmpty() && !pickTimer_.isActive()) {
        second = planned ? first + QStringLiteral("   ") + second : QString();
        first = FormatMessage(MessageTexts[MessageKey::PlanPicked], {pickedName_});
    }
    pnlbottom_->ShowPlan(first, second);
    planBoard_->ShowQuestion(planned ? plan_.Counter() : QString(),
                             planned ? place_.text : QString(),
                             planned ? placePicture_ : QPixmap());
    const bool running = countdown_.Running();
    const qint64 left = countdown_.RemainingMs(planClock_.elapsed());
    planBoard_->ShowCountdown(running ? Countdown::Format(left) : QString(),
                              running && left <= kLastSecondsMs, countdown_.Paused());
    planBoard_->ShowSetButtons(plan_.Active());
    planBoard_->ShowSwitches(hideAnswers_, anonymous_);
    planBoard_->ShowSound(prefs_.CountdownSound);
    // Over the grids, the live view and the chart; not over a view of fields.
    bool overView = false;
    for (QWidget *view : {static_cast<QWidget *>(SeatGrid), static_cast<QWidget *>(AnswerGrid),
                          static_cast<QWidget *>(LiveGrid), pnlDraw_}) {
        overView = overView || (view != nullptr && view->isVisible());
    }
    const bool shown = overView && (plan_.Active() || running);
    // The side bar of the live view narrows the area.
    if (shown && !planBoard_->isHidden() && planBoard_->width() != pnlBG_->width()) {
        planBoard_->FitTo(pnlBG_->size());
    }
    if (shown != !planBoard_->isHidden()) {
        if (shown) {
            planBoard_->FitTo(pnlBG_->size());
        }
        planBoard_->setVisible(shown);
        planBoard_->raise();
        // The grids give the band its room, or take it back.
        if (started_ && !destroyed_) {
            FitViews();
        }
    }
    if (running || plan_.Active()) {
        if (!planTimer_.isActive()) {
            planTimer_.start();
        }
    } else {
        planTimer_.stop();
    }
}

} // namespace lumora
