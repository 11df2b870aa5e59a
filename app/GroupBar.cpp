#include "GroupBar.h"

#include "controls/SkinButton.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace lumora {

namespace {
constexpr int kItemHeight = 26;
constexpr int kIndentStep = 16;
const QColor kBarTop(0, 85, 142);
} // namespace

TGroupItem::TGroupItem(const QString &objectName, int tag, int set, int indent, const QPixmap &icon,
                       QWidget *parent)
    : QWidget(parent), tag_(tag), set_(set), indent_(indent), ownIcon_(icon), shownIcon_(icon) {
    setObjectName(objectName);
    setFixedHeight(kItemHeight);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void TGroupItem::SetMarked(bool marked, const QPixmap &currentIcon) {
    marked_ = marked;
    shownIcon_ = marked && !currentIcon.isNull() ? currentIcon : ownIcon_;
    update();
}

void TGroupItem::SetCaption(const QString &caption) {
    caption_ = caption;
    setToolTip(caption);
    update();
}

void TGroupItem::Click() {
    Q_EMIT Clicked(this);
}

void TGroupItem::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect r = rect().adjusted(4, 1, -4, -1);
    if (marked_) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 215));
        p.drawRoundedRect(r, 4, 4);
        p.setBrush(kBarTop);
        p.drawRoundedRect(QRect(r.left(), r.top() + 4, 3, r.height() - 8), 1.5, 1.5);
    } else if (hover_) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawRoundedRect(r, 4, 4);
    }
    int x = r.left() + 10 + indent_ * kIndentStep;
    if (!shownIcon_.isNull()) {
        p.drawPixmap(x, (height() - 16) / 2, 16, 16, shownIcon_);
    }
    x += 22;
    QFont f = font();
    f.setBold(marked_);
    p.setFont(f);
    // Light text on the dark top of the gradient, dark text further down.
    const QWidget *bar = parentWidget() ? parentWidget()->parentWidget() : nullptr;
    const int y = bar ? mapTo(bar, QPoint(0, 0)).y() : 0;
    const bool onDark = !marked_ && bar && y < bar->height() * 0.45;
    p.setPen(marked_ ? QColor(0, 60, 100) : (onDark ? QColor(Qt::white) : QColor(20, 45, 70)));
    p.drawText(QRect(x, 0, r.right() - x, height()), Qt::AlignVCenter | Qt::AlignLeft, caption_);
}

void TGroupItem::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Click();
    }
}

void TGroupItem::enterEvent(QEnterEvent *) {
    hover_ = true;
    update();
}

void TGroupItem::leaveEvent(QEvent *) {
    hover_ = false;
    update();
}

TGroup::TGroup(const QString &objectName, QWidget *parent) : QWidget(parent) {
    setObjectName(objectName);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 4, 0, 6);
    layout_->setSpacing(0);
    caption_ = new QLabel(this);
    caption_->setObjectName(objectName + QStringLiteral("Caption"));
    caption_->setContentsMargins(12, 6, 4, 6);
    QFont f = caption_->font();
    f.setBold(true);
    caption_->setFont(f);
    caption_->setStyleSheet(QStringLiteral("color: white; background: rgba(255,255,255,28);"
                                           "border-radius: 3px;"));
    layout_->addWidget(caption_);
}

void TGroup::SetCaption(const QString &caption) {
    caption_->setText(caption);
}

TGroupItem *TGroup::AddItem(const QString &key, int tag, int set, int indent) {
    auto *item =
        new TGroupItem(key, tag, set, indent, SkinPicture(QStringLiteral("icon_") + key), this);
    layout_->addWidget(item);
    items_.push_back(item);
    return item;
}

TGroupBar::TGroupBar(QWidget *parent)
    : QWidget(parent), currentIcon_(SkinPicture(QStringLiteral("icon_Current"))) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(6, 8, 6, 8);
    layout_->setSpacing(8);
    layout_->addStretch(1);
}

TGroup *TGroupBar::AddGroup(const QString &objectName) {
    auto *group = new TGroup(objectName, this);
    layout_->insertWidget(layout_->count() - 1, group);
    groups_.push_back(group);
    return group;
}

void TGroupBar::ClearMarks(int set) {
    for (TGroup *group : groups_) {
        for (TGroupItem *item : group->Items()) {
            if (item->Set() == set) {
                item->SetMarked(false);
            }
        }
    }
}

void TGroupBar::Mark(TGroupItem *item) {
    ClearMarks(item->Set());
    item->SetMarked(true, currentIcon_);
}

TGroupItem *TGroupBar::Item(const QString &key) const {
    return findChild<TGroupItem *>(key);
}

void TGroupBar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, kBarTop);
    gradient.setColorAt(1, Qt::white);
    p.fillRect(rect(), gradient);
}

} // namespace lumora
