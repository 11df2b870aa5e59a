#include "views/QuestionSetsView.h"

#include "config/QuestionSetStore.h"
#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"
#include "core/MessageTexts.h"
#include "dialogs/OpenFile.h"
#include "views/HistoryView.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace lumora {

namespace {

const QColor kHeading(0, 85, 142);
const QColor kViewBackground(251, 252, 253);
constexpr int kButtonWidth = 150;
constexpr int kPictureWidth = 260;

const QString kTableStyle = QStringLiteral(
    "QTableView, QListWidget { background: white; alternate-background-color: #f3f7fb;"
    " gridline-color: #dde3ea; border: 1px solid #c9d6e3;"
    " selection-background-color: #00558e; selection-color: white; }"
    "QHeaderView::section { background: #e3eff7; color: #0b3d66; font-weight: bold;"
    " border: none; border-right: 1px solid #c9d6e3; border-bottom: 1px solid #c9d6e3;"
    " padding: 4px 6px; }");

// The table's columns: the file's six, in its order.
enum Column { kType, kKey, kText, kPicture, kSeconds, kPoints, kColumns };

QString TypeText(int type) {
    static constexpr MessageKey kTypes[] = {
        MessageKey::PlanTypeSingle, MessageKey::PlanTypeMultiple, MessageKey::PlanTypeHandwritten};
    return MessageTexts[kTypes[std::clamp(type, 0, 2)]];
}

// The type chosen from a list instead of typed.
class TypeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override {
        auto *box = new QComboBox(parent);
        for (int type = 0; type < 3; ++type) {
            box->addItem(TypeText(type), type);
        }
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(std::max(0, box->findText(index.data().toString())));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText());
    }
};

QStandardItem *Cell(const QString &text) {
    auto *item = new QStandardItem(text);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return item;
}

QLabel *Heading(QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setFixedHeight(30);
    label->setContentsMargins(10, 0, 10, 0);
    label->setAutoFillBackground(true);
    QPalette heading = label->palette();
    heading.setColor(QPalette::Window, kHeading);
    heading.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(heading);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

TQuestionSetsView::TQuestionSetsView(const QString &dataDir, QWidget *parent)
    : QWidget(parent), dataDir_(dataDir) {
    setObjectName(QStringLiteral("pnlQuestionSets"));
    setAutoFillBackground(true);
    QPalette bg = palette();
    bg.setColor(QPalette::Window, kViewBackground);
    setPalette(bg);
    setStyleSheet(kTableStyle);

    lblSets_ = Heading(this);
    lblQuestions_ = Heading(this);
    sets_ = new QListWidget(this);
    sets_->setObjectName(QStringLiteral("lstQuestionSets"));
    model_ = new QStandardItemModel(0, kColumns, this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("tblSetQuestions"));
    table_->setModel(model_);
    table_->setItemDelegateForColumn(kType, new TypeDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(true);
    table_->verticalHeader()->setDefaultSectionSize(28);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->horizontalHeader()->setSectionResizeMode(kText, QHeaderView::Stretch);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("imgQuestionPicture"));
    picture_->setFixedSize(kPictureWidth, kPictureWidth * 3 / 4);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setStyleSheet(
        QStringLiteral("background: white; border: 1px solid #c9d6e3; color: #8a9bab;"));
    lblHint_ = new QLabel(this);
    lblHint_->setWordWrap(true);
    lblHint_->setStyleSheet(QStringLiteral("color: #1f3b57;"));

    const auto button = [this](const char *name) {
        auto *b = new TImageButton(this);
        b->setObjectName(QString::fromLatin1(name));
        SetSkinPictures(b, QStringLiteral("btnDialog"));
        b->SetStretch(true);
        b->setFixedSize(kButtonWidth, 30);
        return b;
    };
    btnRun_ = button("btnSetRun");
    btnNew_ = button("btnSetNew");
    btnImport_ = button("btnSetImport");
    btnExport_ = button("btnSetExport");
    btnAdd_ = button("btnQuestionAdd");
    btnDelete_ = button("btnQuestionDelete");
    btnUp_ = button("btnQuestionUp");
    btnDown_ = button("btnQuestionDown");
    btnSave_ = button("btnSetSave");

    auto *left = new QVBoxLayout();
    left->setSpacing(8);
    left->addWidget(lblSets_);
    left->addWidget(sets_, 1);
    for (TImageButton *b : {btnRun_, btnNew_, btnImport_, btnExport_}) {
        left->addWidget(b);
    }
    auto *editButtons = new QHBoxLayout();
    editButtons->setSpacing(8);
    for (TImageButton *b : {btnAdd_, btnDelete_, btnUp_, btnDown_, btnSave_}) {
        editButtons->addWidget(b);
    }
    editButtons->addStretch(1);
    auto *side = new QVBoxLayout();
    side->addWidget(picture_);
    side->addWidget(lblHint_, 1);
    auto *tableRow = new QHBoxLayout();
    tableRow->setSpacing(10);
    tableRow->addWidget(table_, 1);
    tableRow->addLayout(side);
    auto *right = new QVBoxLayout();
    right->setSpacing(8);
    right->addWidget(lblQuestions_);
    right->addLayout(tableRow, 1);
    right->addLayout(editButtons);
    auto *root = new QHBoxLayout(this);
    root->setContentsMargins(24, 24, 24, 24);
    root->setSpacing(16);
    root->addLayout(left);
    root->addLayout(right, 1);
    sets_->setFixedWidth(kButtonWidth + 40);

    connect(btnRun_, &TBaseButton::OnClick, this, [this] {
        if (!ChosenSet().isEmpty()) {
            Q_EMIT RunClicked(ChosenSet());
        }
    });
    connect(btnNew_, &TBaseButton::OnClick, this, &TQuestionSetsView::NewSet);
    connect(btnImport_, &TBaseButton::OnClick, this, [this] { ImportSet(); });
    connect(btnExport_, &TBaseButton::OnClick, this, [this] { ExportSet(); });
    connect(btnAdd_, &TBaseButton::OnClick, this, &TQuestionSetsView::AddQuestion);
    connect(btnDelete_, &TBaseButton::OnClick, this, &TQuestionSetsView::DeleteQuestion);
    connect(btnUp_, &TBaseButton::OnClick, this, [this] { MoveQuestion(-1); });
    connect(btnDown_, &TBaseButton::OnClick, this, [this] { MoveQuestion(1); });
    connect(btnSave_, &TBaseButton::OnClick, this, &TQuestionSetsView::SaveSet);
    connect(sets_, &QListWidget::currentTextChanged, this, &TQuestionSetsView::ShowSet);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TQuestionSetsView::ShowPicture);
    connect(model_, &QStandardItemModel::dataChanged, this, &TQuestionSetsView::ShowPicture);

    UpdateTexts();
    if (parent != nullptr) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
}

void TQuestionSetsView::Reload(const QString &chosen) {
    const QString keep = chosen.isEmpty() ? ChosenSet() : chosen;
    const QSignalBlocker blocker(sets_);
    sets_->clear();
    sets_->addItems(ListQuestionSets(dataDir_));
    const QList<QListWidgetItem *> found = sets_->findItems(keep, Qt::MatchExactly);
    sets_->setCurrentRow(found.isEmpty() ? 0 : sets_->row(found.front()));
    ShowSet(ChosenSet());
}

QString TQuestionSetsView::ChosenSet() const {
    const QListWidgetItem *item = sets_->currentItem();
    return item != nullptr ? item->text() : QString();
}

void TQuestionSetsView::ChooseSet(const QString &name) {
    const QList<QListWidgetItem *> found = sets_->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) {
        sets_->setCurrentItem(found.front());
    }
}

void TQuestionSetsView::ShowSet(const QString &name) {
    shown_ = name;
    model_->removeRows(0, model_->rowCount());
    if (!name.isEmpty()) {
        const SetFileResult loaded = LoadQuestionSet(dataDir_, name);
        // A set that does not read shows what it can (nothing) and says why.
        if (!loaded.Ok()) {
            Q_EMIT ProblemsFound(name, loaded.Problems);
        }
        for (const PlannedQuestion &question : loaded.Set.Questions) {
            AppendRow(question);
        }
    }
    lblQuestions_->setText(name.isEmpty() ? MessageTexts[MessageKey::PlanQuestions]
                                          : MessageTexts[MessageKey::PlanQuestions] +
                                                QStringLiteral(" — ") + name);
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(kText, QHeaderView::Stretch);
    if (model_->rowCount() > 0) {
        table_->setCurrentIndex(model_->index(0, kText));
    }
    ShowPicture();
    UpdateButtons();
}

void TQuestionSetsView::AppendRow(const PlannedQuestion &question) {
    model_->appendRow({Cell(TypeText(question.Type)), Cell(question.Key), Cell(question.Text),
                       Cell(question.Picture),
                       Cell(question.Seconds > 0 ? QString::number(question.Seconds) : QString()),
                       Cell(question.Points ? QString::number(*question.Points) : QString())});
    Renumber();
}

void TQuestionSetsView::Renumber() {
    for (int row = 0; row < model_->rowCount(); ++row) {
        model_->setVerticalHeaderItem(row, new QStandardItem(QString::number(row + 1)));
    }
}

void TQuestionSetsView::ShowPicture() {
    const int row = table_->currentIndex().row();
    const QString file =
        row >= 0 ? model_->index(row, kPicture).data().toString().trimmed() : QString();
    QPixmap pixmap;
    if (!file.isEmpty() && !shown_.isEmpty()) {
        pixmap.load(QDir(QuestionSetPictureFolder(dataDir_, shown_)).filePath(file));
    }
    if (pixmap.isNull()) {
        picture_->setPixmap(QPixmap());
        picture_->setText(file.isEmpty() ? MessageTexts[MessageKey::PlanNoPicture] : file);
    } else {
        picture_->setPixmap(pixmap.scaled(picture_->size() - QSize(4, 4), Qt::KeepAspectRatio,
                                          Qt::SmoothTransformation));
    }
}

SetReadResult TQuestionSetsView::EditedQuestions() const {
    std::vector<QStringList> rows;
    for (int row = 0; row < model_->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < kColumns; ++column) {
            cells.append(model_->index(row, column).data().toString());
        }
        // The type as the teacher's language names it, as the file names it.
        for (int type = 0; type < 3; ++type) {
            if (cells[kType] == TypeText(type)) {
                cells[kType] = QuestionTypeName(type);
            }
        }
        rows.push_back(cells);
    }
    SetReadResult read = ReadQuestionRows(rows, QuestionSetPictureFolder(dataDir_, shown_));
    read.Set.Name = shown_;
    return read;
}

bool TQuestionSetsView::SaveSet() {
    if (shown_.isEmpty()) {
        return false;
    }
    const SetReadResult edited = EditedQuestions();
    QStringList problems;
    for (const SetRowProblem &problem : edited.Problems) {
        problems.append(problem.Row > 0
                            ? FormatMessage(MessageTexts[MessageKey::PlanQuestionRow],
                                            {QString::number(problem.Row), problem.DescribeWhat()})
                            : problem.DescribeWhat());
    }
    QString error;
    if (problems.isEmpty() && !SaveQuestionSet(dataDir_, edited.Set, &error)) {
        problems.append(error);
    }
    if (!problems.isEmpty()) {
        Q_EMIT ProblemsFound(shown_, problems);
        return false;
    }
    return true;
}

void TQuestionSetsView::NewSet() {
    const QStringList names = ListQuestionSets(dataDir_);
    QString name;
    for (int n = 1;; ++n) {
        name = FormatMessage(MessageTexts[MessageKey::PlanNewName], {QString::number(n)});
        if (!names.contains(name, Qt::CaseInsensitive)) {
            break;
        }
    }
    QString error;
    if (!SaveQuestionSet(dataDir_, QuestionSet{name, {{0, QStringLiteral("A"), {}, {}, 0, {}}}},
                         &error)) {
        Q_EMIT ProblemsFound(name, {error});
        return;
    }
    Reload(name);
}

void TQuestionSetsView::ImportSet(const QString &path) {
    const QString source =
        path.isEmpty()
            ? AskOpenFile(this, MessageTexts[MessageKey::PlanImport],
                          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                          MessageTexts[MessageKey::PlanFileFilter])
            : path;
    if (source.isEmpty()) {
        return;
    }
    const SetFileResult imported = ImportQuestionSet(dataDir_, source);
    if (!imported.Ok()) {
        Q_EMIT ProblemsFound(QFileInfo(source).fileName(), imported.Problems);
        return;
    }
    Reload(imported.Set.Name);
}

void TQuestionSetsView::ExportSet(const QString &path) {
    if (shown_.isEmpty()) {
        return;
    }
    const SetReadResult edited = EditedQuestions();
    if (!edited.Ok()) {
        SaveSet(); // says what is wrong
        return;
    }
    const QString target =
        path.isEmpty()
            ? AskSaveFile(this, MessageTexts[MessageKey::PlanExport],
                          QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                              .filePath(shown_ + QStringLiteral(".csv")),
                          MessageTexts[MessageKey::PlanFileFilter])
            : path;
    if (target.isEmpty()) {
        return;
    }
    QString error;
    if (!ExportQuestionSet(dataDir_, edited.Set, target, &error)) {
        Q_EMIT ProblemsFound(shown_, {error});
    }
}

void TQuestionSetsView::AddQuestion() {
    if (shown_.isEmpty()) {
        return;
    }
    const int at =
        table_->currentIndex().isValid() ? table_->currentIndex().row() + 1 : model_->rowCount();
    model_->insertRow(
        at, {Cell(TypeText(0)), Cell(QStringLiteral("A")), Cell({}), Cell({}), Cell({}), Cell({})});
    Renumber();
    table_->setCurrentIndex(model_->index(at, kText));
    UpdateButtons();
}

void TQuestionSetsView::DeleteQuestion() {
    const int row = table_->currentIndex().row();
    if (row >= 0) {
        model_->removeRow(row);
        Renumber();
        UpdateButtons();
    }
}

void TQuestionSetsView::MoveQuestion(int step) {
    const int row = table_->currentIndex().row();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= model_->rowCount()) {
        return;
    }
    const int column = table_->currentIndex().column();
    model_->insertRow(to, model_->takeRow(row));
    Renumber();
    table_->setCurrentIndex(model_->index(to, column));
}

void TQuestionSetsView::UpdateButtons() {
    const bool chosen = !shown_.isEmpty();
    for (TImageButton *b : {btnRun_, btnExport_, btnAdd_, btnSave_}) {
        b->setEnabled(chosen);
    }
    const bool rows = model_->rowCount() > 0;
    for (TImageButton *b : {btnDelete_, btnUp_, btnDown_}) {
        b->setEnabled(rows);
    }
}

void TQuestionSetsView::UpdateTexts() {
    const auto m = [](MessageKey key) { return MessageTexts[key]; };
    lblSets_->setText(m(MessageKey::PlanSets));
    lblHint_->setText(m(MessageKey::PlanHint));
    btnRun_->SetCaption(m(MessageKey::PlanRun));
    btnNew_->SetCaption(m(MessageKey::PlanNew));
    btnImport_->SetCaption(m(MessageKey::PlanImport));
    btnExport_->SetCaption(m(MessageKey::PlanExport));
    btnAdd_->SetCaption(m(MessageKey::PlanAdd));
    btnDelete_->SetCaption(m(MessageKey::PlanDelete));
    btnUp_->SetCaption(m(MessageKey::PlanUp));
    btnDown_->SetCaption(m(MessageKey::PlanDown));
    btnSave_->SetCaption(m(MessageKey::PlanSave));
    model_->setHorizontalHeaderLabels(
        {m(MessageKey::PlanColumnType), m(MessageKey::PlanColumnKey), m(MessageKey::PlanColumnText),
         m(MessageKey::PlanColumnPicture), m(MessageKey::PlanColumnSeconds),
         m(MessageKey::PlanColumnPoints)});
    // The types in the new language.
    if (!shown_.isEmpty()) {
        ShowSet(shown_);
    } else {
        lblQuestions_->setText(m(MessageKey::PlanQuestions));
        ShowPicture();
        UpdateButtons();
    }
}

bool TQuestionSetsView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumora
