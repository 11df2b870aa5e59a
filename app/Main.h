// The teacher's main window: title strip, navigation bar, the view area with
// its five views, the student list side bar and the bottom bar. Creating it
// runs the program's start-up; destroying it writes the roster and the
// configuration.
#pragma once

#include "session/AnswerProgress.h"
#include "session/DeviceBridge.h"
#include "config/Config.h"
#include "config/LanguageTexts.h"
#include "config/SlotTable.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QAction;
class QTreeWidget;
class QComboBox;
class QSpinBox;
class QGroupBox;
class QLineEdit;
class QShortcut;

namespace lumora {

class TBGPanel;
class TStdChannel;
class TImageButton;
class TGroupBar;
class TGroupItem;
class TResultChart;
class THistoryView;
class Recorder;
class QuestionRecording;

class TFrmMain : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up sequence with the given data directory. When no
    // receiver is found it shows its error and asks the application to end:
    // Started() is false then.
    explicit TFrmMain(const QString &dataDir, QWidget *parent = nullptr);
    ~TFrmMain() override;

    bool Started() const { return started_; }

    // Events of the lesson record posted to the window (after the device
    // events 1034 to 1038).
    static constexpr QEvent::Type kInkPicturesEvent = static_cast<QEvent::Type>(1039);
    static constexpr QEvent::Type kRecordProblemEvent = static_cast<QEvent::Type>(1040);

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
    // The lesson history view (the LessonHistory item).
    void OpenHistory();
    TBGPanel *SeatGrid = nullptr;
    TBGPanel *LiveGrid = nullptr;
    TBGPanel *AnswerGrid = nullptr;
    TStdChannel *CurrentTile = nullptr;

    SlotTable &Table() { return table_; }
    const SessionState &Session() const { return session_; }
    TResultChart *Chart() const { return chart_; }
    const Config &Configuration() const { return config_; }
    Recorder *LessonRecorder() const { return recorder_.get(); }
    THistoryView *History() const { return pnlHistory_; }

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildShell();
    void BuildNavigation();
    void BuildSettingsPanel();
    void FormCreate();
    void FormDestroy();
    void ShowStudentList(bool shown);
    void HideViews();
    void SeatTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           int x, int y);
    void AnswerTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                             int x, int y);
    void UpdatePresence();
    void ShowTime();
    void HandleDeviceEvent(const DeviceEvent &event);
    void AskAnswerKey(int questionType);
    void FillStudentList();
    void BindInkCanvases();
    void LayOutGrids();
    void SetStudentRow(int index, const QString &name);
    void BuildShortcuts();
    void LivePage(int step);
    // Makes the student of pane `index` the current row of the list.
    void ShowInStudentList(int index);
    // The answer progress in the bottom bar, for the question type chosen.
    void UpdateProgress();
    // Marks the panes whose students wrote in the last seconds.
    void UpdateWritingMarks();
    // A pane that changed student starts white, with no stroke open.
    void ResetPane(int index);
    int SelectedStudentRow() const;
    // Selects the pressed tile of grid and makes it CurrentTile; null when
    // the sender is not a tile.
    TStdChannel *SelectPressedTile(TBGPanel *grid, QObject *sender);
    // Data files (MainFiles.cpp). Reads Config.ini and StudentInfo.ini, noting
    // what kept either from being read completely.
    void ReadDataFiles(int screenHeight);
    // Such a file is kept aside under a new name and reported, then written
    // again from what was read.
    void SetAsideUnreadFiles();
    bool KeepAsideReported(const QString &path, const FileProblem &problem);
    // Saves that tell the teacher when they fail: index -1 the whole roster,
    // else that entry; several entries in one write.
    bool SaveRosterReported(int index);
    bool SaveRosterEntriesReported(const QList<int> &entries);
    bool SaveConfigReported();
    void ReportSaveFailure(const QString &path, const QString &reason);
    void CloseWhenIdle();
    // The lesson record (MainRecord.cpp): made as the start-up begins,
    // started with the library, stopped after it; the question's start and
    // end as the answer state and type change; the ink pictures of a
    // subjective one, taken when kInkPicturesEvent comes behind its ink; a
    // problem of the record (kRecordProblemEvent) is one prompt.
    void CreateRecord();
    void StartRecord();
    void EndRecord();
    void RecordAnswerState(int state);
    void RecordQuestionType(int type);
    void RecordEvent(QEvent *event);
    void SaveInkPictures();
    QString RecordedKey() const;
    QString dataDir_;
    Config config_;
    SlotTable table_;
    SessionState session_;
    DeviceBridge bridge_;
    LanguageTexts texts_;
    FileProblem configProblem_;
    FileProblem rosterProblem_;
    bool started_ = false;
    bool libraryRunning_ = false;
    bool destroyed_ = false;

    QWidget *pnlTop_ = nullptr;
    QLabel *lbl2_ = nullptr;
    TImageButton *btnMin_ = nullptr;
    TImageButton *btnClose_ = nullptr;
    TImageButton *btnMax_ = nullptr;
    TGroupBar *pnlRz_ = nullptr;
    QWidget *pnlBG_ = nullptr;
    QWidget *pnl2_ = nullptr;
    QWidget *img3_ = nullptr;
    QLabel *lbl1_ = nullptr;
    QTreeWidget *lvStd_ = nullptr;
    TImageButton *btnPreviousPane_ = nullptr;
    TImageButton *btnNextPane_ = nullptr;
    QWidget *pnlbottom_ = nullptr;
    QLabel *lblAns_ = nullptr;
    QLabel *lblProgress_ = nullptr;
    QLabel *lblTime_ = nullptr;
    TImageButton *btnUsbState_ = nullptr;
    QWidget *pnlDraw_ = nullptr;
    TResultChart *chart_ = nullptr;
    QMenu *pm1_ = nullptr;
    QAction *N1_ = nullptr;
    QAction *N2_ = nullptr;
    int n1Tag_ = 0;

    // Settings panel.
    QWidget *pnlSet_ = nullptr;
    QGroupBox *grp1_ = nullptr;
    QGroupBox *grp2_ = nullptr;
    QGroupBox *grp3_ = nullptr;
    QGroupBox *grp4_ = nullptr;
    QLabel *lbl11_ = nullptr;
    QLabel *lbl9_ = nullptr;
    QLabel *lbl10_ = nullptr;
    QLabel *lbl3_ = nullptr;
    QLabel *lbl4_ = nullptr;
    QComboBox *cbb1_ = nullptr;
    QSpinBox *se1_ = nullptr;
    QSpinBox *se2_ = nullptr;
    QComboBox *cbb3_ = nullptr;
    QLineEdit *edtFilePath_ = nullptr;
    TImageButton *btnBrowse_ = nullptr;
    TImageButton *btnSave_ = nullptr;

    THistoryView *pnlHistory_ = nullptr;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<QuestionRecording> questions_;
    // The pictures of an ended subjective question wait for the ink queued
    // before its end.
    bool picturesPending_ = false;

    QTimer tmr1_;
    // Panes that have been written on since the question started, and when
    // each last got a pen point (ms of inkClock_).
    WritingProgress writing_;
    QElapsedTimer inkClock_;
    std::array<qint64, kSlotCount> lastInk_{};
    std::vector<QShortcut *> pageShortcuts_;
};

} // namespace lumora
