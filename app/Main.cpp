#include "Main.h"

#include "config/Roster.h"
#include "config/TextFile.h"
#include "config/UnXML.h"
#include "controls/Stdpanel.h"
#include "controls/StudentList.h"
#include "controls/WidgetHelpers.h"
#include "controls/WindowBars.h"
#include "core/Helpers.h"
#include "core/MessageTexts.h"
#include "dialogs/SettingsPanel.h"
#include "dialogs/UnModel.h"
#include "dialogs/UnSetName.h"
#include "penlynx.h"
#include "record/LessonRecording.h"
#include "record/RecordProblem.h"
#include "record/Recorder.h"
#include "views/GroupBar.h"
#include "views/HistoryView.h"
#include "views/ResultChart.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace lumora {

namespace {

const QColor kViewBackground(251, 252, 253);
constexpr int kSeparatorWidth = 3;
constexpr int kEdgeWidth = 6;
constexpr int kNavigationWidth = 185;

TSkinStrip *Edge(const QString &picture, int width, QWidget *parent) {
    auto *edge = new TSkinStrip(QString(), picture, QString(), parent);
    edge->setFixedWidth(width);
    return edge;
}

} // namespace

TFrmMain::TFrmMain(const QString &dataDir, QWidget *parent)
    : TFrmMain(dataDir, QString(), parent) {}

TFrmMain::TFrmMain(const QString &dataDir, const QString &startClass, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Window), dataDir_(dataDir),
      startClass_(startClass), answers_(table_, session_), bridge_(table_, session_, this) {
    setObjectName(QStringLiteral("FrmMain"));
    setFont(LumoraFont());
    BuildShell();
    FormCreate();
}

TFrmMain::~TFrmMain() {
    FormDestroy();
}

Recorder *TFrmMain::LessonRecorder() const {
    return record_ != nullptr ? &record_->LessonRecorder() : nullptr;
}

void TFrmMain::BuildShell() {
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    pnlTop_ = new TTitleBar(this);
    connect(pnlTop_, &TTitleBar::MinimiseClicked, this, &TFrmMain::btnMinClick);
    connect(pnlTop_, &TTitleBar::CloseClicked, this, &TFrmMain::btnCloseClick);
    root->addWidget(pnlTop_);

    // Navigation bar, view area, student list side bar.
    auto *middle = new QHBoxLayout();
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(Edge(QStringLiteral("edge_left"), kEdgeWidth, this));
    pnlRz_ = new TGroupBar(this);
    pnlRz_->setObjectName(QStringLiteral("pnlRz"));
    pnlRz_->setFixedWidth(kNavigationWidth);
    middle->addWidget(pnlRz_);
    middle->addWidget(Edge(QStringLiteral("edge_separator"), kSeparatorWidth, this));
    pnlBG_ = new QWidget(this);
    pnlBG_->setObjectName(QStringLiteral("pnlBG"));
    pnlBG_->setAutoFillBackground(true);
    QPalette bg = pnlBG_->palette();
    bg.setColor(QPalette::Window, kViewBackground);
    pnlBG_->setPalette(bg);
    middle->addWidget(pnlBG_, 1);
    img3_ = Edge(QStringLiteral("edge_separator"), kSeparatorWidth, this);
    img3_->setObjectName(QStringLiteral("img3"));
    middle->addWidget(img3_);
    pnl2_ = new TStudentList(this);
    connect(pnl2_, &TStudentList::RowPressed, this, &TFrmMain::lvStdMouseDown);
    connect(pnl2_, &TStudentList::PreviousPage, this, [this] { LivePage(-1); });
    connect(pnl2_, &TStudentList::NextPage, this, [this] { LivePage(1); });
    middle->addWidget(pnl2_);
    middle->addWidget(Edge(QStringLiteral("edge_right"), kEdgeWidth, this));
    root->addLayout(middle, 1);

    pnlbottom_ = new TBottomBar(this);
    root->addWidget(pnlbottom_);

    BuildNavigation();

    // Result chart, settings panel, lesson history: views of the view area.
    pnlDraw_ = new QWidget(pnlBG_);
    pnlDraw_->setObjectName(QStringLiteral("pnlDraw"));
    auto *drawLayout = new QVBoxLayout(pnlDraw_);
    drawLayout->setContentsMargins(0, 0, 0, 0);
    chart_ = new TResultChart(pnlDraw_);
    drawLayout->addWidget(chart_);
    pnlDraw_->hide();
    pnlSet_ = new TSettingsPanel(pnlBG_);
    pnlSet_->hide();
    connect(pnlSet_, &TSettingsPanel::SaveClicked, this, &TFrmMain::SaveLayoutSettings);
    connect(pnlSet_, &TSettingsPanel::BrowseClicked, this, [this] { ImportRoster(); });
    connect(pnlSet_, &TSettingsPanel::NextScreenClicked, this, &TFrmMain::MoveToNextScreen);
    pnlHistory_ = new THistoryView(dataDir_, pnlBG_);
    pnlHistory_->hide();
    BuildClasses();
    BuildPlan();

    pm1_ = new QMenu(this);
    pm1_->setObjectName(QStringLiteral("pm1"));
    N1_ = pm1_->addAction(QStringLiteral("座位关联"));
    N1_->setObjectName(QStringLiteral("N1"));
    N2_ = pm1_->addAction(QStringLiteral("删除关联"));
    N2_->setObjectName(QStringLiteral("N2"));
    connect(N1_, &QAction::triggered, this, &TFrmMain::AssociateSeat);
    connect(N2_, &QAction::triggered, this, &TFrmMain::DeleteAssociation);
    BuildShortcuts();
    inkClock_.start();

    tmr1_.setInterval(1000);
    connect(&tmr1_, &QTimer::timeout, this, &TFrmMain::tmr1Timer);
}

void TFrmMain::BuildNavigation() {
    struct ItemDef {
        const char *key;
        int tag;
        int set;
        int indent;
    };
    const auto addGroup = [this](const char *name, std::initializer_list<ItemDef> items) {
        TGroup *group = pnlRz_->AddGroup(QString::fromLatin1(name));
        for (const ItemDef &def : items) {
            TGroupItem *item =
                group->AddItem(QString::fromLatin1(def.key), def.tag, def.set, def.indent);
            connect(item, &TGroupItem::Clicked, this, [this](TGroupItem *clicked) {
                switch (clicked->Set()) {
                case kViewSet:
                    rzgrpMainItems0Click(clicked);
                    break;
                case kQuestionTypeSet:
                    rzgrpQueItems1Click(clicked);
                    break;
                case kAnswerStateSet:
                    rzgrpQueItems5Click(clicked);
                    break;
                case kSettingsSet:
                    if (clicked->Tag() == 0) {
                        OpenLayoutSettings();
                    } else if (clicked->Tag() == 1) {
                        OpenHistory();
                    } else if (clicked->Tag() == 2) {
                        OpenClasses();
                    } else {
                        OpenQuestionSets();
                    }
                    break;
                default:
                    if (clicked->objectName() == QLatin1String("Quit")) {
                        btnCloseClick();
                    }
                    break;
                }
            });
        }
    };
    addGroup("rzgrpMain", {{"MainInterface", 0, kViewSet, 0},
                           {"LiveView", 1, kViewSet, 0},
                           {"Statisticalresults", 2, kViewSet, 0}});
    addGroup("rzgrpQue", {{"TopicsType", -1, -1, 0},
                          {"SingleChoice", 0, kQuestionTypeSet, 1},
                          {"multipleChoice", 1, kQuestionTypeSet, 1},
                          {"EssayQuestion", 2, kQuestionTypeSet, 1},
                          {"AnswerState", -1, -1, 0},
                          {"NotStarted", 0, kAnswerStateSet, 1},
                          {"UnderWay", 1, kAnswerStateSet, 1},
                          {"AlreadyOver", 2, kAnswerStateSet, 1},
                          {"QuestionsEdit", -1, -1, 0},
                          {"QuestionSets", 3, kSettingsSet, 0}});
    addGroup("rzgrpSet", {{"LayoutSettings", 0, kSettingsSet, 0},
                          {"LessonHistory", 1, kSettingsSet, 0},
                          {"Classes", 2, kSettingsSet, 0},
                          {"Quit", -1, -1, 0}});

    // Form texts, shown until a language file has been applied.
    const std::pair<const char *, const char16_t *> captions[] = {
        {"MainInterface", u"显示窗口"},      {"LiveView", u"实时浏览"},
        {"Statisticalresults", u"结果统计"}, {"TopicsType", u"题型选择"},
        {"SingleChoice", u"单选题"},         {"multipleChoice", u"多选题"},
        {"EssayQuestion", u"主观题"},        {"AnswerState", u"答题状态"},
        {"NotStarted", u"未开始"},           {"UnderWay", u"进行中"},
        {"AlreadyOver", u"结束答题"},        {"QuestionsEdit", u"编辑题目"},
        {"LayoutSettings", u"界面设置"},     {"Quit", u"退出系统"},
    };
    for (const auto &[key, text] : captions) {
        Item(QString::fromLatin1(key))->SetCaption(QString::fromUtf16(text));
    }
    Item(QStringLiteral("LessonHistory"))->SetCaption(MessageTexts[MessageKey::LessonHistory]);
    Item(QStringLiteral("Classes"))->SetCaption(MessageTexts[MessageKey::Classes]);
    Item(QStringLiteral("QuestionSets"))->SetCaption(MessageTexts[MessageKey::PlanSets]);
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpMain"))
        ->SetCaption(QStringLiteral("界面选择"));
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpQue"))->SetCaption(QStringLiteral("出题"));
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpSet"))->SetCaption(QStringLiteral("设置"));
}

void TFrmMain::FormCreate() {
    // The lesson begins with the program.
    record_ = std::make_unique<LessonRecording>(dataDir_, this);
    // 1, 2: the whole screen, rounded corners: the screen the window was
    // last on (the teacher's preferences), else the primary one.
    prefs_ = LoadPreferences(dataDir_);
    QScreen *screen = ScreenToStartOn();
    if (screen != nullptr) {
        setScreen(screen);
    }
    const QRect screenRect = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    setGeometry(screenRect);
    RoundWindow(this, 5, 6);
    // 3 to 5: the data directory, configuration and roster.
    FileProblem configProblem;
    FileProblem rosterProblem;
    ReadDataFiles(screenRect.height(), &configProblem, &rosterProblem);
    // 6: the language; then a file that could not be read completely is set
    // aside and reported in it, before anything is written.
    ApplyLanguage(LanguageFilePath(dataDir_, config_.LanguageName));
    SetAsideUnreadFiles(configProblem, rosterProblem);
    StartWithClass();
    // 7: an empty roster is initialised from the seat-count dialog.
    if (table_.Count.load() == 0) {
        if (const auto seats = AskSeatCount(texts_, this)) {
            config_.MainLine = seats->Line;
            config_.MainRow = seats->Row;
        }
        table_.Clear();
        table_.SetCount(config_.MainLine * config_.MainRow);
        SaveRosterReported(-1);
    }
    // 8: no side bar yet; the view area gets its size from the layout.
    ShowStudentList(false);
    layout()->activate();
    const QSize area = pnlBG_->size();

    // 9: the seat grid.
    SeatGrid = new TBGPanel(kSeatGrid, table_, pnlBG_);
    SeatGrid->setObjectName(QStringLiteral("SeatGrid"));
    SeatGrid->setGeometry(0, 0, area.width(), area.height());
    // Tiles grow with the screen; students past one screen go on pages.
    SeatGrid->SetFitTiles(true);
    SeatGrid->SetPaged(true);
    connect(SeatGrid, &TBGPanel::OnMouseDown, this, &TFrmMain::SeatTileMouseDown);
    SeatGrid->LayoutGrid(config_.MainLine, 0, config_.MainRow);
    SeatGrid->show();

    // 10, 11: the ink bitmaps, then the receiver.
    InkWidth = (area.width() - 134) / 2 - 3;
    InkHeight = area.height() / 2 - 3;
    SDKIni(InkWidth, InkHeight);
    if (SDKGetID() != PENLYNX_SEARCH_FOUND) {
        ShowPrompt(QStringLiteral("Error"), MessageTexts[MessageKey::Error2], false);
        SDKClear();
        return;
    }

    // 12 to 15: the other views.
    LiveGrid = new TBGPanel(kLiveGrid, table_, pnlBG_);
    LiveGrid->setObjectName(QStringLiteral("LiveGrid"));
    LiveGrid->setGeometry(0, 0, area.width() - TStudentList::kWidth - kSeparatorWidth,
                          area.height());
    LiveGrid->hide();
    connect(LiveGrid, &TBGPanel::OnMouseDown, this, &TFrmMain::LiveTileMouseDown);
    connect(LiveGrid, &TBGPanel::OnDblClick, this, &TFrmMain::LiveTileDblClick);
    LiveGrid->LayoutPanes(config_.Split, 0);
    AnswerGrid = new TBGPanel(kAnswerGrid, table_, pnlBG_);
    AnswerGrid->setObjectName(QStringLiteral("AnswerGrid"));
    AnswerGrid->setGeometry(0, 0, area.width(), area.height());
    AnswerGrid->SetFitTiles(true);
    AnswerGrid->SetPaged(true);
    AnswerGrid->hide();
    connect(AnswerGrid, &TBGPanel::OnMouseDown, this, &TFrmMain::AnswerTileMouseDown);
    AnswerGrid->LayoutGrid(config_.MainLine, 0, config_.MainRow);
    pnlDraw_->setGeometry(0, 0, area.width(), area.height());
    pnlDraw_->hide();
    pnlSet_->move((area.width() - pnlSet_->width()) / 2, (area.height() - pnlSet_->height()) / 2);
    pnlSet_->hide();

    // 16 to 18: the student list, the ink surfaces, the pen scale.
    FillStudentList();
    BindInkCanvases();
    if (table_.Count.load() > 0) {
        bridge_.SetInkSize(InkWidth, InkHeight);
    }
    // 19 to 22: no question, not started, the seat grid.
    session_.CurrentQuestionType = kQuestionNone;
    session_.CurrentAnswerState = -1;
    chart_->SetAxisMaximum(table_.Count.load());
    rzgrpQueItems5Click(Item(QStringLiteral("NotStarted")));
    rzgrpMainItems0Click(Item(QStringLiteral("MainInterface")));

    // 23: last, when everything the handlers reach exists.
    bridge_.SetRecord(record_->Start());
    DeviceBridge::Install(&bridge_);
    libraryRunning_ = true;
    SDKRegCallBack(&TabletEventHandler, &DeviceStateHandler);
    tmr1_.start();
    // The clock shows at once; the seats keep their linked picture until the
    // first tick has had a second to hear from the tablets.
    ShowTime();
    fittedSize_ = size();
    started_ = true;
}

void TFrmMain::SaveAtTheEnd() {
    if (exitSaved_) {
        return;
    }
    exitSaved_ = true;
    tmr1_.stop();
    // Stop the reader thread first: its handlers reach the table and the grids.
    if (libraryRunning_) {
        SDKClear();
        libraryRunning_ = false;
    }
    DeviceBridge::Install(nullptr);
    record_->ProgramEnds(answers_.QuestionType(), table_, QSize(InkWidth, InkHeight));
    SaveRosterReported(-1);
    SaveConfigReported();
    Q_EMIT ExitSaved();
}

void TFrmMain::FormDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    SaveAtTheEnd();
    for (int i = 0; i < kSlotCount; ++i) {
        table_[i].InkCanvas = nullptr;
    }
    delete SeatGrid;
    delete LiveGrid;
    delete AnswerGrid;
    SeatGrid = LiveGrid = AnswerGrid = nullptr;
    CurrentTile = nullptr;
    texts_.Clear();
}

void TFrmMain::ApplyLanguage(const QString &fileName) {
    try {
        LoadLanguage(fileName, texts_);
    } catch (const XmlError &error) {
        // The general error handler: the message is shown, the program goes
        // on with the texts it has.
        ShowPrompt(QStringLiteral("Error"), error.message(), false);
        return;
    }
    // Qt's own dialogs in the same language (Language/<name>/Language.xml).
    qtTexts_.Apply(QFileInfo(fileName).dir().dirName(),
                   QtTranslationFolders(QCoreApplication::applicationDirPath()));
    const auto text = [this](const char *key) { return texts_.Value(QString::fromLatin1(key)); };
    pnlTop_->SetTitle(text("AppTitle"));
    setWindowTitle(text("AppTitle"));
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpMain"))->SetCaption(text("View"));
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpQue"))->SetCaption(text("Examiners"));
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpSet"))->SetCaption(text("Settings"));
    for (const char *key :
         {"MainInterface", "LiveView", "Statisticalresults", "TopicsType", "SingleChoice",
          "multipleChoice", "EssayQuestion", "AnswerState", "NotStarted", "UnderWay", "AlreadyOver",
          "QuestionsEdit", "LayoutSettings", "Quit"}) {
        Item(QString::fromLatin1(key))->SetCaption(text(key));
    }
    Item(QStringLiteral("LessonHistory"))->SetCaption(MessageTexts[MessageKey::LessonHistory]);
    Item(QStringLiteral("Classes"))->SetCaption(MessageTexts[MessageKey::Classes]);
    Item(QStringLiteral("QuestionSets"))->SetCaption(MessageTexts[MessageKey::PlanSets]);
    ApplyClassTexts();
    ApplyPlanTexts();
    pnlHistory_->UpdateTexts(texts_);
    pnlSet_->UpdateTexts(texts_);
    chart_->SetAxisTitle(MessageTexts[MessageKey::Tip4]);
    N1_->setText(MessageTexts[MessageKey::Tip2]);
    N2_->setText(MessageTexts[MessageKey::Tip11]);
    pnlTop_->SetCloseTip(Item(QStringLiteral("Quit"))->toolTip());
    pnl2_->SetHeading(text("StudentList"));
    pnl2_->SetPageTexts(MessageTexts[MessageKey::PreviousPage], MessageTexts[MessageKey::NextPage]);
    for (TBGPanel *grid : {SeatGrid, AnswerGrid}) {
        if (grid != nullptr) {
            grid->UpdateTexts();
        }
    }
    if (started_) {
        UpdateProgress();
    }
}

void TFrmMain::rzgrpMainItems0Click(TGroupItem *item) {
    pnlRz_->Mark(item);
    HideViews();
    ShowStudentList(false);
    switch (item->Tag()) {
    case 0:
        SeatGrid->show();
        break;
    case 1:
        if (answers_.QuestionType() == kQuestionSubjective) {
            ShowStudentList(true);
            LiveGrid->show();
        } else {
            AnswerGrid->show();
        }
        break;
    case 2:
        pnlDraw_->show();
        break;
    default:
        break;
    }
    for (QShortcut *shortcut : pageShortcuts_) {
        shortcut->setEnabled(item->Tag() != 2);
    }
}

void TFrmMain::rzgrpQueItems1Click(TGroupItem *item) {
    ShowStudentList(false);
    pnlRz_->Mark(item);
    const int type = item->Tag();
    answers_.ChooseQuestionType(type);
    HideViews();
    if (type == kQuestionSubjective) {
        pnlbottom_->ShowAnswerKey(QString());
        LiveGrid->show();
        const int index = pnl2_->SelectedRow();
        if (index >= 0 && LiveGrid->GetTile(index) != nullptr) {
            LiveGrid->LayoutPanes(config_.Split, index);
        }
    } else {
        AnswerGrid->show();
        if (plannedKey_) {
            AnswerKey = *plannedKey_;
            pnlbottom_->ShowAnswerKey(MessageTexts[MessageKey::Tip12] + QLatin1Char(' ') +
                                      AnswerKey);
        } else {
            AskAnswerKey(type);
        }
    }
    if (!plannedKey_) {
        PlanLeft();
    }
    record_->QuestionTypeChosen(type, table_);
    UpdateProgress();
    rzgrpMainItems0Click(Item(QStringLiteral("LiveView")));
}

void TFrmMain::AskAnswerKey(int questionType) {
    if (const auto entered = AskAnswer(texts_, questionType == kQuestionSingle, this)) {
        AnswerKey = NormalizeAnswerKey(*entered);
    } else {
        AnswerKey.clear();
    }
    pnlbottom_->ShowAnswerKey(MessageTexts[MessageKey::Tip12] + QLatin1Char(' ') + AnswerKey);
}

void TFrmMain::rzgrpQueItems5Click(TGroupItem *item) {
    pnlRz_->Mark(item);
    const int state = item->Tag();
    pnlRz_->ClearMarks(kSettingsSet);
    answers_.ChooseAnswerState(state);
    // At the end no handler that read the old state is still inside: its
    // answer is in the table, its pen points are posted. Recorded before
    // anything is wiped.
    if (state == kAnswerEnded) {
        bridge_.Settle();
    }
    record_->AnswerStateChosen(state, answers_.QuestionType(), table_, QSize(InkWidth, InkHeight));
    switch (state) {
    case kAnswerNotStarted:
        answers_.StartOver();
        LiveGrid->ClearInk(-1);
        AnswerGrid->ClearAnswers();
        chart_->ClearBars();
        UpdateWritingMarks();
        UpdateProgress();
        break;
    case kAnswerEnded:
        chart_->ClearBars();
        if (const auto result = answers_.Result(AnswerKey, MessageTexts[MessageKey::Tip1])) {
            chart_->ShowStatistics(*result);
            for (const auto &[entry, letters] : answers_.FinalAnswers()) {
                SetAnswer(AnswerGrid->GetTile(entry), letters);
            }
        }
        break;
    default:
        break;
    }
    PlanStateChosen(state);
}

void TFrmMain::btnCloseClick() {
    if (ShowPrompt(texts_.Value(u"AppTitle"), MessageTexts[MessageKey::Warning2], true)) {
        close();
    }
}

void TFrmMain::btnMinClick() {
    showMinimized();
}

void TFrmMain::tmr1Timer() {
    ShowTime();
    UpdatePresence();
    UpdateWritingMarks();
}

void TFrmMain::OpenLayoutSettings() {
    HideViews();
    ShowStudentList(false);
    QScreen *shownOn = screen();
    pnlSet_->Open(config_, dataDir_, shownOn != nullptr ? shownOn->geometry().height() : 0);
    if (shownOn != nullptr) {
        pnlSet_->ShowScales(
            OfferedScales(shownOn->geometry().size(), AppliedScalePercent(), prefs_.ScalePercent),
            prefs_.ScalePercent);
    }
    pnlSet_->ShowScreen(static_cast<int>(QGuiApplication::screens().indexOf(shownOn)),
                        static_cast<int>(QGuiApplication::screens().size()));
    pnlSet_->show();
    pnlRz_->Mark(Item(QStringLiteral("LayoutSettings")));
}

void TFrmMain::SaveLayoutSettings() {
    rzgrpMainItems0Click(Item(QStringLiteral("MainInterface")));
    pnlSet_->Apply(config_);
    SaveConfigReported();
    // The scale takes effect at the next start; saved only when changed.
    if (pnlSet_->ChosenScale() != prefs_.ScalePercent) {
        prefs_.ScalePercent = pnlSet_->ChosenScale();
        SavePreferencesReported();
    }
    LayOutGrids();
    ApplyLanguage(LanguageFilePath(dataDir_, SafeLanguageName(pnlSet_->ChosenLanguage())));
}

void TFrmMain::OpenHistory() {
    HideViews();
    ShowStudentList(false);
    pnlRz_->Mark(Item(QStringLiteral("LessonHistory")));
    pnlHistory_->show();
    pnlHistory_->raise();
    pnlHistory_->Reload();
}

bool TFrmMain::event(QEvent *event) {
    if (auto *device = dynamic_cast<DeviceEvent *>(event)) {
        HandleDeviceEvent(*device);
        return true;
    }
    if (event->type() == LessonRecording::kInkPicturesEvent ||
        event->type() == LessonRecording::kRecordProblemEvent) {
        if (!destroyed_) {
            if (const auto problem =
                    record_->HandleEvent(*event, table_, QSize(InkWidth, InkHeight))) {
                // Told once; the lesson goes on with or without its record.
                ShowPrompt(RecordProblemTitle(), RecordProblemText(*problem), false);
            }
        }
        return true;
    }
    return QWidget::event(event);
}

void TFrmMain::HandleDeviceEvent(const DeviceEvent &event) {
    if (destroyed_ || !started_) {
        return;
    }
    const int slot = static_cast<int>(event.wParam);
    switch (static_cast<int>(event.type())) {
    case WM_DEVICE_STATE:
        if (event.wParam == STATE_DISCONNECTED) {
            pnlbottom_->SetReceiverPresent(false);
            // The pen-ups cut off with the receiver never come: every open
            // stroke ends here, so none is joined to the next one.
            for (TStdChannel *tile : LiveGrid->Tiles()) {
                if (tile->PenState() != 0) {
                    AdvancePenState(tile, false);
                }
            }
        } else if (event.wParam == STATE_IDLE || event.wParam == STATE_RECEIVING) {
            pnlbottom_->SetReceiverPresent(true);
        }
        break;
    case WM_TABLET_KEY:
        if (TStdChannel *tile = AnswerGrid->GetTile(slot)) {
            ShowTileAnswer(tile, event.lParam);
        }
        UpdateProgress();
        break;
    case WM_TABLET_PEN:
        if (TStdChannel *tile = LiveGrid->GetTile(slot)) {
            const int state = AdvancePenState(tile, true);
            const CanvasPoint point = UnpackCanvasPoint(event.lParam);
            tile->DrawInk(slot, QPoint(point.x, point.y), state);
            if (answers_.PenPoint(slot, inkClock_.elapsed())) {
                UpdateProgress();
            }
            tile->SetWriting(true);
        }
        break;
    case WM_TABLET_PEN_UP:
        if (TStdChannel *tile = LiveGrid->GetTile(slot)) {
            AdvancePenState(tile, false);
        }
        break;
    case WM_TABLET_WIPE:
        LiveGrid->ClearInk(slot);
        break;
    case WM_TABLET_HEARD:
        // ID 0 is a tablet not yet given an ID: nothing to register.
        if (TFrmSetName *dialog = TFrmSetName::ListeningDialog(); dialog && event.wParam != 0) {
            const auto tablet = static_cast<uint16_t>(event.wParam);
            const int holder = FindSlot(table_, tablet, EVENT_KEY);
            dialog->TabletHeard(tablet, holder,
                                holder >= 0 ? table_[holder].Name.ToString() : QString());
        }
        break;
    default:
        break;
    }
}

void TFrmMain::closeEvent(QCloseEvent *event) {
    FormDestroy();
    event->accept();
}

void TFrmMain::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    RoundWindow(this, 5, 6);
    // Moved to a screen of another size: the views follow.
    if (started_ && !destroyed_ && size() != fittedSize_) {
        fittedSize_ = size();
        FitViews();
    }
}

} // namespace lumora
