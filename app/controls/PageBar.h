// The strip under a grid that has more students than one page shows: the
// previous and next page buttons around "第 1 / 2 页". The grid shows it only
// while there is more than one page.
#pragma once

#include <QWidget>

class QLabel;

namespace lumora {

class TImageButton;

class TPageBar : public QWidget {
    Q_OBJECT
public:
    explicit TPageBar(QWidget *parent = nullptr);
    // page counts from 0; the buttons that lead nowhere are disabled.
    void SetPage(int page, int pages);
    // The texts of the current language (PageNumber, PreviousPage, NextPage).
    void UpdateTexts();

    TImageButton *PreviousButton() const { return m_previous; }
    TImageButton *NextButton() const { return m_next; }
    QLabel *PageLabel() const { return m_label; }

Q_SIGNALS:
    void Previous();
    void Next();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TImageButton *m_previous;
    TImageButton *m_next;
    QLabel *m_label;
    int m_page = 0;
    int m_pages = 1;
};

// Height of the strip.
inline constexpr int kPageBarHeight = 32;

} // namespace lumora
