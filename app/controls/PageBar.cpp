#include "controls/PageBar.h"

#include "controls/SkinButton.h"
#include "controls/WidgetHelpers.h"
#include "core/MessageTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace lumora {

namespace {
const QColor kStrip(0xDC, 0xE6, 0xF2);
const QColor kStripLine(0x9D, 0xB4, 0xCE);
const QColor kStripText(0x0B, 0x3D, 0x66);

TImageButton *PageButton(const char *name, QWidget *parent) {
    auto *button = new TImageButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    SetSkinPictures(button, QStringLiteral("btnDialog"));
    button->SetStretch(true);
    button->SetTabStop(false);
    button->setFixedSize(88, 24);
    return button;
}
} // namespace

TPageBar::TPageBar(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PageBar"));
    m_previous = PageButton("btnPreviousPage", this);
    m_next = PageButton("btnNextPage", this);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblPage"));
    QFont bold = m_label->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    m_label->setFont(bold);
    QPalette pal = m_label->palette();
    pal.setColor(QPalette::WindowText, kStripText);
    m_label->setPalette(pal);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setMinimumWidth(120);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(12);
    row->addStretch(1);
    row->addWidget(m_previous);
    row->addWidget(m_label);
    row->addWidget(m_next);
    row->addStretch(1);
    connect(m_previous, &TBaseButton::OnClick, this, &TPageBar::Previous);
    connect(m_next, &TBaseButton::OnClick, this, &TPageBar::Next);
    UpdateTexts();
}

void TPageBar::SetPage(int page, int pages) {
    m_page = page;
    m_pages = std::max(pages, 1);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < m_pages);
    UpdateTexts();
}

void TPageBar::UpdateTexts() {
    m_label->setText(MessageTexts[MessageKey::PageNumber].arg(m_page + 1).arg(m_pages));
    m_previous->SetCaption(QStringLiteral("◀ ") + MessageTexts[MessageKey::PreviousPage]);
    m_next->SetCaption(MessageTexts[MessageKey::NextPage] + QStringLiteral(" ▶"));
    const QString keys = QStringLiteral(" (PgUp)");
    m_previous->setToolTip(MessageTexts[MessageKey::PreviousPage] + keys);
    m_next->setToolTip(MessageTexts[MessageKey::NextPage] + QStringLiteral(" (PgDn)"));
}

void TPageBar::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), kStrip);
    p.setPen(kStripLine);
    p.drawLine(0, 0, width(), 0);
}

} // namespace lumora
