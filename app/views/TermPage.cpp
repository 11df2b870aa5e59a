#include "views/TermPage.h"

#include "config/Preferences.h"
#include "controls/SkinButton.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"
#include "views/HistoryView.h"

#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace lumora {

namespace {

const QColor kRight(0, 128, 0);
const QColor kWrong(200, 0, 0);
constexpr int kButtonWidth = 130;

QString CellText(const ExportCell &cell) {
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        return QString();
    case ExportCell::Kind::Text:
        return cell.text;
    case ExportCell::Kind::Number:
        return QString::number(cell.number, 'g', 6);
    case ExportCell::Kind::Percent:
        return QStringLiteral("%1 %").arg(cell.number * 100, 0, 'f', 0);
    case ExportCell::Kind::Date:
        return cell.date.toString(Qt::ISODate);
    }
    return QString();
}

// The sheet's own headings of the columns after the questions, in the
// teacher's language.
QString ColumnTitle(const QString &heading) {
    static const std::pair<const char *, MessageKey> titles[] = {
        {"Seat", MessageKey::HistorySeat},
        {"Name", MessageKey::HistoryName},
        {"Tablet ID", MessageKey::TermTablet},
        {"Total", MessageKey::TermTotal},
        {"Points possible", MessageKey::TermPossible},
        {"Percent", MessageKey::TermPercent},
        {"Lessons attended", MessageKey::TermAttended},
        {"Lessons held", MessageKey::TermHeld},
    };
    for (const auto &[sheet, key] : titles) {
        if (heading == QLatin1String(sheet)) {
            return MessageTexts[key];
        }
    }
    return heading;
}

} // namespace

TTermPage::TTermPage(const QString &dataDir, QWidget *parent)
    : QWidget(parent), dataDir_(dataDir), progress_(std::make_shared<Progress>()) {
    setObjectName(QStringLiteral("pnlTerm"));
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(6);
    auto *bar = new QHBoxLayout();
    bar->setSpacing(8);
    lblTerm_ = new QLabel(this);
    lblTerm_->setObjectName(QStringLiteral("lblTerm"));
    lblTerm_->setStyleSheet(QStringLiteral("color: #0b3d66;"));
    lblTerm_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    const auto dateEdit = [this](const char *name) {
        auto *edit = new QDateEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        return edit;
    };
    lblFrom_ = new QLabel(this);
    lblTo_ = new QLabel(this);
    dteFrom_ = dateEdit("dteTermFrom");
    dteTo_ = dateEdit("dteTermTo");
    const auto button = [this](const char *name) {
        auto *result = new TImageButton(this);
        result->setObjectName(QString::fromLatin1(name));
        SetSkinPictures(result, QStringLiteral("btnDialog"));
        result->SetStretch(true);
        result->setFixedSize(kButtonWidth, 28);
        return result;
    };
    btnXlsx_ = button("btnTermXlsx");
    btnCsv_ = button("btnTermCsv");
    prgTerm_ = new QProgressBar(this);
    prgTerm_->setObjectName(QStringLiteral("prgTerm"));
    prgTerm_->setTextVisible(false);
    prgTerm_->setFixedSize(120, 12);
    prgTerm_->hide();
    bar->addWidget(lblTerm_, 1);
    for (QWidget *widget : std::initializer_list<QWidget *>{lblFrom_, dteFrom_, lblTo_, dteTo_,
                                                            prgTerm_, btnXlsx_, btnCsv_}) {
        bar->addWidget(widget);
    }
    root->addLayout(bar);
    model_ = new QStandardItemModel(this);
    tblTerm_ = HistoryTable("tblTerm", model_, this);
    tblTerm_->horizontalHeader()->setStretchLastSection(false);
    tblTerm_->setWordWrap(true);
    root->addWidget(tblTerm_, 1);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        prgTerm_->setRange(0, std::max(1, progress_->total.load()));
        prgTerm_->setValue(progress_->done.load());
    });
    const auto reload = [this] {
        if (!classFile_.isNull()) {
            Load();
        }
    };
    connect(dteFrom_, &QDateEdit::dateChanged, this, reload);
    connect(dteTo_, &QDateEdit::dateChanged, this, reload);
    connect(btnXlsx_, &TBaseButton::OnClick, this, [this] { Export(ExportFormat::Xlsx); });
    connect(btnCsv_, &TBaseButton::OnClick, this, [this] { Export(ExportFormat::Csv); });

    const TermRange term =
        CurrentTerm(QDate::currentDate(), ParseTermStarts(LoadPreferences(dataDir_).TermStarts));
    const QSignalBlocker quietFrom(dteFrom_);
    const QSignalBlocker quietTo(dteTo_);
    dteFrom_->setDate(term.from);
    dteTo_->setDate(term.to);
    UpdateTexts();
}

TTermPage::~TTermPage() {
    loading_.Join();
    exporting_.Join();
}

void TTermPage::UpdateTexts() {
    lblFrom_->setText(MessageTexts[MessageKey::TermFrom]);
    lblTo_->setText(MessageTexts[MessageKey::TermTo]);
    btnXlsx_->SetCaption(MessageTexts[MessageKey::ExportXlsx]);
    btnCsv_->SetCaption(MessageTexts[MessageKey::ExportCsv]);
    if (shown_) {
        ShowSheet(shown_->gradebook);
    }
}

TermRange TTermPage::Range() const {
    return {dteFrom_->date(), dteTo_->date()};
}

void TTermPage::SetRange(const TermRange &range) {
    {
        const QSignalBlocker quietFrom(dteFrom_);
        const QSignalBlocker quietTo(dteTo_);
        dteFrom_->setDate(range.from);
        dteTo_->setDate(range.to);
    }
    if (!classFile_.isNull()) {
        Load();
    }
}

void TTermPage::ShowClass(const QString &classFile, const QString &className) {
    classFile_ = classFile.isNull() ? QStringLiteral("") : classFile;
    className_ = className;
    Load();
}

void TTermPage::Busy(bool busy) {
    prgTerm_->setVisible(busy);
    btnXlsx_->setEnabled(!busy && shown_ && shown_->lessons > 0);
    btnCsv_->setEnabled(btnXlsx_->isEnabled());
    if (busy) {
        progressTimer_->start();
    } else {
        progressTimer_->stop();
    }
}

void TTermPage::Load() {
    if (loading_.Pending()) {
        reloadWanted_ = true; // once the reading under way is done
        return;
    }
    reloadWanted_ = false;
    shown_.reset();
    model_->clear();
    lblTerm_->setText(MessageTexts[MessageKey::TermLoading]);
    progress_->done = 0;
    progress_->total = 0;
    prgTerm_->setRange(0, 0);
    Busy(true);
    loading_.Run(
        this, [dataDir = dataDir_, file = classFile_, range = Range(), progress = progress_] {
            QString error;
            std::optional<TermExport> term =
                BuildTermExport(dataDir, file, range, &error, [progress](int done, int total) {
                    progress->done = done;
                    progress->total = total;
                });
            return std::make_pair(std::move(term), error);
        });
}

void TTermPage::LoadDone() {
    auto [term, error] = loading_.Take();
    if (reloadWanted_) {
        Load();
        return;
    }
    shown_ = std::move(term);
    Busy(false);
    if (!shown_) {
        lblTerm_->setText(error);
        Q_EMIT Loaded(false);
        return;
    }
    const QString name =
        className_.isEmpty() ? MessageTexts[MessageKey::HistoryUnnamedClass] : className_;
    const int students = std::max(0, static_cast<int>(shown_->gradebook.rows.size()) - 2);
    lblTerm_->setText(
        shown_->lessons == 0
            ? name + QStringLiteral(": ") + MessageTexts[MessageKey::TermNoLessons]
            : FormatMessage(MessageTexts[MessageKey::TermTitle],
                            {name, QString::number(shown_->lessons), QString::number(students)}));
    lblTerm_->setToolTip(lblTerm_->text());
    ShowSheet(shown_->gradebook);
    Q_EMIT Loaded(true);
}

void TTermPage::ShowSheet(const ExportSheet &sheet) {
    model_->clear();
    if (sheet.rows.size() < 2) {
        return;
    }
    // Two heading rows: the lesson over each question, then the column's own.
    const std::vector<ExportCell> &lessons = sheet.rows[0];
    const std::vector<ExportCell> &headings = sheet.rows[1];
    QStringList titles;
    for (size_t column = 0; column < headings.size(); ++column) {
        QString lesson = column < lessons.size() ? lessons[column].text : QString();
        // An untitled lesson is named by its number, in the teacher's language.
        static const QRegularExpression untitled(QStringLiteral(" · Lesson (\\d+)$"));
        if (const QRegularExpressionMatch number = untitled.match(lesson); number.hasMatch()) {
            lesson.replace(
                number.capturedStart(), number.capturedLength(),
                QStringLiteral(" · ") +
                    FormatMessage(MessageTexts[MessageKey::TermLesson], {number.captured(1)}));
        }
        const QString own = ColumnTitle(headings[column].text);
        titles << (lesson.isEmpty() ? own : lesson + u'\n' + own);
    }
    model_->setColumnCount(static_cast<int>(titles.size()));
    model_->setHorizontalHeaderLabels(titles);
    for (size_t row = 2; row < sheet.rows.size(); ++row) {
        QList<QStandardItem *> items;
        for (const ExportCell &cell : sheet.rows[row]) {
            auto *item = new QStandardItem(CellText(cell));
            item->setEditable(false);
            const bool number =
                cell.kind == ExportCell::Kind::Number || cell.kind == ExportCell::Kind::Percent;
            item->setTextAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            if (cell.tone == ExportCell::Tone::Correct) {
                item->setForeground(kRight);
            } else if (cell.tone == ExportCell::Tone::Wrong) {
                item->setForeground(kWrong);
            }
            if (!cell.link.isEmpty()) {
                item->setToolTip(QDir::toNativeSeparators(cell.link));
            }
            items << item;
        }
        model_->appendRow(items);
    }
    tblTerm_->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
}

void TTermPage::Export(ExportFormat format) {
    if (!shown_ || Loading() || Exporting()) {
        return;
    }
    const QString path = AskExportPath(
        this, format, MessageTexts[MessageKey::TermFileName], QDate::currentDate(),
        className_.isEmpty() ? MessageTexts[MessageKey::HistoryUnnamedClass] : className_);
    if (path.isEmpty()) {
        return;
    }
    exportPath_ = path;
    progress_->done = 0;
    progress_->total = 0;
    prgTerm_->setRange(0, 0);
    Busy(true);
    exporting_.Run(this, [dataDir = dataDir_, file = classFile_, range = Range(), format, path,
                          progress = progress_] {
        QString error;
        // The file dialog asked before an existing file is replaced.
        const bool ok = ExportTerm(dataDir, file, range, format, path, ExistingFiles::Replace,
                                   &error, [progress](int done, int total) {
                                       progress->done = done;
                                       progress->total = total;
                                   });
        return std::make_pair(ok, error);
    });
}

void TTermPage::ExportDone() {
    const auto [ok, error] = exporting_.Take();
    Busy(false);
    ShowPrompt(MessageTexts[MessageKey::LessonHistory],
               ok ? FormatMessage(MessageTexts[MessageKey::TermExportDone],
                                  {QDir::toNativeSeparators(exportPath_)})
                  : FormatMessage(MessageTexts[MessageKey::ExportFailed], {error}),
               false);
    Q_EMIT ExportFinished(ok);
}

bool TTermPage::event(QEvent *event) {
    if (event->type() != BackgroundJobDone()) {
        return QWidget::event(event);
    }
    if (loading_.Ready()) {
        LoadDone();
    }
    if (exporting_.Ready()) {
        ExportDone();
    }
    return true;
}

} // namespace lumora
