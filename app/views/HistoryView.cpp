#include "views/HistoryView.h"

#include "config/ClassBook.h"
#include "config/LanguageTexts.h"
#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"
#include "record/ExportName.h"
#include "record/LessonAnalysis.h"
#include "record/RecordDatabase.h"
#include "record/RecordTime.h"
#include "session/DeviceBridge.h"
#include "views/PictureOverlay.h"
#include "views/ResultChart.h"
#include "views/TermPage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStringList>
#include <QTableView>
#include <QVBoxLayout>

namespace lumora {

namespace {

const QColor kHeading(0, 85, 142);
const QColor kViewBackground(251, 252, 253);
const QColor kTitleText(0x0b, 0x3d, 0x66);
const QColor kRight(0, 128, 0);
const QColor kWrong(200, 0, 0);
const QSize kThumbnail(176, 112);
// The band of the lessons and questions: a heading and about seven rows,
// as high as the buttons beside them.
constexpr int kTopBand = 280;
constexpr int kExportWidth = 150;
constexpr int kSeatColumn = 1;  // of the students: the seat, then answer, right or wrong
constexpr int kShareColumn = 3; // of the questions: share right, then the hints
constexpr int kTitleColumn = 3; // of the lessons: the title, then the class
// The filter's choices besides a class ("class:" and its file).
const QString kAllClasses = QStringLiteral("all");
const QString kBin = QStringLiteral("bin");
const QString kClassPrefix = QStringLiteral("class:");
constexpr int kStudentTable = 300;
constexpr int kNameWidth = 100; // with the frame and the scroll bar

const QString kTableStyle = QStringLiteral(
    "QTableView { background: white; alternate-background-color: #f3f7fb;"
    " gridline-color: #dde3ea; border: 1px solid #c9d6e3;"
    " selection-background-color: #00558e; selection-color: white; }"
    "QHeaderView::section { background: #e3eff7; color: #0b3d66; font-weight: bold;"
    " border: none; border-right: 1px solid #c9d6e3; border-bottom: 1px solid #c9d6e3;"
    " padding: 4px 6px; }");

SaveFileResponder &SaveFileHook() {
    static SaveFileResponder hook;
    return hook;
}

// A heading strip like the student list's: white bold text on the bar's blue.
QLabel *Heading(const char *name, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFixedHeight(30);
    label->setContentsMargins(10, 0, 10, 0);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, kHeading);
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// One column takes the room the others leave; they are sized to their
// cells and headings whenever the rows or the headings change (FitColumns).
void StretchColumn(QTableView *table, int stretched) {
    QHeaderView *header = table->horizontalHeader();
    header->setStretchLastSection(false);
    table->setProperty("stretched", stretched);
    for (int column = 0; column < header->count(); ++column) {
        header->setSectionResizeMode(column, column == stretched ? QHeaderView::Stretch
                                                                 : QHeaderView::Interactive);
    }
}

// Sizes the columns to their cells and headings (the stretched one keeps the
// rest: sizing it too would fix its width) and returns the width the others
// take. The stretched column never gets narrower than its heading: in a
// table too narrow for all the headings, the table scrolls instead.
int FitColumns(QTableView *table) {
    const int stretched = table->property("stretched").toInt();
    int width = 0;
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        if (column != stretched && !table->isColumnHidden(column)) {
            table->resizeColumnToContents(column);
            width += table->columnWidth(column);
        }
    }
    QHeaderView *header = table->horizontalHeader();
    header->setMinimumSectionSize(header->sectionSizeHint(stretched));
    return width;
}

QStandardItem *Cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto *item = new QStandardItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setToolTip(text);
    return item;
}

QDateTime Moment(const QString &iso) {
    return QDateTime::fromString(iso, Qt::ISODateWithMs);
}

// The first selected row of a table, or -1.
int CurrentRow(const QTableView *table) {
    return table->currentIndex().isValid() ? table->currentIndex().row() : -1;
}

// Makes the row current (and selected); the view's change of row follows,
// or show runs when the row already was the current one.
void ChooseRow(QTableView *table, int row, const std::function<void(int)> &show) {
    if (CurrentRow(table) == row) {
        show(row);
        return;
    }
    table->setCurrentIndex(table->model()->index(row, 0));
}

// One picture: small enough for the window's thread; a pipe would never end.
QImage LargePicture(const QString &path) {
    return QFileInfo(path).isFile() ? QImage(path) : QImage();
}

// A handwritten answer's grade in the students' column of right and wrong:
// its points of the question's, green when full, red when none.
void ShowGrade(QStandardItem *cell, const std::optional<double> &grade, double points) {
    if (!grade) {
        cell->setText(QString());
        return;
    }
    cell->setText(FormatMessage(MessageTexts[MessageKey::HistoryGraded],
                                {QString::number(*grade), QString::number(points)}));
    cell->setForeground(*grade >= points ? kRight : *grade <= 0 ? kWrong : QColor(Qt::black));
}

// A statistic for the table: two decimals, or a dash when there is none.
QString Decimal(const std::optional<double> &value, double scale = 1, int decimals = 2) {
    return value ? QString::number(*value * scale, 'f', decimals) : QStringLiteral("–");
}

// The heading of the questions: the lesson's mean, spread and reliability
// over the students with every score, once any question has scores.
QString LessonSummary(const TestStatistics &test) {
    const QString heading = MessageTexts[MessageKey::HistoryQuestions];
    if (test.Items == 0 || !test.Mean) {
        return heading;
    }
    const QString reliability =
        test.Reliability
            ? Decimal(test.Reliability) +
                  (test.Dichotomous ? QStringLiteral(" (KR-20)") : QStringLiteral(" (α)"))
            : Decimal(test.Reliability);
    return heading + QStringLiteral("  ") +
           FormatMessage(MessageTexts[MessageKey::HistoryLessonScores],
                         {Decimal(test.Mean, 1, 1), Decimal(test.MaxTotal, 1, 1),
                          Decimal(test.StandardDeviation, 1, 1), reliability,
                          QString::number(test.Students)});
}

// How an item told students apart and how they chose, for its tooltip.
QString ItemDetail(const ItemStatistics &item) {
    QStringList chosen;
    for (const OptionStatistics &option : item.Options) {
        chosen << QStringLiteral("%1 %2%3")
                      .arg(option.Letter)
                      .arg(option.Chosen)
                      .arg(option.Right ? QStringLiteral(" ✓") : QString());
    }
    return FormatMessage(MessageTexts[MessageKey::HistoryItemDetail],
                         {Decimal(item.Discrimination), Decimal(item.UpperLower),
                          chosen.join(QStringLiteral(", ")),
                          Decimal(item.MedianFirstPressMs, 0.001, 1)});
}

} // namespace

bool THistoryView::event(QEvent *event) {
    if (event->type() != BackgroundJobDone()) {
        return QWidget::event(event);
    }
    if (decoding_.Ready()) {
        PicturesDecoded();
    }
    if (exporting_.Ready()) {
        ExportDone();
    }
    return true;
}

SaveFileResponder SetSaveFileResponder(SaveFileResponder responder) {
    return std::exchange(SaveFileHook(), std::move(responder));
}

QString AskSaveFile(QWidget *parent, const QString &caption, const QString &suggested,
                    const QString &filter) {
    if (const SaveFileResponder responder = SaveFileHook()) {
        return responder(caption, suggested);
    }
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

QTableView *HistoryTable(const char *name, QStandardItemModel *model, QWidget *parent) {
    auto *table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setStyleSheet(kTableStyle);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideRight);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(26);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return table;
}

QString AskExportPath(QWidget *parent, ExportFormat format, const QString &pattern, QDate date,
                      const QString &what) {
    const bool csv = format == ExportFormat::Csv;
    const QString suffix = csv ? QStringLiteral("csv") : QStringLiteral("xlsx");
    const QString suggested =
        SuggestedExportPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                            QDir::homePath(), pattern, date, what, suffix);
    QString path = AskSaveFile(
        parent, MessageTexts[csv ? MessageKey::ExportCsv : MessageKey::ExportXlsx], suggested,
        csv ? QStringLiteral("CSV (*.csv)") : QStringLiteral("Excel (*.xlsx)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        path += u'.' + suffix;
    }
    return path;
}

THistoryView::THistoryView(const QString &dataDir, QWidget *parent)
    : QWidget(parent), dataDir_(dataDir) {
    setObjectName(QStringLiteral("pnlHistory"));
    setAutoFillBackground(true);
    QPalette bg = palette();
    bg.setColor(QPalette::Window, kViewBackground);
    setPalette(bg);
    BuildLayout();
    UpdateTexts(LanguageTexts());
    if (parent != nullptr) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
}

THistoryView::~THistoryView() {
    // The jobs' threads post to this view: they end before it goes.
    if (decodingStopped_ != nullptr) {
        decodingStopped_->store(true);
    }
    decoding_.Join();
    exporting_.Join();
}

void THistoryView::BuildLayout() {
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(12, 12, 12, 12);
    root->setSpacing(10);

    // Top: the lessons, the questions of the chosen one, the exports.
    auto *top = new QHBoxLayout();
    top->setSpacing(14);
    const auto column = [top](QLabel *heading, QTableView *table, int stretch) {
        auto *box = new QVBoxLayout();
        box->setSpacing(0);
        box->addWidget(heading);
        box->addWidget(table, 1);
        top->addLayout(box, stretch);
    };
    lessonModel_ = new QStandardItemModel(this);
    questionModel_ = new QStandardItemModel(this);
    lblLessons_ = Heading("lblLessons", this);
    tblLessons_ = HistoryTable("tblLessons", lessonModel_, this);
    // A lesson's title is typed in its cell.
    tblLessons_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed);
    // The class filter sits in the lessons' heading.
    cmbClass_ = new QComboBox(lblLessons_);
    cmbClass_->setObjectName(QStringLiteral("cmbClass"));
    cmbClass_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmbClass_->setMinimumContentsLength(8);
    auto *lessonsHeading = new QHBoxLayout(lblLessons_);
    lessonsHeading->setContentsMargins(0, 2, 2, 2);
    lessonsHeading->addStretch(1);
    lessonsHeading->addWidget(cmbClass_);
    lblQuestions_ = Heading("lblQuestions", this);
    tblQuestions_ = HistoryTable("tblQuestions", questionModel_, this);
    column(lblLessons_, tblLessons_, 3);
    // The lesson's summary never widens its column: what does not fit is
    // elided, and the tooltip holds it whole.
    lblQuestions_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    lblQuestions_->installEventFilter(this);
    column(lblQuestions_, tblQuestions_, 4);
    auto *exports = new QVBoxLayout();
    exports->setSpacing(5);
    exports->setContentsMargins(0, 30, 0, 0); // level with the tables
    const auto exportButton = [this](const char *name) {
        auto *button = new TImageButton(this);
        button->setObjectName(QString::fromLatin1(name));
        SetSkinPictures(button, QStringLiteral("btnDialog"));
        button->SetStretch(true);
        button->setFixedSize(kExportWidth, 30);
        return button;
    };
    // What a lesson gives, then what is done with it (listing the bin:
    // emptying it in place of the title).
    btnExportCsv_ = exportButton("btnExportCsv");
    btnExportXlsx_ = exportButton("btnExportXlsx");
    btnAttendance_ = exportButton("btnAttendance");
    btnTitle_ = exportButton("btnLessonTitle");
    btnBin_ = exportButton("btnLessonBin");
    btnEmptyBin_ = exportButton("btnEmptyBin");
    btnTerm_ = exportButton("btnTerm");
    for (TImageButton *button : {btnExportCsv_, btnExportXlsx_, btnAttendance_, btnTerm_, btnTitle_,
                                 btnEmptyBin_, btnBin_}) {
        button->setFixedHeight(26);
        exports->addWidget(button);
    }
    btnEmptyBin_->hide();
    prgExport_ = new QProgressBar(this);
    prgExport_->setObjectName(QStringLiteral("prgExport"));
    prgExport_->setRange(0, 0); // busy, with no measure of how far
    prgExport_->setTextVisible(false);
    prgExport_->setFixedSize(kExportWidth, 12);
    lblExport_ = new QLabel(this);
    lblExport_->setObjectName(QStringLiteral("lblExport"));
    lblExport_->setStyleSheet(QStringLiteral("color: #0b3d66;"));
    lblExport_->setWordWrap(true);
    lblExport_->setFixedWidth(kExportWidth);
    exports->addWidget(prgExport_);
    exports->addWidget(lblExport_);
    exports->addStretch(1);
    prgExport_->hide();
    lblExport_->hide();
    top->addLayout(exports);
    auto *band = new QWidget(this);
    band->setLayout(top);
    band->setFixedHeight(kTopBand);
    top->setContentsMargins(0, 0, 0, 0);
    root->addWidget(band);

    // Below: the chosen question, or what to say when there is none.
    lblEmpty_ = new QLabel(this);
    lblEmpty_->setObjectName(QStringLiteral("lblEmpty"));
    lblEmpty_->setAlignment(Qt::AlignCenter);
    lblEmpty_->setWordWrap(true);
    lblEmpty_->setStyleSheet(QStringLiteral("color: #1f3b57; font-size: 16px;"));
    root->addWidget(lblEmpty_, 1);

    pnlContent_ = new QWidget(this);
    auto *content = new QVBoxLayout(pnlContent_);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(4);
    lblQuestion_ = new QLabel(pnlContent_);
    lblQuestion_->setObjectName(QStringLiteral("lblQuestion"));
    lblQuestion_->setFixedHeight(30);
    QFont title = lblQuestion_->font();
    title.setBold(true);
    title.setPixelSize(16);
    lblQuestion_->setFont(title);
    QPalette titlePalette = lblQuestion_->palette();
    titlePalette.setColor(QPalette::WindowText, kTitleText);
    lblQuestion_->setPalette(titlePalette);
    content->addWidget(lblQuestion_);
    auto *result = new QHBoxLayout();
    result->setSpacing(14);
    stkResult_ = new QStackedWidget(pnlContent_);
    stkResult_->setObjectName(QStringLiteral("stkResult"));
    chart_ = new TResultChart(stkResult_);
    chart_->setObjectName(QStringLiteral("chtHistory"));
    // Its own name: the live view's chart keeps "cht2" to itself.
    if (auto *plot = chart_->findChild<QWidget *>(QStringLiteral("cht2"))) {
        plot->setObjectName(QStringLiteral("chtHistoryPlot"));
    }
    stkResult_->addWidget(chart_);
    pnlPictures_ = new QWidget(stkResult_);
    auto *pictures = new QVBoxLayout(pnlPictures_);
    pictures->setContentsMargins(0, 0, 0, 0);
    pictureModel_ = new QStandardItemModel(this);
    lstPictures_ = new QListView(pnlPictures_);
    lstPictures_->setObjectName(QStringLiteral("lstPictures"));
    lstPictures_->setModel(pictureModel_);
    lstPictures_->setViewMode(QListView::IconMode);
    lstPictures_->setIconSize(kThumbnail);
    lstPictures_->setGridSize(kThumbnail + QSize(20, 34));
    lstPictures_->setResizeMode(QListView::Adjust);
    lstPictures_->setMovement(QListView::Static);
    lstPictures_->setUniformItemSizes(true);
    lstPictures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstPictures_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstPictures_->setCursor(Qt::PointingHandCursor);
    lstPictures_->setStyleSheet(
        QStringLiteral("QListView { background: #eef3f8; border: 1px solid #c9d6e3; color: #1f3b57;"
                       " padding: 8px; }"
                       "QListView::item:selected { background: #cfe0ef; color: #0b3d66; }"));
    lblNoPictures_ = new QLabel(pnlPictures_);
    lblNoPictures_->setObjectName(QStringLiteral("lblNoPictures"));
    lblNoPictures_->setAlignment(Qt::AlignCenter);
    lblNoPictures_->setStyleSheet(QStringLiteral("color: #1f3b57; font-size: 14px;"));
    pictures->addWidget(lstPictures_, 1);
    pictures->addWidget(lblNoPictures_, 1);
    stkResult_->addWidget(pnlPictures_);
    attendanceModel_ = new QStandardItemModel(this);
    tblAttendance_ = HistoryTable("tblAttendance", attendanceModel_, stkResult_);
    stkResult_->addWidget(tblAttendance_);
    pnlTerm_ = new TTermPage(dataDir_, stkResult_);
    stkResult_->addWidget(pnlTerm_);
    result->addWidget(stkResult_, 1);
    studentModel_ = new QStandardItemModel(this);
    tblStudents_ = HistoryTable("tblStudents", studentModel_, pnlContent_);
    tblStudents_->setMinimumWidth(kStudentTable);
    result->addWidget(tblStudents_);
    content->addLayout(result, 1);
    root->addWidget(pnlContent_, 1);

    overlay_ = new TPictureOverlay(this);

    connect(tblLessons_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid()) {
                    ShowLessonRow(current.row());
                }
            });
    connect(tblQuestions_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid()) {
                    ShowQuestionRow(current.row());
                }
            });
    connect(lstPictures_, &QListView::clicked, this,
            [this](const QModelIndex &index) { OpenPicture(index.row()); });
    connect(lstPictures_, &QListView::activated, this,
            [this](const QModelIndex &index) { OpenPicture(index.row()); });
    connect(btnExportCsv_, &TBaseButton::OnClick, this, [this] { Export(ExportFormat::Csv); });
    connect(btnExportXlsx_, &TBaseButton::OnClick, this, [this] { Export(ExportFormat::Xlsx); });
    connect(btnAttendance_, &TBaseButton::OnClick, this, &THistoryView::ShowAttendance);
    connect(btnTitle_, &TBaseButton::OnClick, this, [this] {
        if (const int row = CurrentRow(tblLessons_); row >= 0) {
            tblLessons_->edit(lessonModel_->index(row, kTitleColumn));
        }
    });
    connect(btnBin_, &TBaseButton::OnClick, this, &THistoryView::BinChosenLesson);
    connect(btnTerm_, &TBaseButton::OnClick, this, &THistoryView::ShowTerm);
    connect(btnEmptyBin_, &TBaseButton::OnClick, this, &THistoryView::EmptyBin);
    connect(cmbClass_, &QComboBox::currentIndexChanged, this, [this] {
        if (!fillingLessons_) {
            ShowLessons(lesson_);
        }
    });
    connect(lessonModel_, &QStandardItemModel::itemChanged, this, &THistoryView::TitleEdited);
}

void THistoryView::UpdateTexts(const LanguageTexts &texts) {
    const auto m = [](MessageKey key) { return MessageTexts[key]; };
    lblLessons_->setText(m(MessageKey::HistoryLessons));
    questionsHeading_ = m(MessageKey::HistoryQuestions);
    FitQuestionsHeading();
    btnExportCsv_->SetCaption(m(MessageKey::ExportCsv));
    btnExportXlsx_->SetCaption(m(MessageKey::ExportXlsx));
    btnAttendance_->SetCaption(m(MessageKey::HistoryAttendance));
    btnTitle_->SetCaption(m(MessageKey::HistoryEditTitle));
    btnBin_->SetCaption(m(ListingBin() ? MessageKey::HistoryRestore : MessageKey::HistoryToBin));
    btnEmptyBin_->SetCaption(m(MessageKey::HistoryEmptyBin));
    btnTerm_->SetCaption(m(MessageKey::HistoryTerm));
    pnlTerm_->UpdateTexts();
    attendanceModel_->setHorizontalHeaderLabels(
        {m(MessageKey::HistoryName), m(MessageKey::HistorySeat), m(MessageKey::HistoryPresence),
         m(MessageKey::HistoryFirstHeard), m(MessageKey::HistoryLastHeard)});
    lblNoPictures_->setText(m(MessageKey::HistoryNoPictures));
    chart_->SetAxisTitle(m(MessageKey::Tip4));
    lessonModel_->setHorizontalHeaderLabels(
        {m(MessageKey::HistoryNumber), m(MessageKey::HistoryDate),
         m(MessageKey::HistoryQuestionCount), m(MessageKey::HistoryTitle),
         m(MessageKey::HistoryClass)});
    questionModel_->setHorizontalHeaderLabels(
        {m(MessageKey::HistoryNumber), m(MessageKey::HistoryType), m(MessageKey::HistoryKey),
         m(MessageKey::HistoryShareRight), m(MessageKey::HistoryHints),
         m(MessageKey::HistoryTime)});
    studentModel_->setHorizontalHeaderLabels(
        {m(MessageKey::HistoryName), m(MessageKey::HistorySeat), m(MessageKey::HistoryAnswer),
         m(MessageKey::HistoryCorrect), m(MessageKey::HistoryFirstPress)});
    StretchColumn(tblLessons_, kTitleColumn);
    StretchColumn(tblQuestions_, 4);
    StretchColumn(tblStudents_, 0);
    FitColumns(tblLessons_);
    FitColumns(tblQuestions_);
    const char *types[] = {"SingleChoice", "multipleChoice", "EssayQuestion"};
    for (int i = 0; i < 3; ++i) {
        typeNames_[i] = texts.Value(QString::fromLatin1(types[i]));
    }
    if (open_) {
        Reload(); // the tables' texts in the new language
    }
}

QString THistoryView::TypeName(int type) const {
    if (type < 0 || type > 2) {
        return QString::number(type);
    }
    if (typeNames_[type].isEmpty()) {
        // Before a language file was applied: the form texts.
        static const char16_t *const builtIn[] = {u"单选题", u"多选题", u"主观题"};
        return QString::fromUtf16(builtIn[type]);
    }
    return typeNames_[type];
}

void THistoryView::ShowMessage(const QString &text) {
    lblEmpty_->setText(text);
    lblEmpty_->show();
    pnlContent_->hide();
}

void THistoryView::Reload() {
    const int keepLesson = lesson_;
    const int keepQuestion = question_;
    history_.Close();
    open_ = false;
    allLessons_.clear();
    lessons_.clear();
    lessonModel_->removeRows(0, lessonModel_->rowCount());
    questionModel_->removeRows(0, questionModel_->rowCount());
    ClearQuestion();
    lesson_ = 0;
    btnExportCsv_->setEnabled(false);
    btnExportXlsx_->setEnabled(false);

    QString error;
    if (!QFileInfo::exists(RecordDatabasePath(dataDir_))) {
        ShowMessage(MessageTexts[MessageKey::HistoryEmpty]);
        return;
    }
    if (!history_.Open(dataDir_, &error)) {
        ShowMessage(error);
        return;
    }
    open_ = true;
    std::optional<std::vector<LessonInfo>> lessons = history_.Lessons();
    if (!lessons) {
        ShowMessage(history_.Error());
        return;
    }
    if (lessons->empty()) {
        ShowMessage(MessageTexts[MessageKey::HistoryEmpty]);
        return;
    }
    allLessons_ = std::move(*lessons);
    FillClasses();
    ShowLessons(keepLesson);
    if (keepQuestion != 0 && lesson_ == keepLesson) {
        ShowQuestion(keepQuestion);
    }
}

void THistoryView::FillClasses() {
    QString keep = cmbClass_->currentData().toString();
    if (keep.isEmpty()) {
        keep = kClassPrefix + ClassBook(dataDir_).Current().File;
    }
    const std::optional<std::vector<LessonClass>> classes = history_.Classes();
    int inBin = 0;
    for (const LessonInfo &lesson : allLessons_) {
        inBin += lesson.deletedAt.isEmpty() ? 0 : 1;
    }
    fillingLessons_ = true;
    cmbClass_->clear();
    for (const LessonClass &entry : classes.value_or(std::vector<LessonClass>{})) {
        cmbClass_->addItem(entry.name.isEmpty() ? MessageTexts[MessageKey::HistoryUnnamedClass]
                                                : entry.name,
                           kClassPrefix + entry.file);
    }
    cmbClass_->addItem(MessageTexts[MessageKey::HistoryAllClasses], kAllClasses);
    cmbClass_->addItem(
        FormatMessage(MessageTexts[MessageKey::HistoryBinEntry], {QString::number(inBin)}), kBin);
    int chosen = cmbClass_->findData(keep);
    if (chosen < 0) {
        // A class with no lessons yet: all of them, or the only class there is.
        chosen = cmbClass_->findData(cmbClass_->count() == 3 ? cmbClass_->itemData(0).toString()
                                                             : kAllClasses);
    }
    cmbClass_->setCurrentIndex(chosen);
    fillingLessons_ = false;
}

bool THistoryView::ChooseFilter(const QString &key) {
    const int index = cmbClass_->findData(key);
    if (index < 0) {
        return false;
    }
    if (index == cmbClass_->currentIndex()) {
        ShowLessons(lesson_);
    } else {
        cmbClass_->setCurrentIndex(index); // shows the lessons
    }
    return true;
}

bool THistoryView::ListClass(const QString &classFile) {
    return ChooseFilter(kClassPrefix + classFile);
}

bool THistoryView::ListAllClasses() {
    return ChooseFilter(kAllClasses);
}

bool THistoryView::ListBin() {
    return ChooseFilter(kBin);
}

bool THistoryView::ListingBin() const {
    return cmbClass_->currentData().toString() == kBin;
}

void THistoryView::ShowLessons(int keepLesson) {
    const QString filter = cmbClass_->currentData().toString();
    const bool bin = filter == kBin;
    const bool oneClass = filter.startsWith(kClassPrefix);
    const QString classFile = filter.mid(kClassPrefix.size());
    fillingLessons_ = true;
    lessons_.clear();
    lessonModel_->removeRows(0, lessonModel_->rowCount());
    questionModel_->removeRows(0, questionModel_->rowCount());
    questions_.clear();
    ClearQuestion();
    lesson_ = 0;
    // Newest first: the lesson of today is the one a teacher looks for.
    int chosen = 0;
    for (auto lesson = allLessons_.rbegin(); lesson != allLessons_.rend(); ++lesson) {
        if (lesson->deletedAt.isEmpty() == bin || (oneClass && lesson->classFile != classFile)) {
            continue;
        }
        const QDateTime start = Moment(lesson->startedAt);
        const QDateTime end = Moment(lesson->endedAt);
        auto *when = Cell(start.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        if (end.isValid()) {
            when->setToolTip(when->text() + QStringLiteral(" – ") +
                             end.toString(QStringLiteral("HH:mm")));
        }
        QList<QStandardItem *> row = {
            Cell(QString::number(lesson->number), Qt::AlignRight), when,
            Cell(QString::number(lesson->questionCount), Qt::AlignRight), Cell(lesson->title),
            Cell(lesson->className.isEmpty() ? MessageTexts[MessageKey::HistoryUnnamedClass]
                                             : lesson->className)};
        for (QStandardItem *cell : row) {
            cell->setEditable(cell == row[kTitleColumn]);
        }
        lessonModel_->appendRow(row);
        if (lesson->number == keepLesson) {
            chosen = static_cast<int>(lessons_.size());
        }
        lessons_.push_back(*lesson);
    }
    fillingLessons_ = false;
    tblLessons_->setColumnHidden(kTitleColumn + 1, oneClass);
    btnBin_->SetCaption(MessageTexts[bin ? MessageKey::HistoryRestore : MessageKey::HistoryToBin]);
    btnEmptyBin_->setVisible(bin);
    btnTitle_->setVisible(!bin);
    btnEmptyBin_->setEnabled(!lessons_.empty());
    btnBin_->setEnabled(!lessons_.empty());
    btnTitle_->setEnabled(!lessons_.empty());
    btnAttendance_->setEnabled(!lessons_.empty());
    FitColumns(tblLessons_);
    tblLessons_->clearSelection();
    tblLessons_->setCurrentIndex(QModelIndex());
    if (lessons_.empty()) {
        btnExportCsv_->setEnabled(false);
        btnExportXlsx_->setEnabled(false);
        ShowMessage(MessageTexts[MessageKey::HistoryNoLessonsHere]);
        return;
    }
    lblEmpty_->hide();
    pnlContent_->show();
    ChooseRow(tblLessons_, chosen, [this](int row) { ShowLessonRow(row); });
}

void THistoryView::TitleEdited(QStandardItem *item) {
    if (fillingLessons_ || item->column() != kTitleColumn || item->row() < 0 ||
        item->row() >= static_cast<int>(lessons_.size())) {
        return;
    }
    LessonInfo &lesson = lessons_[static_cast<size_t>(item->row())];
    const QString title = item->text().trimmed();
    if (title == lesson.title) {
        return;
    }
    if (!history_.SetTitle(lesson.number, title)) {
        ShowPrompt(QStringLiteral("Error"), history_.Error(), false);
        const QSignalBlocker quiet(lessonModel_);
        item->setText(lesson.title);
        return;
    }
    lesson.title = title;
    for (LessonInfo &kept : allLessons_) {
        if (kept.number == lesson.number) {
            kept.title = title;
        }
    }
    const QSignalBlocker quiet(lessonModel_);
    item->setText(title);
    item->setToolTip(title);
}

bool THistoryView::BinChosenLesson() {
    if (lesson_ == 0) {
        return false;
    }
    const bool ok = ListingBin()
                        ? history_.RestoreFromBin(lesson_)
                        : history_.MoveToBin(lesson_, IsoWithOffset(QDateTime::currentDateTime()));
    if (!ok) {
        ShowPrompt(QStringLiteral("Error"), history_.Error(), false);
        return false;
    }
    lesson_ = 0;
    Reload();
    return true;
}

bool THistoryView::EmptyBin() {
    int inBin = 0;
    for (const LessonInfo &lesson : allLessons_) {
        inBin += lesson.deletedAt.isEmpty() ? 0 : 1;
    }
    if (inBin == 0 || !ShowPrompt(QStringLiteral("Warning"),
                                  FormatMessage(MessageTexts[MessageKey::HistoryEmptyBinAsk],
                                                {QString::number(inBin)}),
                                  true)) {
        return false;
    }
    const bool ok = history_.EmptyBin();
    if (!ok) {
        ShowPrompt(QStringLiteral("Error"), history_.Error(), false);
    }
    Reload();
    return ok;
}

bool THistoryView::ShowQuestion(int number) {
    for (size_t row = 0; row < questions_.size(); ++row) {
        if (questions_[row].number == number) {
            ChooseRow(tblQuestions_, static_cast<int>(row), [this](int r) { ShowQuestionRow(r); });
            return true;
        }
    }
    return false;
}

void THistoryView::ShowLessonRow(int row) {
    if (row < 0 || row >= static_cast<int>(lessons_.size())) {
        return;
    }
    lesson_ = lessons_[static_cast<size_t>(row)].number;
    btnExportCsv_->setEnabled(!Exporting());
    btnExportXlsx_->setEnabled(!Exporting());
    questions_.clear();
    questionModel_->removeRows(0, questionModel_->rowCount());
    ClearQuestion();
    std::optional<std::vector<QuestionInfo>> questions = history_.Questions(lesson_);
    if (!questions) {
        ShowMessage(history_.Error());
        return;
    }
    questions_ = std::move(*questions);
    for (const QuestionInfo &question : questions_) {
        questionModel_->appendRow(
            {Cell(QString::number(question.number), Qt::AlignRight), Cell(TypeName(question.type)),
             Cell(question.answerKey), Cell(QString(), Qt::AlignRight), Cell(QString()),
             Cell(Moment(question.startedAt).toString(QStringLiteral("HH:mm:ss")))});
    }
    if (!ShowAnalysis()) {
        return;
    }
    FitColumns(tblQuestions_);
    if (questions_.empty()) {
        lblQuestion_->clear();
        return;
    }
    tblQuestions_->setCurrentIndex(QModelIndex());
    ChooseRow(tblQuestions_, 0, [this](int r) { ShowQuestionRow(r); });
}

bool THistoryView::ShowAnalysis() {
    const std::optional<LessonAnalysis> analysis = AnalyseLesson(history_, lesson_);
    if (!analysis) {
        ShowMessage(history_.Error());
        return false;
    }
    questionsHeading_ = LessonSummary(analysis->Statistics);
    FitQuestionsHeading();
    for (size_t row = 0; row < questions_.size(); ++row) {
        QStandardItem *share = questionModel_->item(static_cast<int>(row), kShareColumn);
        QStandardItem *hints = questionModel_->item(static_cast<int>(row), kShareColumn + 1);
        share->setText(QString());
        hints->setText(QString());
        for (size_t i = 0; i < analysis->Questions.size(); ++i) {
            if (analysis->Questions[i].number != questions_[row].number) {
                continue;
            }
            const ItemStatistics &item = analysis->Statistics.PerItem[i];
            if (item.Difficulty) {
                share->setText(QStringLiteral("%1 %").arg(*item.Difficulty * 100, 0, 'f', 0));
            }
            hints->setText(HintsText(item));
            hints->setToolTip(ItemDetail(item));
            share->setToolTip(hints->toolTip());
        }
    }
    return true;
}

bool THistoryView::ShowAttendance() {
    if (lesson_ == 0) {
        return false;
    }
    const std::optional<std::vector<AttendanceInfo>> students = history_.Attendance(lesson_);
    if (!students) {
        ShowMessage(history_.Error());
        return false;
    }
    ClearQuestion();
    tblQuestions_->clearSelection();
    tblQuestions_->setCurrentIndex(QModelIndex());
    attendanceModel_->removeRows(0, attendanceModel_->rowCount());
    int counts[3] = {0, 0, 0};
    const MessageKey words[3] = {MessageKey::HistoryPresent, MessageKey::HistorySilent,
                                 MessageKey::HistoryAbsent};
    const QColor colours[3] = {kRight, QColor(0xb0, 0x6a, 0x00), kWrong};
    for (const AttendanceInfo &student : *students) {
        const int status = static_cast<int>(student.status());
        ++counts[status];
        auto *presence = Cell(MessageTexts[words[status]], Qt::AlignCenter);
        presence->setForeground(colours[status]);
        const auto time = [](const QString &moment) {
            return Cell(Moment(moment).toString(QStringLiteral("HH:mm:ss")), Qt::AlignRight);
        };
        attendanceModel_->appendRow({Cell(student.name),
                                     Cell(QString::number(student.seat), Qt::AlignRight), presence,
                                     time(student.firstHeard), time(student.lastHeard)});
    }
    StretchColumn(tblAttendance_, 0);
    FitColumns(tblAttendance_);
    lblQuestion_->setText(FormatMessage(MessageTexts[MessageKey::HistoryAttendanceTitle],
                                        {QString::number(lesson_), QString::number(counts[0]),
                                         QString::number(counts[1]), QString::number(counts[2])}));
    stkResult_->setCurrentWidget(tblAttendance_);
    tblStudents_->hide(); // the attendance has the room of the question's students
    return true;
}

void THistoryView::ShowTerm() {
    QString file = cmbClass_->currentData().toString();
    QString name = cmbClass_->currentText();
    if (!file.startsWith(kClassPrefix)) {
        const ClassInfo current = ClassBook(dataDir_).Current();
        file = kClassPrefix + current.File;
        name = current.Name;
    }
    ClearQuestion();
    tblQuestions_->clearSelection();
    tblQuestions_->setCurrentIndex(QModelIndex());
    lblEmpty_->hide();
    pnlContent_->show();
    lblQuestion_->setText(MessageTexts[MessageKey::HistoryTerm]);
    stkResult_->setCurrentWidget(pnlTerm_);
    tblStudents_->hide(); // the gradebook takes the room of the question's students
    pnlTerm_->ShowClass(file.mid(kClassPrefix.size()),
                        name == MessageTexts[MessageKey::HistoryUnnamedClass] ? QString() : name);
}

void THistoryView::ClearQuestion() {
    question_ = 0;
    studentModel_->removeRows(0, studentModel_->rowCount());
    pictureModel_->clear();
    pictures_.clear();
    picturesLoaded_ = true;
    ++pictureRound_;
    chart_->ClearBars();
    lblQuestion_->clear();
    ClosePicture();
}

void THistoryView::ShowQuestionRow(int row) {
    if (row < 0 || row >= static_cast<int>(questions_.size())) {
        return;
    }
    ClearQuestion();
    tblStudents_->show();
    const QuestionInfo &question = questions_[static_cast<size_t>(row)];
    question_ = question.number;
    QString title = FormatMessage(
        MessageTexts[MessageKey::HistoryQuestionTitle],
        {QString::number(lesson_), QString::number(question_), TypeName(question.type)});
    if (!question.answerKey.isEmpty()) {
        title += QStringLiteral("　") + MessageTexts[MessageKey::HistoryKey] +
                 QStringLiteral(": ") + question.answerKey;
    }
    lblQuestion_->setText(title);

    const std::optional<std::vector<StudentResult>> students =
        history_.Students(lesson_, question_);
    if (!students) {
        ShowMessage(history_.Error());
        return;
    }
    for (const StudentResult &student : *students) {
        auto *correct = Cell(QString(), Qt::AlignCenter);
        if (student.correct.has_value()) {
            correct->setText(*student.correct ? MessageTexts[MessageKey::HistoryRight]
                                              : MessageTexts[MessageKey::HistoryWrong]);
            correct->setForeground(*student.correct ? kRight : kWrong);
        }
        if (student.grade) {
            ShowGrade(correct, student.grade, question.points);
        }
        auto *answer = Cell(student.letters, Qt::AlignCenter);
        QFont bold = font();
        bold.setBold(true);
        answer->setFont(bold);
        const QString firstPress = student.firstPressMs
                                       ? QString::number(*student.firstPressMs / 1000.0, 'f', 1)
                                       : QString();
        studentModel_->appendRow({Cell(student.name),
                                  Cell(QString::number(student.seat), Qt::AlignRight), answer,
                                  correct, Cell(firstPress, Qt::AlignRight)});
    }

    // Handwriting has no letters; its right or wrong is the grade.
    const bool subjective = question.type == kQuestionSubjective;
    tblStudents_->setColumnHidden(2, subjective);
    // Room for every column and a name: the chart takes what is left.
    tblStudents_->setFixedWidth(std::max(kStudentTable, FitColumns(tblStudents_) + kNameWidth));
    if (subjective) {
        const std::optional<std::vector<PictureInfo>> pictures =
            history_.Pictures(lesson_, question_);
        pictures_ = pictures.value_or(std::vector<PictureInfo>());
        stkResult_->setCurrentWidget(pnlPictures_);
        LoadPictures();
    } else {
        const std::optional<Statistics> bars =
            history_.Bars(lesson_, question_, MessageTexts[MessageKey::Tip1]);
        if (bars) {
            chart_->ShowStatistics(*bars);
        }
        stkResult_->setCurrentWidget(chart_);
    }
}

void THistoryView::LoadPictures() {
    pictureModel_->clear();
    lstPictures_->setVisible(!pictures_.empty());
    lblNoPictures_->setVisible(pictures_.empty());
    if (pictures_.empty()) {
        picturesLoaded_ = true;
        return;
    }
    // The names at once, each on a blank card; the pictures as they decode.
    QPixmap blank(kThumbnail);
    blank.fill(Qt::white);
    QStringList paths;
    for (const PictureInfo &picture : pictures_) {
        auto *item = new QStandardItem(
            QIcon(blank),
            QStringLiteral("%1  %2").arg(picture.seat).arg(picture.name) + GradeText(picture));
        item->setToolTip(picture.name);
        pictureModel_->appendRow(item);
        paths << picture.path;
    }
    lstPictures_->scrollToTop();
    picturesLoaded_ = false;
    const uint64_t round = ++pictureRound_;
    if (decodingStopped_ != nullptr) {
        decodingStopped_->store(true); // the last question's, no longer shown
    }
    decodingStopped_ = std::make_shared<std::atomic<bool>>(false);
    decoding_.Run(this, [paths, round, stopped = decodingStopped_] {
        Decoded decoded;
        decoded.round = round;
        for (const QString &path : paths) {
            if (stopped->load()) {
                break;
            }
            if (!QFileInfo(path).isFile()) {
                decoded.images.emplace_back(); // gone, or no file to read (a pipe)
                continue;
            }
            QImageReader reader(path);
            QSize size = reader.size();
            if (size.isValid()) {
                size.scale(kThumbnail, Qt::KeepAspectRatio);
                reader.setScaledSize(size);
            }
            decoded.images.push_back(reader.read().convertToFormat(QImage::Format_RGB32));
        }
        return decoded;
    });
}

void THistoryView::PicturesDecoded() {
    const Decoded decoded = decoding_.Take();
    if (decoded.round != pictureRound_) {
        return; // for a question no longer shown
    }
    const std::vector<QImage> &images = decoded.images;
    for (size_t i = 0; i < images.size() && static_cast<int>(i) < pictureModel_->rowCount(); ++i) {
        if (images[i].isNull()) {
            continue; // a file gone or damaged keeps its blank card
        }
        // Centred on a white card with a thin edge, so white ink sheets stand
        // out from the list.
        QPixmap card(kThumbnail);
        card.fill(Qt::white);
        QPainter p(&card);
        const QPoint at((kThumbnail.width() - images[i].width()) / 2,
                        (kThumbnail.height() - images[i].height()) / 2);
        p.drawImage(at, images[i]);
        p.setPen(QColor(0xc9, 0xd6, 0xe3));
        p.drawRect(QRect(QPoint(0, 0), kThumbnail - QSize(1, 1)));
        p.end();
        pictureModel_->item(static_cast<int>(i))->setIcon(QIcon(card));
    }
    picturesLoaded_ = true;
    lstPictures_->scrollToTop();
}

QString THistoryView::GradeText(const PictureInfo &picture) const {
    const QuestionInfo *question = ShownQuestion();
    if (question == nullptr || !picture.grade) {
        return QString();
    }
    return QStringLiteral("  ·  ") +
           FormatMessage(MessageTexts[MessageKey::HistoryGraded],
                         {QString::number(*picture.grade), QString::number(question->points)});
}

const QuestionInfo *THistoryView::ShownQuestion() const {
    for (const QuestionInfo &question : questions_) {
        if (question.number == question_) {
            return &question;
        }
    }
    return nullptr;
}

void THistoryView::OpenPicture(int index) {
    if (index < 0 || index >= static_cast<int>(pictures_.size())) {
        return;
    }
    openPicture_ = index;
    const PictureInfo &picture = pictures_[static_cast<size_t>(index)];
    overlay_->Show(LargePicture(picture.path),
                   QStringLiteral("%1 %2  ·  %3")
                           .arg(MessageTexts[MessageKey::HistorySeat])
                           .arg(picture.seat)
                           .arg(picture.name) +
                       GradeText(picture),
                   MessageTexts[MessageKey::HistoryGradeHint]);
    setFocus(Qt::OtherFocusReason);
}

void THistoryView::ClosePicture() {
    openPicture_ = -1;
    overlay_->hide();
}

bool THistoryView::GradePicture(int index, std::optional<double> points) {
    if (index < 0 || index >= static_cast<int>(pictures_.size())) {
        return false;
    }
    PictureInfo &picture = pictures_[static_cast<size_t>(index)];
    if (!history_.SetGrade(lesson_, question_, picture.seat, points)) {
        overlay_->Show(LargePicture(picture.path), picture.name, history_.Error());
        return false;
    }
    picture.grade = points;
    for (int row = 0; row < studentModel_->rowCount(); ++row) {
        if (studentModel_->item(row, kSeatColumn)->text() == QString::number(picture.seat)) {
            ShowGrade(studentModel_->item(row, kSeatColumn + 2), points,
                      ShownQuestion() ? ShownQuestion()->points : 1);
        }
    }
    tblStudents_->setFixedWidth(std::max(kStudentTable, FitColumns(tblStudents_) + kNameWidth));
    if (QStandardItem *item = pictureModel_->item(index)) {
        item->setText(QStringLiteral("%1  %2").arg(picture.seat).arg(picture.name) +
                      GradeText(picture));
    }
    ShowAnalysis(); // the grade counts at once
    return true;
}

void THistoryView::keyPressEvent(QKeyEvent *event) {
    const QuestionInfo *question = ShownQuestion();
    if (openPicture_ < 0 || !overlay_->isVisible() || question == nullptr ||
        question->type != kQuestionSubjective) {
        QWidget::keyPressEvent(event);
        return;
    }
    std::optional<double> points;
    const int key = event->key();
    if (key == Qt::Key_1) {
        points = question->points;
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        points = std::min<double>(key - Qt::Key_0, question->points);
    } else if (key != Qt::Key_Delete && key != Qt::Key_Backspace) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int graded = openPicture_;
    if (GradePicture(graded, points)) {
        if (graded + 1 < static_cast<int>(pictures_.size())) {
            OpenPicture(graded + 1);
        } else {
            ClosePicture();
        }
    }
}

void THistoryView::Export(ExportFormat format) {
    if (lesson_ == 0 || Exporting()) {
        return;
    }
    // "2026-12-08 lesson 3.xlsx": the day the lesson was held.
    QDate held = QDate::currentDate();
    for (const LessonInfo &lesson : lessons_) {
        if (lesson.number == lesson_ && Moment(lesson.startedAt).isValid()) {
            held = Moment(lesson.startedAt).date();
        }
    }
    const QString path = AskExportPath(this, format, MessageTexts[MessageKey::ExportFileName], held,
                                       QString::number(lesson_));
    if (path.isEmpty()) {
        return;
    }
    exportPath_ = path;
    exportLesson_ = lesson_;
    exportFormat_ = format;
    btnExportCsv_->setEnabled(false);
    btnExportXlsx_->setEnabled(false);
    lblExport_->setText(
        FormatMessage(MessageTexts[MessageKey::ExportBusy], {QString::number(lesson_)}));
    lblExport_->show();
    prgExport_->show();
    exporting_.Run(this, [dataDir = dataDir_, lesson = lesson_, format, path] {
        QString error;
        // The file dialog asked before an existing file is replaced.
        const bool ok = ExportLesson(dataDir, QString::number(lesson), format, path,
                                     ExistingFiles::Replace, &error);
        return std::make_pair(ok, error);
    });
}

bool THistoryView::Exporting() const {
    // Until its result has been taken.
    return exporting_.Pending();
}

void THistoryView::ExportDone() {
    const auto [ok, error] = exporting_.Take();
    prgExport_->hide();
    lblExport_->hide();
    btnExportCsv_->setEnabled(lesson_ != 0);
    btnExportXlsx_->setEnabled(lesson_ != 0);
    QString files = QDir::toNativeSeparators(exportPath_);
    if (exportFormat_ == ExportFormat::Csv) {
        files += u'\n' + QDir::toNativeSeparators(PressesFilePath(exportPath_));
    }
    ShowPrompt(MessageTexts[MessageKey::LessonHistory],
               ok ? FormatMessage(MessageTexts[MessageKey::ExportDone],
                                  {QString::number(exportLesson_), files})
                  : FormatMessage(MessageTexts[MessageKey::ExportFailed], {error}),
               false);
    Q_EMIT ExportFinished(ok);
}

bool THistoryView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    if (watched == lblQuestions_ && event->type() == QEvent::Resize) {
        FitQuestionsHeading();
    }
    return QWidget::eventFilter(watched, event);
}

void THistoryView::FitQuestionsHeading() {
    const QMargins margins = lblQuestions_->contentsMargins();
    const int room = lblQuestions_->width() - margins.left() - margins.right();
    const QString shown =
        lblQuestions_->fontMetrics().elidedText(questionsHeading_, Qt::ElideRight, room);
    lblQuestions_->setText(shown);
    lblQuestions_->setToolTip(shown == questionsHeading_ ? QString() : questionsHeading_);
}

void THistoryView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (overlay_->isVisible()) {
        overlay_->setGeometry(rect());
    }
}

} // namespace lumora
