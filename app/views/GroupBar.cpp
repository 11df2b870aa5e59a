#include "views/GroupBar.h"

#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {
constexpr int kItemHeight = 26;
QColor GradientColourAt(double at);
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
    setToolTip(keys_.isEmpty() ? caption
                               : caption + QStringLiteral(" (") +
                                     keys_.toString(QKeySequence::NativeText) + u')');
    update();
}

void TGroupItem::SetShortcut(const QKeySequence &keys) {
    keys_ = keys;
    SetCaption(caption_);
}

void TGroupItem::SetActive(bool active) {
    active_ = active;
    setCursor(active ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setAttribute(Qt::WA_Hover, active);
    hover_ = hover_ && active;
    update();
}

namespace {
double Luminance(const QColor &c) {
    const auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
} // namespace

double ContrastRatio(const QColor &a, const QColor &b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
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
    // Light or dark text, whichever reads better on the gradient behind it.
    const QWidget *bar = parentWidget() ? parentWidget()->parentWidget() : nullptr;
    QColor text(0, 60, 100);
    if (!marked_ && bar) {
        const double at = double(mapTo(bar, QPoint(0, height() / 2)).y()) / bar->height();
        const QColor behind = GradientColourAt(std::clamp(at, 0.0, 1.0));
        const QColor light(Qt::white), dark(Qt::black);
        text = ContrastRatio(light, behind) >= ContrastRatio(dark, behind) ? light : dark;
    }
    p.setPen(text);
    p.drawText(QRect(x, 0, r.right() - x, height()), Qt::AlignVCenter | Qt::AlignLeft, caption_);
}

namespace {
// The bar's gradient at a fraction of its height.
QColor GradientColourAt(double at) {
    const QColor bottom(Qt::white);
    return QColor::fromRgbF(kBarTop.redF() + (bottom.redF() - kBarTop.redF()) * at,
                            kBarTop.greenF() + (bottom.greenF() - kBarTop.greenF()) * at,
                            kBarTop.blueF() + (bottom.blueF() - kBarTop.blueF()) * at);
}
} // namespace

void TGroupItem::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Click();
    }
}

void TGroupItem::enterEvent(QEnterEvent *) {
    hover_ = active_;
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
    // A solid dark caption: white on it reads the same at the top of the
    // gradient and at its white bottom.
    caption_->setStyleSheet(QStringLiteral("color: white; background: #00558E;"
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
