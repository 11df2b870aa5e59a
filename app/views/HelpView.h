// The help page, a view of the main window's view area (F1): the keys and a
// teacher's first lesson, in the current language (MessageTexts, written in
// Markdown).
#pragma once

#include <QWidget>

class QTextBrowser;

namespace lumora {

class THelpView : public QWidget {
    Q_OBJECT
public:
    explicit THelpView(QWidget *parent);
    void UpdateTexts();
    QTextBrowser *Page() const { return page_; }

protected:
    // Fills its parent, the view area, whatever its size.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTextBrowser *page_ = nullptr;
};

} // namespace lumora
