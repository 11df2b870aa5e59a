#include "Main.h"

#include "views/GroupBar.h"
#include "views/HistoryView.h"
#include "views/ResultChart.h"
#include "session/Statistics.h"
#include "config/Roster.h"
#include "dialogs/UnModel.h"
#include "dialogs/UnSetName.h"
#include "config/UnXML.h"
#include "core/Helpers.h"
#include "core/MessageTexts.h"
#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"
#include "penlynx.h"
#include "controls/WidgetHelpers.h"
#include "record/QuestionRecording.h" // the members' destructors

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumora {

namespace {

const QColor kNavigationColour(0, 85, 142);
const QColor kViewBackground(251, 252, 253);
constexpr int kSideBarWidth = 130;
constexpr int kSeparatorWidth = 3;
constexpr int kEdgeWidth = 6;
constexpr int kNavigationWidth = 185;
// Mark sets of the navigation bar.
constexpr int kViewSet = 0;
constexpr int kQuestionTypeSet = 1;
constexpr int kAnswerStateSet = 2;
constexpr int kSettingsSet = 3;
// A pane stays marked this long after its student's last pen point.
constexpr qint64 kRecentWritingMs = 3000;

// A picture button on a skin strip, which shows through around its picture.
TImageButton *StripButton(const QString &name, QSize size, QWidget *strip) {
    auto *button = new TImageButton(strip);
    button->setObjectName(name);
    SetSkinPictures(button, name);
    button->setFixedSize(size);
    button->SetTransparent(true);
    return button;
}

TSkinStrip *Edge(const QString &picture, int width, QWidget *parent) {
    auto *edge = new TSkinStrip(QString(), picture, QString(), parent);
    edge->setFixedWidth(width);
    return edge;
}

} // namespace

TFrmMain::TFrmMain(const QString &dataDir, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Window), dataDir_(dataDir),
      bridge_(table_, session_, this) {
    setObjectName(QStringLiteral("FrmMain"));
    setFont(LumoraFont());
    BuildShell();
    FormCreate();
}

TFrmMain::~TFrmMain() {
    FormDestroy();
}

TGroupItem *TFrmMain::Item(const QString &key) const {
    return pnlRz_->Item(key);
}

void TFrmMain::BuildShell() {
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    // Title strip.
    pnlTop_ = new TSkinStrip(QStringLiteral("title_left"), QStringLiteral("title_center"),
                             QStringLiteral("title_right"), this);
    pnlTop_->setObjectName(QStringLiteral("pnlTop"));
    pnlTop_->setFixedHeight(35);
    lbl2_ = new QLabel(QStringLiteral("Vote System"), pnlTop_);
    lbl2_->setObjectName(QStringLiteral("lbl2"));
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPixelSize(14);
    lbl2_->setFont(titleFont);
    lbl2_->setStyleSheet(QStringLiteral("color: white;"));
    lbl2_->move(52, 9);
    btnMin_ = StripButton(QStringLiteral("btnMin"), QSize(26, 18), pnlTop_);
    btnClose_ = StripButton(QStringLiteral("btnClose"), QSize(43, 18), pnlTop_);
    btnMax_ = new TImageButton(pnlTop_);
    btnMax_->setObjectName(QStringLiteral("btnMax"));
    btnMax_->setEnabled(false);
    btnMax_->hide();
    connect(btnMin_, &TBaseButton::OnClick, this, &TFrmMain::btnMinClick);
    connect(btnClose_, &TBaseButton::OnClick, this, &TFrmMain::btnCloseClick);
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
    pnl2_ = new QWidget(this);
    pnl2_->setObjectName(QStringLiteral("pnl2"));
    pnl2_->setFixedWidth(kSideBarWidth);
    auto *side = new QVBoxLayout(pnl2_);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(0);
    auto *pnl3 = new QWidget(pnl2_);
    pnl3->setObjectName(QStringLiteral("pnl3"));
    pnl3->setFixedHeight(30);
    pnl3->setAutoFillBackground(true);
    QPalette heading = pnl3->palette();
    heading.setColor(QPalette::Window, kNavigationColour);
    pnl3->setPalette(heading);
    lbl1_ = new QLabel(QStringLiteral("学生列表"), pnl3);
    lbl1_->setObjectName(QStringLiteral("lbl1"));
    QFont bold = font();
    bold.setBold(true);
    lbl1_->setFont(bold);
    lbl1_->setStyleSheet(QStringLiteral("color: white;"));
    side->addWidget(pnl3);
    lvStd_ = new QTreeWidget(pnl2_);
    lvStd_->setObjectName(QStringLiteral("lvStd"));
    lvStd_->setColumnCount(2);
    lvStd_->setHeaderHidden(true);
    lvStd_->setRootIsDecorated(false);
    lvStd_->setIndentation(0);
    lvStd_->setIconSize(QSize(16, 16));
    lvStd_->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    lvStd_->header()->resizeSection(0, 25);
    lvStd_->header()->setStretchLastSection(true);
    lvStd_->setFrameShape(QFrame::NoFrame);
    lvStd_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvStd_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvStd_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Names too long for the column end in an ellipsis (the row's tooltip
    // holds them whole): no horizontal scroll bar.
    lvStd_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lvStd_->setTextElideMode(Qt::ElideRight);
    side->addWidget(lvStd_, 1);
    auto *pager = new QWidget(pnl2_);
    pager->setObjectName(QStringLiteral("pnlPager"));
    auto *pagerRow = new QHBoxLayout(pager);
    pagerRow->setContentsMargins(4, 4, 4, 4);
    pagerRow->setSpacing(4);
    const auto pageButton = [pager](const char *name) {
        auto *button = new TImageButton(pager);
        button->setObjectName(QString::fromLatin1(name));
        SetSkinPictures(button, QStringLiteral("btnDialog"));
        button->SetStretch(true);
        button->SetTabStop(false);
        button->setFixedSize(59, 24);
        return button;
    };
    btnPreviousPane_ = pageButton("btnPreviousPane");
    btnNextPane_ = pageButton("btnNextPane");
    pagerRow->addWidget(btnPreviousPane_);
    pagerRow->addWidget(btnNextPane_);
    side->addWidget(pager);
    middle->addWidget(pnl2_);
    middle->addWidget(Edge(QStringLiteral("edge_right"), kEdgeWidth, this));
    root->addLayout(middle, 1);

    // Bottom bar.
    pnlbottom_ = new TSkinStrip(QStringLiteral("bottom_left"), QStringLiteral("bottom_center"),
                                QStringLiteral("bottom_right"), this);
    pnlbottom_->setObjectName(QStringLiteral("pnlbottom"));
    // As high as the receiver indicator, which is not cut.
    pnlbottom_->setFixedHeight(26);
    auto *bottom = new QHBoxLayout(pnlbottom_);
    bottom->setContentsMargins(12, 0, 10, 0);
    bottom->setSpacing(8);
    lblAns_ = new QLabel(pnlbottom_);
    lblAns_->setObjectName(QStringLiteral("lblAns"));
    lblAns_->setStyleSheet(QStringLiteral("color: #0b3d66; font-weight: bold;"));
    lblAns_->hide();
    bottom->addWidget(lblAns_);
    lblProgress_ = new QLabel(pnlbottom_);
    lblProgress_->setObjectName(QStringLiteral("lblProgress"));
    lblProgress_->setStyleSheet(
        QStringLiteral("color: #0b3d66; font-weight: bold; font-size: 15px;"));
    lblProgress_->hide();
    bottom->addSpacing(16);
    bottom->addWidget(lblProgress_);
    bottom->addStretch(1);
    lblTime_ = new QLabel(pnlbottom_);
    lblTime_->setObjectName(QStringLiteral("lblTime"));
    lblTime_->setStyleSheet(QStringLiteral("color: #1f3b57;"));
    bottom->addWidget(lblTime_);
    btnUsbState_ = StripButton(QStringLiteral("btnUsbState"), QSize(24, 24), pnlbottom_);
    btnUsbState_->SetTabStop(false);
    bottom->addWidget(btnUsbState_);
    root->addWidget(pnlbottom_);

    BuildNavigation();

    // Result chart and settings panel: views of the view area.
    pnlDraw_ = new QWidget(pnlBG_);
    pnlDraw_->setObjectName(QStringLiteral("pnlDraw"));
    auto *drawLayout = new QVBoxLayout(pnlDraw_);
    drawLayout->setContentsMargins(0, 0, 0, 0);
    chart_ = new TResultChart(pnlDraw_);
    drawLayout->addWidget(chart_);
    pnlDraw_->hide();
    BuildSettingsPanel();
    pnlHistory_ = new THistoryView(dataDir_, pnlBG_);
    pnlHistory_->hide();

    pm1_ = new QMenu(this);
    pm1_->setObjectName(QStringLiteral("pm1"));
    N1_ = pm1_->addAction(QStringLiteral("座位关联"));
    N1_->setObjectName(QStringLiteral("N1"));
    N2_ = pm1_->addAction(QStringLiteral("删除关联"));
    N2_->setObjectName(QStringLiteral("N2"));
    connect(N1_, &QAction::triggered, this, &TFrmMain::AssociateSeat);
    connect(N2_, &QAction::triggered, this, &TFrmMain::DeleteAssociation);
    connect(lvStd_, &QTreeWidget::itemPressed, this, [this] { lvStdMouseDown(); });
    connect(btnSave_, &TBaseButton::OnClick, this, &TFrmMain::SaveLayoutSettings);
    connect(btnBrowse_, &TBaseButton::OnClick, this, [this] { ImportRoster(); });
    connect(btnPreviousPane_, &TBaseButton::OnClick, this, [this] { LivePage(-1); });
    connect(btnNextPane_, &TBaseButton::OnClick, this, [this] { LivePage(1); });
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
                    } else {
                        OpenHistory();
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
                          {"QuestionsEdit", -1, -1, 0}});
    addGroup("rzgrpSet", {{"LayoutSettings", 0, kSettingsSet, 0},
                          {"LessonHistory", 1, kSettingsSet, 0},
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
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpMain"))
        ->SetCaption(QStringLiteral("界面选择"));
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpQue"))->SetCaption(QStringLiteral("出题"));
    pnlRz_->findChild<TGroup *>(QStringLiteral("rzgrpSet"))->SetCaption(QStringLiteral("设置"));
}

void TFrmMain::BuildSettingsPanel() {
    pnlSet_ = new QWidget(pnlBG_);
    pnlSet_->setObjectName(QStringLiteral("pnlSet"));
    pnlSet_->setFixedSize(420, 400);
    const auto group = [this](const char *name, const char16_t *title, int top, int height) {
        auto *box = new QGroupBox(QString::fromUtf16(title), pnlSet_);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(10, top, 400, height);
        return box;
    };
    const auto label = [](QWidget *parent, const char *name, const char16_t *text, int top) {
        auto *l = new QLabel(QString::fromUtf16(text), parent);
        l->setObjectName(QString::fromLatin1(name));
        l->adjustSize();
        l->move(170 - l->width() - 10, top + 3);
        return l;
    };
    grp1_ = group("grp1", u"浏览界面设置", 0, 60);
    lbl11_ = label(grp1_, "lbl11", u"主观题显示分屏", 24);
    cbb1_ = new QComboBox(grp1_);
    cbb1_->setObjectName(QStringLiteral("cbb1"));
    cbb1_->addItems({QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("9")});
    cbb1_->setCurrentIndex(-1); // chosen when the panel opens
    cbb1_->setGeometry(170, 24, 120, 22);

    grp2_ = group("grp2", u"主界面设置", 70, 90);
    lbl9_ = label(grp2_, "lbl9", u"横向座位数", 24);
    se1_ = new QSpinBox(grp2_);
    se1_->setObjectName(QStringLiteral("se1"));
    se1_->setRange(4, 10);
    se1_->setValue(8);
    se1_->setGeometry(170, 24, 120, 22);
    lbl10_ = label(grp2_, "lbl10", u"纵向座位数", 56);
    se2_ = new QSpinBox(grp2_);
    se2_->setObjectName(QStringLiteral("se2"));
    se2_->setRange(4, 10);
    se2_->setValue(7);
    se2_->setGeometry(170, 56, 120, 22);

    grp3_ = group("grp3", u"语言设置", 170, 60);
    lbl3_ = label(grp3_, "lbl3", u"选择语言", 24);
    cbb3_ = new QComboBox(grp3_);
    cbb3_->setObjectName(QStringLiteral("cbb3"));
    cbb3_->setGeometry(170, 24, 120, 22);

    grp4_ = group("grp4", u"其他设置", 240, 60);
    lbl4_ = label(grp4_, "lbl4", u"从文件导入学生信息", 24);
    edtFilePath_ = new QLineEdit(grp4_);
    edtFilePath_->setObjectName(QStringLiteral("edtFilePath"));
    edtFilePath_->setGeometry(170, 24, 170, 22);
    btnBrowse_ = new TImageButton(grp4_);
    btnBrowse_->setObjectName(QStringLiteral("btn2"));
    SetSkinPictures(btnBrowse_, QStringLiteral("btnDialog"));
    btnBrowse_->SetStretch(true);
    btnBrowse_->SetCaption(QStringLiteral("..."));
    btnBrowse_->setGeometry(346, 23, 40, 24);

    btnSave_ = new TImageButton(pnlSet_);
    btnSave_->setObjectName(QStringLiteral("btn1"));
    SetSkinPictures(btnSave_, QStringLiteral("btnDialog"));
    btnSave_->SetCaption(QStringLiteral("保存"));
    btnSave_->setGeometry(186, 320, 48, 24);
    pnlSet_->hide();
}

void TFrmMain::FormCreate() {
    // The lesson begins with the program.
    CreateRecord();
    // 1, 2: the whole screen, rounded corners.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    setGeometry(screenRect);
    RoundWindow(this, 5, 6);
    // 3 to 5: the data directory, configuration and roster.
    ReadDataFiles(screenRect.height());
    // 6: the language; then a file that could not be read completely is set
    // aside and reported in it, before anything is written.
    ApplyLanguage(LanguageFilePath(dataDir_, config_.LanguageName));
    SetAsideUnreadFiles();
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
    LiveGrid->setGeometry(0, 0, area.width() - kSideBarWidth - kSeparatorWidth, area.height());
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
    StartRecord();
    DeviceBridge::Install(&bridge_);
    libraryRunning_ = true;
    SDKRegCallBack(&TabletEventHandler, &DeviceStateHandler);
    tmr1_.start();
    // The clock shows at once; the seats keep their linked picture until the
    // first tick has had a second to hear from the tablets.
    ShowTime();
    started_ = true;
}

void TFrmMain::FormDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    tmr1_.stop();
    // Stop the reader thread first: its handlers reach the table and the grids.
    if (libraryRunning_) {
        SDKClear();
        libraryRunning_ = false;
    }
    DeviceBridge::Install(nullptr);
    EndRecord();
    SaveRosterReported(-1);
    SaveConfigReported();
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
    const auto text = [this](const char *key) { return texts_.Value(QString::fromLatin1(key)); };
    lbl2_->setText(text("AppTitle"));
    lbl2_->adjustSize();
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
    lbl1_->setText(text("StudentList"));
    Item(QStringLiteral("LessonHistory"))->SetCaption(MessageTexts[MessageKey::LessonHistory]);
    pnlHistory_->UpdateTexts(texts_);
    grp1_->setTitle(text("ViewSet"));
    grp2_->setTitle(text("MainInterfaceSet"));
    grp3_->setTitle(text("LanSet"));
    grp4_->setTitle(text("OtherSet"));
    lbl11_->setText(text("SplitSet"));
    lbl9_->setText(text("LineNum"));
    lbl10_->setText(text("RowNum"));
    lbl3_->setText(text("SelLanguage"));
    lbl4_->setText(text("LoadStdInfo"));

    chart_->SetAxisTitle(MessageTexts[MessageKey::Tip4]);
    N1_->setText(MessageTexts[MessageKey::Tip2]);
    N2_->setText(MessageTexts[MessageKey::Tip11]);
    btnSave_->SetCaption(MessageTexts[MessageKey::Tip9]);
    btnClose_->setToolTip(Item(QStringLiteral("Quit"))->toolTip());
    btnPreviousPane_->SetCaption(MessageTexts[MessageKey::PreviousPage]);
    btnNextPane_->SetCaption(MessageTexts[MessageKey::NextPage]);
    btnPreviousPane_->setToolTip(MessageTexts[MessageKey::PreviousPage] +
                                 QStringLiteral(" (PgUp, ←, ↑)"));
    btnNextPane_->setToolTip(MessageTexts[MessageKey::NextPage] + QStringLiteral(" (PgDn, →, ↓)"));
    for (TBGPanel *grid : {SeatGrid, AnswerGrid}) {
        if (grid != nullptr) {
            grid->UpdateTexts();
        }
    }
    if (lblProgress_ != nullptr && started_) {
        UpdateProgress();
    }

    // Labels end 10 pixels left of the input column; the list header is centred.
    for (QLabel *label : {lbl11_, lbl9_, lbl10_, lbl3_, lbl4_}) {
        label->adjustSize();
        label->move(cbb1_->x() - label->width() - 10, label->y());
    }
    lbl1_->adjustSize();
    lbl1_->move((kSideBarWidth - lbl1_->width()) / 2, (30 - lbl1_->height()) / 2);
}

void TFrmMain::ShowStudentList(bool shown) {
    pnl2_->setFixedWidth(shown ? kSideBarWidth : 0);
    pnl2_->setVisible(shown);
    img3_->setVisible(shown);
}

void TFrmMain::HideViews() {
    for (QWidget *view : {static_cast<QWidget *>(SeatGrid), static_cast<QWidget *>(LiveGrid),
                          static_cast<QWidget *>(AnswerGrid), pnlDraw_, pnlSet_,
                          static_cast<QWidget *>(pnlHistory_)}) {
        if (view != nullptr) {
            view->hide();
        }
    }
    pnlRz_->ClearMarks(kSettingsSet);
    // Page keys belong to the grids and the live view only.
    for (QShortcut *shortcut : pageShortcuts_) {
        shortcut->setEnabled(false);
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
        if (session_.CurrentQuestionType.load() == kQuestionSubjective) {
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
    session_.CurrentQuestionType = type;
    HideViews();
    if (type == kQuestionSubjective) {
        lblAns_->hide();
        lblAns_->clear();
        LiveGrid->show();
        const int index = SelectedStudentRow();
        if (index >= 0 && LiveGrid->GetTile(index) != nullptr) {
            LiveGrid->LayoutPanes(config_.Split, index);
        }
    } else {
        AnswerGrid->show();
        AskAnswerKey(type);
    }
    RecordQuestionType(type);
    UpdateProgress();
    rzgrpMainItems0Click(Item(QStringLiteral("LiveView")));
}

void TFrmMain::AskAnswerKey(int questionType) {
    if (const auto entered = AskAnswer(texts_, questionType == kQuestionSingle, this)) {
        AnswerKey = NormalizeAnswerKey(*entered);
    } else {
        AnswerKey.clear();
    }
    lblAns_->setText(MessageTexts[MessageKey::Tip12] + QLatin1Char(' ') + AnswerKey);
    lblAns_->show();
}

void TFrmMain::rzgrpQueItems5Click(TGroupItem *item) {
    pnlRz_->Mark(item);
    const int state = item->Tag();
    session_.CurrentAnswerState = state;
    pnlRz_->ClearMarks(kSettingsSet);
    // Before anything is wiped.
    RecordAnswerState(state);
    const int count = table_.Count.load();
    switch (state) {
    case kAnswerNotStarted:
        LiveGrid->ClearInk(-1);
        AnswerGrid->ClearAnswers();
        for (int i = 0; i < count; ++i) {
            table_[i].Answer = 0;
        }
        chart_->ClearBars();
        writing_.Reset();
        UpdateWritingMarks();
        UpdateProgress();
        break;
    case kAnswerEnded:
        chart_->ClearBars();
        if (session_.CurrentQuestionType.load() != kQuestionSubjective) {
            chart_->ShowStatistics(
                BuildStatistics(table_, AnswerKey, MessageTexts[MessageKey::Tip1]));
            for (int i = 0; i < count; ++i) {
                if (table_[i].CardID.load() != 0) {
                    SetAnswer(AnswerGrid->GetTile(i), AnswerToLetters(table_[i].Answer.load()));
                }
            }
        }
        break;
    default:
        break;
    }
}

void TFrmMain::btnCloseClick() {
    if (ShowPrompt(texts_.Value(u"AppTitle"), MessageTexts[MessageKey::Warning2], true)) {
        close();
    }
}

void TFrmMain::btnMinClick() {
    showMinimized();
}

void TFrmMain::ShowTime() {
    lblTime_->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void TFrmMain::tmr1Timer() {
    ShowTime();
    UpdatePresence();
    UpdateWritingMarks();
}

void TFrmMain::UpdateProgress() {
    const int type = session_.CurrentQuestionType.load();
    if (type == kQuestionNone) {
        lblProgress_->hide();
        return;
    }
    if (type == kQuestionSubjective) {
        lblProgress_->setText(
            ProgressText(MessageTexts[MessageKey::WrittenCount], writing_.Count(table_)));
    } else {
        lblProgress_->setText(
            ProgressText(MessageTexts[MessageKey::AnsweredCount], CountAnswered(table_)));
    }
    lblProgress_->show();
}

void TFrmMain::UpdateWritingMarks() {
    if (LiveGrid == nullptr) {
        return;
    }
    const qint64 now = inkClock_.elapsed();
    for (TStdChannel *tile : LiveGrid->Tiles()) {
        const size_t i = static_cast<size_t>(tile->Tag());
        tile->SetWriting(i < lastInk_.size() && writing_.HasWritten(tile->Tag()) &&
                         now - lastInk_[i] < kRecentWritingMs);
    }
}

void TFrmMain::ResetPane(int index) {
    if (TStdChannel *tile = LiveGrid->GetTile(index)) {
        AdvancePenState(tile, false);
        tile->ClearInk();
        tile->SetWriting(false);
    }
}

void TFrmMain::UpdatePresence() {
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        // Taken and cleared in one step, so an event between the two is not lost.
        const bool seen = table_[i].Seen.exchange(0) == 1;
        if (TStdChannel *tile = SeatGrid->GetTile(i)) {
            SetLinkPicture(tile, seen, kSeatGrid);
        }
    }
}

void TFrmMain::SeatTileMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers,
                                 int, int) {
    TStdChannel *tile = SelectPressedTile(SeatGrid, sender);
    if (tile == nullptr) {
        return;
    }
    N2_->setVisible(true);
    if (button == Qt::RightButton) {
        N2_->setVisible(!CurrentTile->StudentName().isEmpty());
        N1_->setText(MessageTexts[MessageKey::Tip2]);
        n1Tag_ = 0;
        // Where the mouse is (x and y are those of the child pressed).
        pm1_->popup(tile->LastPressAt());
    }
}

void TFrmMain::AnswerTileMouseDown(QObject *sender, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                   int) {
    SelectPressedTile(AnswerGrid, sender);
}

TStdChannel *TFrmMain::SelectPressedTile(TBGPanel *grid, QObject *sender) {
    // Presses on the panel between the tiles come with the panel as sender.
    auto *tile = qobject_cast<TStdChannel *>(sender);
    if (tile == nullptr) {
        return nullptr;
    }
    grid->SelectTile(tile->Tag());
    CurrentTile = grid->GetTile(tile->Tag());
    return CurrentTile;
}

void TFrmMain::FillStudentList() {
    lvStd_->clear();
    const QIcon icon(SkinPicture(QStringLiteral("icon_Student")));
    for (TStdChannel *tile : LiveGrid->Tiles()) {
        auto *row = new QTreeWidgetItem(lvStd_);
        row->setIcon(0, icon);
        row->setText(1, tile->StudentName());
        row->setToolTip(1, tile->StudentName());
    }
}

int TFrmMain::SelectedStudentRow() const {
    // The selected row, not the current one: a row stays current after its
    // selection has been taken back.
    const QList<QTreeWidgetItem *> selected = lvStd_->selectedItems();
    return selected.isEmpty() ? -1 : lvStd_->indexOfTopLevelItem(selected.first());
}

void TFrmMain::SetStudentRow(int index, const QString &name) {
    if (QTreeWidgetItem *row = lvStd_->topLevelItem(index)) {
        row->setText(1, name);
        row->setToolTip(1, name);
    }
}

void TFrmMain::LayOutGrids() {
    SeatGrid->LayoutGrid(config_.MainLine, 0, config_.MainRow);
    LiveGrid->LayoutPanes(config_.Split, 0);
    AnswerGrid->LayoutGrid(config_.MainLine, 0, config_.MainRow);
}

void TFrmMain::BindInkCanvases() {
    const int count = table_.Count.load();
    for (int i = 0; i < count; ++i) {
        TStdChannel *tile = LiveGrid->GetTile(i);
        table_[i].InkCanvas = tile != nullptr ? tile->InkImage() : nullptr;
    }
}

bool TFrmMain::event(QEvent *event) {
    if (auto *device = dynamic_cast<DeviceEvent *>(event)) {
        HandleDeviceEvent(*device);
        return true;
    }
    if (event->type() == kInkPicturesEvent || event->type() == kRecordProblemEvent) {
        RecordEvent(event);
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
            btnUsbState_->setEnabled(false);
            // The pen-ups cut off with the receiver never come: every open
            // stroke ends here, so none is joined to the next one.
            for (TStdChannel *tile : LiveGrid->Tiles()) {
                if (tile->PenState() != 0) {
                    AdvancePenState(tile, false);
                }
            }
        } else if (event.wParam == STATE_IDLE || event.wParam == STATE_RECEIVING) {
            btnUsbState_->setEnabled(true);
        }
        break;
    case WM_TABLET_KEY:
        if (TStdChannel *tile = AnswerGrid->GetTile(slot)) {
            SetAnswer(tile, AnswerToLetters(event.lParam));
        }
        UpdateProgress();
        break;
    case WM_TABLET_PEN:
        if (TStdChannel *tile = LiveGrid->GetTile(slot)) {
            const int state = AdvancePenState(tile, true);
            const CanvasPoint point = UnpackCanvasPoint(event.lParam);
            tile->DrawInk(slot, QPoint(point.x, point.y), state);
            lastInk_[static_cast<size_t>(slot)] = inkClock_.elapsed();
            if (writing_.Wrote(slot)) {
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
    if (pnlTop_ != nullptr) {
        const int right = width() - 8;
        btnClose_->move(right - btnClose_->width(), 0);
        btnMin_->move(btnClose_->x() - btnMin_->width(), 0);
    }
    RoundWindow(this, 5, 6);
}

} // namespace lumora
