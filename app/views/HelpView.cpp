#include "views/HelpView.h"

#include "core/MessageTexts.h"

#include <QEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace lumora {

THelpView::THelpView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlHelp"));
    setAutoFillBackground(true);
    page_ = new QTextBrowser(this);
    page_->setObjectName(QStringLiteral("txtHelp"));
    page_->setOpenExternalLinks(false);
    page_->setStyleSheet(
        QStringLiteral("QTextBrowser { background: white; border: 1px solid #c9d6e3;"
                       " color: #1f3b57; padding: 12px 18px; }"));
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(24, 24, 24, 24);
    root->addWidget(page_);
    UpdateTexts();
    if (parent != nullptr) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
}

void THelpView::UpdateTexts() {
    page_->setMarkdown(MessageTexts[MessageKey::HelpPage]);
    // Larger than the window's small font: read from a step away.
    QFont font = page_->font();
    font.setPixelSize(15);
    page_->document()->setDefaultFont(font);
}

bool THelpView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumora
