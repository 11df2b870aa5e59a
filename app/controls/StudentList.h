// The student list beside the live view: a heading, one row per pane with
// the student's name (cut with an ellipsis, whole in the row's tooltip), and
// the previous / next page buttons under it.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QTreeWidget;

namespace lumora {

class TImageButton;

class TStudentList : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 130;

    explicit TStudentList(QWidget *parent = nullptr);

    // One row per name, in order.
    void Fill(const QStringList &names);
    void SetRow(int index, const QString &name);
    // The selected row, not the current one (a row stays current after its
    // selection was taken back); -1 when none is.
    int SelectedRow() const;
    // Makes row index the current one and scrolls it into view.
    void ShowRow(int index);

    void SetHeading(const QString &text);
    void SetPageTexts(const QString &previous, const QString &next);

Q_SIGNALS:
    void RowPressed();
    void PreviousPage();
    void NextPage();

private:
    QLabel *heading_ = nullptr;
    QTreeWidget *rows_ = nullptr;
    TImageButton *previous_ = nullptr;
    TImageButton *next_ = nullptr;
};

} // namespace lumora
