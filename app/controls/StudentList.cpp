#include "controls/StudentList.h"

#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumora {

namespace {
const QColor kHeadingColour(0, 85, 142);
constexpr int kHeadingHeight = 30;
} // namespace

TStudentList::TStudentList(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnl2"));
    setFixedWidth(kWidth);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *heading = new QWidget(this);
    heading->setObjectName(QStringLiteral("pnl3"));
    heading->setFixedHeight(kHeadingHeight);
    heading->setAutoFillBackground(true);
    QPalette palette = heading->palette();
    palette.setColor(QPalette::Window, kHeadingColour);
    heading->setPalette(palette);
    heading_ = new QLabel(QStringLiteral("学生列表"), heading);
    heading_->setObjectName(QStringLiteral("lbl1"));
    QFont bold = font();
    bold.setBold(true);
    heading_->setFont(bold);
    heading_->setStyleSheet(QStringLiteral("color: white;"));
    column->addWidget(heading);

    rows_ = new QTreeWidget(this);
    rows_->setObjectName(QStringLiteral("lvStd"));
    rows_->setColumnCount(2);
    rows_->setHeaderHidden(true);
    rows_->setRootIsDecorated(false);
    rows_->setIndentation(0);
    rows_->setIconSize(QSize(16, 16));
    rows_->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    rows_->header()->resizeSection(0, 25);
    rows_->header()->setStretchLastSection(true);
    rows_->setFrameShape(QFrame::NoFrame);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setSelectionMode(QAbstractItemView::SingleSelection);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Names too long for the column end in an ellipsis (the row's tooltip
    // holds them whole): no horizontal scroll bar.
    rows_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_->setTextElideMode(Qt::ElideRight);
    column->addWidget(rows_, 1);

    auto *pager = new QWidget(this);
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
    previous_ = pageButton("btnPreviousPane");
    next_ = pageButton("btnNextPane");
    pagerRow->addWidget(previous_);
    pagerRow->addWidget(next_);
    column->addWidget(pager);

    connect(rows_, &QTreeWidget::itemPressed, this, &TStudentList::RowPressed);
    connect(previous_, &TBaseButton::OnClick, this, &TStudentList::PreviousPage);
    connect(next_, &TBaseButton::OnClick, this, &TStudentList::NextPage);
}

void TStudentList::Fill(const QStringList &names) {
    rows_->clear();
    const QIcon icon(SkinPicture(QStringLiteral("icon_Student")));
    for (const QString &name : names) {
        auto *row = new QTreeWidgetItem(rows_);
        row->setIcon(0, icon);
        row->setText(1, name);
        row->setToolTip(1, name);
    }
}

void TStudentList::SetRow(int index, const QString &name) {
    if (QTreeWidgetItem *row = rows_->topLevelItem(index)) {
        row->setText(1, name);
        row->setToolTip(1, name);
    }
}

int TStudentList::SelectedRow() const {
    const QList<QTreeWidgetItem *> selected = rows_->selectedItems();
    return selected.isEmpty() ? -1 : rows_->indexOfTopLevelItem(selected.first());
}

void TStudentList::ShowRow(int index) {
    if (QTreeWidgetItem *row = rows_->topLevelItem(index)) {
        rows_->setCurrentItem(row);
        rows_->scrollToItem(row, QAbstractItemView::EnsureVisible);
    }
}

void TStudentList::SetHeading(const QString &text) {
    heading_->setText(text);
    heading_->adjustSize();
    heading_->move((kWidth - heading_->width()) / 2, (kHeadingHeight - heading_->height()) / 2);
}

void TStudentList::SetPageTexts(const QString &previous, const QString &next) {
    previous_->SetCaption(previous);
    next_->SetCaption(next);
    previous_->setToolTip(previous + QStringLiteral(" (PgUp, ←, ↑)"));
    next_->setToolTip(next + QStringLiteral(" (PgDn, →, ↓)"));
}

} // namespace lumora
