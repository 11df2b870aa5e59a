// The teacher's main window: title bar, navigation bar, the view area with
// its views, the student list side bar and the bottom bar. It coordinates:
// the answer session (session/AnswerSession), the device events
// (session/DeviceBridge), the lesson record (record/LessonRecording), the
// settings panel (dialogs/SettingsPanel) and the roster import
// (config/RosterImport) each do their own work. Creating it runs the
// program's start-up; destroying it writes the roster and the configuration.
//
// Its files: Main.cpp builds the window and runs the start-up, the shutdown,
// the navigation handlers, the language and the device events; MainViews.cpp
// shows the views and keeps the grids, the student list and the bottom bar
// in step with the table; MainFiles.cpp reads and saves the data files;
// MainLive.cpp holds the live view's mouse handlers and the association menu;
// MainKeyboard.cpp the keyboard; MainClasses.cpp the teacher's classes
// (config/ClassBook) and the class view; MainPlan.cpp the question sets, a
// set run question by question and the countdown. Only Main.cpp calls into the others,
// which call MainViews.cpp and MainFiles.cpp alone.
#pragma once

#include "config/Config.h"
#include "config/LanguageTexts.h"
#include "config/Preferences.h"
#include "config/QtTranslations.h"
#include "config/SlotTable.h"
#include "record/RecordEvent.h"
#include "session/AnswerSession.h"
#include "session/Countdown.h"
#include "session/DeviceBridge.h"
#include "session/PlanRun.h"
#include "session/RandomPick.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <bitset>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QAction;
class QScreen;
class QShortcut;

namespace lumora {

class TBGPanel;
class TStdChannel;
class TGroupBar;
class TGroupItem;
class TResultChart;
class THistoryView;
class TSettingsPanel;
class TStudentList;
class TClassesView;
class TPlanBoard;
class THelpView;
class TQuestionSetsView;
struct ClassInfo;
struct ClassResult;
class TTitleBar;
class TBottomBar;
class LessonRecording;
class Recorder;
struct FileProblem;

class TFrmMain : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up sequence with the given data directory. When no
    // receiver is found it shows its error and asks the application to end:
    // Started() is false then.
    explicit TFrmMain(const QString &dataDir, QWidget *parent = nullptr);
    // The same, starting with the class of that name (Lumora --class NAME):
    // switched to before the seats are built, as a switch in the class view.
    TFrmMain(const QString &dataDir, const QString &startClass, QWidget *parent = nullptr);
    ~TFrmMain() override;

    bool Started() const { return started_; }

    // Navigation bar handlers (also reached by the tour and the tests).
    void rzgrpMainItems0Click(TGroupItem *item);
    void rzgrpQueItems1Click(TGroupItem *item);
    void rzgrpQueItems5Click(TGroupItem *item);
    void btnCloseClick();
    void btnMinClick();
    void tmr1Timer();
    // Applies Language.xml of the given file: captions, message texts, label
    // alignment. A missing file is reported and the texts stay as they were.
    void ApplyLanguage(const QString &fileName);

    TGroupItem *Item(const QString &key) const;

    // Live handwriting view.
    void lvStdMouseDown();
    void LiveTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           int x, int y);
    void LiveTileDblClick(QObject *sender);
    // The association menu on CurrentTile: N1 (by its tag) and N2.
    void AssociateSeat();
    void DeleteAssociation();
    // Settings panel.
    void OpenLayoutSettings();
    void SaveLayoutSettings();
    // Replaces the roster with a text file; an empty path asks for one.
    void ImportRoster(const QString &path = QString());
    // Keyboard (and the page buttons): step -1 the previous, +1 the next page
    // of the grid or live view shown; Enter zooms the selected pane, Escape
    // returns to its page.
    void PageKey(int step);
    void ZoomSelectedPane();
    void ReturnFromZoom();
    // A termination signal: open dialogs are cancelled, then the window
    // closes through the exit saves, without the exit question.
    void EndBySignal();
    // The exit saves without the close: the reader stopped, the lesson
    // ended in the record, the roster and the configuration written; then
    // ExitSaved. For an end that cannot wait for the close (a Windows
    // session ending while a dialog's loop runs). Once; the close later
    // saves nothing more.
    void SaveAtTheEnd();
    // The lesson history view (the LessonHistory item).
    void OpenHistory();
    // The whole window to the next screen (a projector beside the teacher's
    // own), the first after the last; remembered for the next start.
    void MoveToNextScreen();
    // The class view (the Classes item) and what its buttons do: switch to a
    // class, make one from an import file (an empty path asks for one),
    // rename one, delete one (asked first). Failures are prompts.
    void OpenClasses();
    bool SwitchClass(const ClassInfo &target);
    void NewClass(const QString &path = QString());
    void RenameClass(const ClassInfo &target);
    void DeleteClass(const ClassInfo &target);
    // Question sets (MainPlan.cpp): the view of the sets and their editor;
    // running a set from the data folder (false, with a prompt, when it
    // cannot be read); a move in the running set (one step: the question's
    // type, its key, not started, in progress); the countdown's time.
    void OpenQuestionSets();
    // The help page (F1).
    void OpenHelp();
    bool RunQuestionSet(const QString &name);
    void PlanStep(PlanRun::Move move);
    void AddCountdownTime(int seconds);
    void PauseCountdown();
    // Hidden answers (off at the start): while a question is under way the
    // answer grid shows only who has answered, until the end or a reveal.
    // Anonymous: the answer grid shows seat numbers instead of names.
    void SetAnswersHidden(bool hidden);
    void RevealAnswers();
    void SetAnonymous(bool anonymous);
    // A student picked at random (recorded), shown by a short run over the
    // grid shown (else the seat grid) that settles on the one picked.
    void PickStudent(PickAmong among);
    int LastPicked() const { return picker_.Last(); }
    bool Picking() const { return pickTimer_.isActive(); }
    bool AnswersHidden() const { return hideAnswers_; }
    bool Anonymous() const { return anonymous_; }
    const PlanRun &Plan() const { return plan_; }
    const Countdown &QuestionCountdown() const { return countdown_; }
    TQuestionSetsView *QuestionSetsPanel() const { return pnlSets_; }
    TBGPanel *SeatGrid = nullptr;
    TBGPanel *LiveGrid = nullptr;
    TBGPanel *AnswerGrid = nullptr;
    TStdChannel *CurrentTile = nullptr;

    SlotTable &Table() { return table_; }
    const QString &DataDir() const { return dataDir_; }
    const SessionState &Session() const { return session_; }
    TResultChart *Chart() const { return chart_; }
    const Config &Configuration() const { return config_; }
    const Preferences &TeacherPreferences() const { return prefs_; }
    Recorder *LessonRecorder() const;
    THistoryView *History() const { return pnlHistory_; }
    TClassesView *ClassesPanel() const { return pnlClasses_; }

Q_SIGNALS:
    // The exit saves are done (at the close, or SaveAtTheEnd): the roster
    // and the configuration written, the lesson record closed; the window
    // writes nothing more to the data folder.
    void ExitSaved();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Mark sets of the navigation bar.
    static constexpr int kViewSet = 0;
    static constexpr int kQuestionTypeSet = 1;
    static constexpr int kAnswerStateSet = 2;
    static constexpr int kSettingsSet = 3;

    // Main.cpp
    void BuildShell();
    void BuildNavigation();
    void FormCreate();
    void FormDestroy();
    void HandleDeviceEvent(const DeviceEvent &event);
    void AskAnswerKey(int questionType);
    // MainViews.cpp
    void ShowStudentList(bool shown);
    void HideViews();
    void UpdatePresence();
    void ShowTime();
    void FillStudentList();
    void BindInkCanvases();
    void LayOutGrids();
    void ReloadGrids();
    // The answer progress in the bottom bar, for the question type chosen.
    void UpdateProgress();
    // Marks the panes whose students wrote in the last seconds.
    void UpdateWritingMarks();
    // A pane that changed student starts white, with no stroke open.
    void ResetPane(int index);
    // Selects the pressed tile of grid and makes it CurrentTile; null when
    // the sender is not a tile.
    TStdChannel *SelectPressedTile(TBGPanel *grid, QObject *sender);
    void SeatTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           int x, int y);
    void AnswerTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                             int x, int y);
    // The screen the window starts on: the one it was last on while it is
    // there, else the primary one.
    QScreen *ScreenToStartOn() const;
    // The views fitted to a new size of the view area (another screen),
    // each grid on the page it showed.
    void FitViews();
    // MainKeyboard.cpp
    void BuildShortcuts();
    void LivePage(int step);
    // MainPlan.cpp
    void BuildPlan();
    void RunPlanned(const PlannedQuestion &question);
    // The answer state chosen: the countdown ends with the question.
    void PlanStateChosen(int state);
    // A type chosen by hand: the question is no longer the set's.
    void PlanLeft();
    void PlanTick();
    void ShowPlan();
    bool PlanKeysApply() const;
    void ShowQuestionSets(const QString &chosen);
    void ApplyPlanTexts();
    // A student's answer on the answer grid, hidden or not.
    void ShowTileAnswer(TStdChannel *tile, uint32_t answer);
    void RefreshAnswerTiles();
    void PickStep();
    void ReportPlanProblems(const QString &name, const QStringList &problems);
    // MainFiles.cpp. Reads Config.ini and StudentInfo.ini, noting what kept
    // either from being read completely.
    void ReadDataFiles(int screenHeight, FileProblem *configProblem, FileProblem *rosterProblem);
    // Such a file is kept aside under a new name and reported, then written
    // again from what was read.
    void SetAsideUnreadFiles(const FileProblem &configProblem, const FileProblem &rosterProblem);
    bool KeepAsideReported(const QString &path, const FileProblem &problem);
    // Saves that tell the teacher when they fail: index -1 the whole roster,
    // else that entry; several entries in one write.
    bool SaveRosterReported(int index);
    bool SaveRosterEntriesReported(const QList<int> &entries);
    bool SaveConfigReported();
    bool SavePreferencesReported();
    void ReportSaveFailure(const QString &path, const QString &reason);
    void CloseWhenIdle();
    // MainClasses.cpp
    void BuildClasses();
    // Lumora --class NAME: the switch before the seats are built.
    void StartWithClass();
    // The roster of StudentInfo.ini into the table and the grids, as an import.
    void LoadClassRoster();
    void ShowClasses();
    // The current class in the title (none for the unnamed class); the class
    // view's texts.
    void ApplyClassTexts();
    void ReportClassError(const ClassResult &result, const QString &name);

    QString dataDir_;
    QString startClass_;
    Config config_;
    Preferences prefs_;
    // Qt's own texts (its file dialogs) in the language applied.
    QtTranslations qtTexts_;
    SlotTable table_;
    SessionState session_;
    AnswerSession answers_;
    DeviceBridge bridge_;
    LanguageTexts texts_;
    std::unique_ptr<LessonRecording> record_;
    bool started_ = false;
    bool libraryRunning_ = false;
    bool destroyed_ = false;
    bool exitSaved_ = false;
    // The window's size the views were last fitted to.
    QSize fittedSize_;

    TTitleBar *pnlTop_ = nullptr;
    TGroupBar *pnlRz_ = nullptr;
    QWidget *pnlBG_ = nullptr;
    TStudentList *pnl2_ = nullptr;
    QWidget *img3_ = nullptr;
    TBottomBar *pnlbottom_ = nullptr;
    QWidget *pnlDraw_ = nullptr;
    TResultChart *chart_ = nullptr;
    TSettingsPanel *pnlSet_ = nullptr;
    THistoryView *pnlHistory_ = nullptr;
    TClassesView *pnlClasses_ = nullptr;
    QMenu *pm1_ = nullptr;
    QAction *N1_ = nullptr;
    QAction *N2_ = nullptr;
    int n1Tag_ = 0;

    QTimer tmr1_;
    // When panes last got a pen point (the steady clock of the session).
    QElapsedTimer inkClock_;
    std::vector<QShortcut *> pageShortcuts_;

    PlanRun plan_;
    Countdown countdown_;
    QTimer planTimer_;
    QElapsedTimer planClock_;
    // The key of the set's question being chosen (no dialog asks for it).
    std::optional<QString> plannedKey_;
    QuestionPlace place_;
    QPixmap placePicture_;
    TPlanBoard *planBoard_ = nullptr;
    TQuestionSetsView *pnlSets_ = nullptr;
    THelpView *pnlHelp_ = nullptr;
    bool hideAnswers_ = false;
    bool revealed_ = false;
    bool anonymous_ = false;
    // Seats whose tablet was heard in the last tick.
    std::bitset<kSlotCount> present_;
    RandomPick picker_;
    QTimer pickTimer_;
    TBGPanel *pickGrid_ = nullptr;
    std::vector<int> pickRun_;
    size_t pickStep_ = 0;
    QString pickedName_;
};

} // namespace lumora
