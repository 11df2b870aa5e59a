#include "views/ClassesView.h"

#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"
#include "core/MessageTexts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace lumora {

namespace {

const QColor kHeading(0, 85, 142);
const QColor kViewBackground(251, 252, 253);
constexpr int kButtonWidth = 170;
constexpr int kListWidth = 760;
constexpr int kListHeight = 520; // a heading, the columns, some fifteen classes and the hint

const QString kTableStyle = QStringLiteral(
    "QTableView { background: white; alternate-background-color: #f3f7fb;"
    " gridline-color: #dde3ea; border: 1px solid #c9d6e3;"
    " selection-background-color: #00558e; selection-color: white; }"
    "QHeaderView::section { background: #e3eff7; color: #0b3d66; font-weight: bold;"
    " border: none; border-right: 1px solid #c9d6e3; border-bottom: 1px solid #c9d6e3;"
    " padding: 4px 6px; }");

enum Column { kName, kSubject, kStudents, kCurrent, kColumns };

QStandardItem *Cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto *item = new QStandardItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setToolTip(text);
    return item;
}

} // namespace

TClassesView::TClassesView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlClasses"));
    setAutoFillBackground(true);
    QPalette bg = palette();
    bg.setColor(QPalette::Window, kViewBackground);
    setPalette(bg);

    lblClasses_ = new QLabel(this);
    lblClasses_->setObjectName(QStringLiteral("lblClasses"));
    lblClasses_->setFixedHeight(30);
    lblClasses_->setContentsMargins(10, 0, 10, 0);
    lblClasses_->setAutoFillBackground(true);
    QPalette heading = lblClasses_->palette();
    heading.setColor(QPalette::Window, kHeading);
    heading.setColor(QPalette::WindowText, Qt::white);
    lblClasses_->setPalette(heading);
    QFont bold = lblClasses_->font();
    bold.setBold(true);
    lblClasses_->setFont(bold);

    model_ = new QStandardItemModel(0, kColumns, this);
    tblClasses_ = new QTableView(this);
    tblClasses_->setObjectName(QStringLiteral("tblClasses"));
    tblClasses_->setModel(model_);
    tblClasses_->setStyleSheet(kTableStyle);
    tblClasses_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblClasses_->setSelectionMode(QAbstractItemView::SingleSelection);
    tblClasses_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblClasses_->setAlternatingRowColors(true);
    tblClasses_->setWordWrap(false);
    tblClasses_->verticalHeader()->hide();
    tblClasses_->verticalHeader()->setDefaultSectionSize(28);
    tblClasses_->horizontalHeader()->setHighlightSections(false);
    tblClasses_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tblClasses_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);

    lblHint_ = new QLabel(this);
    lblHint_->setObjectName(QStringLiteral("lblClassHint"));
    lblHint_->setWordWrap(true);
    lblHint_->setStyleSheet(QStringLiteral("color: #1f3b57;"));
    lblHint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the hint wrapped on three lines, which the table gives up.
    lblHint_->setMinimumHeight(lblHint_->fontMetrics().lineSpacing() * 3 + 4);

    const auto button = [this](const char *name) {
        auto *b = new TImageButton(this);
        b->setObjectName(QString::fromLatin1(name));
        SetSkinPictures(b, QStringLiteral("btnDialog"));
        b->SetStretch(true);
        b->setFixedSize(kButtonWidth, 30);
        return b;
    };
    btnSwitch_ = button("btnClassSwitch");
    btnNew_ = button("btnClassNew");
    btnRename_ = button("btnClassRename");
    btnDelete_ = button("btnClassDelete");

    auto *list = new QVBoxLayout();
    list->setSpacing(0);
    list->addWidget(lblClasses_);
    list->addWidget(tblClasses_, 1);
    list->addSpacing(8);
    list->addWidget(lblHint_);
    auto *buttons = new QVBoxLayout();
    buttons->setSpacing(8);
    buttons->setContentsMargins(0, 30, 0, 0); // level with the table
    for (TImageButton *b : {btnSwitch_, btnNew_, btnRename_, btnDelete_}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    auto *row = new QHBoxLayout();
    row->setSpacing(14);
    row->addLayout(list, 1);
    row->addLayout(buttons);
    auto *frame = new QWidget(this);
    frame->setLayout(row);
    frame->setMaximumSize(kListWidth + kButtonWidth + 14, kListHeight);
    // As large as the view allows up to its largest, at the top left.
    auto *across = new QHBoxLayout();
    across->addWidget(frame, 10);
    across->addStretch(1);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(24, 24, 24, 24);
    root->addLayout(across, 10);
    root->addStretch(1);

    const auto chosen = [this](auto signal) {
        return [this, signal] {
            if (const auto info = Chosen()) {
                Q_EMIT(this->*signal)(*info);
            }
        };
    };
    connect(btnSwitch_, &TBaseButton::OnClick, this, chosen(&TClassesView::SwitchClicked));
    connect(btnRename_, &TBaseButton::OnClick, this, chosen(&TClassesView::RenameClicked));
    connect(btnDelete_, &TBaseButton::OnClick, this, chosen(&TClassesView::DeleteClicked));
    connect(btnNew_, &TBaseButton::OnClick, this, &TClassesView::NewClicked);
    connect(tblClasses_, &QTableView::doubleClicked, this, chosen(&TClassesView::SwitchClicked));
    connect(tblClasses_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TClassesView::UpdateButtons);

    UpdateTexts();
    if (parent != nullptr) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
}

QString TClassesView::ShownName(const ClassInfo &info) const {
    return info.Name.isEmpty() ? MessageTexts[MessageKey::ClassUnnamed] : info.Name;
}

void TClassesView::SetClasses(const std::vector<ClassInfo> &classes) {
    const std::optional<ClassInfo> before = Chosen();
    classes_ = classes;
    model_->removeRows(0, model_->rowCount());
    int keep = 0;
    for (size_t i = 0; i < classes_.size(); ++i) {
        const ClassInfo &info = classes_[i];
        QList<QStandardItem *> row = {
            Cell(ShownName(info)), Cell(info.Subject),
            Cell(QString::number(info.Students), Qt::AlignRight),
            Cell(info.Current ? MessageTexts[MessageKey::ClassCurrent] : QString())};
        if (info.Current) {
            for (QStandardItem *item : row) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
        }
        model_->appendRow(row);
        if (before && before->Current == info.Current &&
            (info.Current || before->File == info.File)) {
            keep = static_cast<int>(i);
        }
    }
    for (const int column : {kSubject, kStudents, kCurrent}) {
        tblClasses_->resizeColumnToContents(column);
    }
    Choose(keep);
}

std::optional<ClassInfo> TClassesView::Chosen() const {
    const QModelIndex index = tblClasses_->currentIndex();
    if (!index.isValid() || index.row() >= static_cast<int>(classes_.size())) {
        return std::nullopt;
    }
    return classes_[static_cast<size_t>(index.row())];
}

void TClassesView::Choose(int row) {
    if (row >= 0 && row < model_->rowCount()) {
        tblClasses_->setCurrentIndex(model_->index(row, 0));
    }
    UpdateButtons();
}

void TClassesView::UpdateButtons() {
    const std::optional<ClassInfo> chosen = Chosen();
    const bool other = chosen && !chosen->Current;
    btnSwitch_->setEnabled(other);
    btnDelete_->setEnabled(other);
    btnRename_->setEnabled(chosen.has_value());
}

void TClassesView::UpdateTexts() {
    const auto m = [](MessageKey key) { return MessageTexts[key]; };
    lblClasses_->setText(m(MessageKey::Classes));
    lblHint_->setText(m(MessageKey::ClassHint));
    btnSwitch_->SetCaption(m(MessageKey::ClassSwitch));
    btnNew_->SetCaption(m(MessageKey::ClassNew));
    btnRename_->SetCaption(m(MessageKey::ClassRename));
    btnDelete_->SetCaption(m(MessageKey::ClassDelete));
    model_->setHorizontalHeaderLabels({m(MessageKey::ClassName), m(MessageKey::ClassSubject),
                                       m(MessageKey::ClassStudents), QString()});
    SetClasses(std::vector<ClassInfo>(classes_)); // the unnamed class's name
}

bool TClassesView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumora
