// The question sets, a view of the main window's view area: the sets of the
// data folder on the left with the buttons that run, make, import and
// export one; the chosen set's questions on the right as a table the teacher
// edits (add, change, move up and down, delete, save), with the picture of
// the chosen question shown beside it. The window runs a set; what the view
// cannot take (a bad row, a file that cannot be written) it hands the window
// as ProblemsFound, to be shown in a prompt.
#pragma once

#include "config/QuestionSet.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QStandardItemModel;
class QTableView;

namespace lumora {

class TImageButton;

class TQuestionSetsView : public QWidget {
    Q_OBJECT
public:
    TQuestionSetsView(const QString &dataDir, QWidget *parent);

    // Lists the sets again and chooses the one named (else the first).
    void Reload(const QString &chosen = QString());
    QString ChosenSet() const;
    void ChooseSet(const QString &name);
    // The questions of the table as they stand, in order; a problem of any
    // row reported.
    SetReadResult EditedQuestions() const;
    QTableView *Table() const { return table_; }
    void UpdateTexts();

    // What the buttons do, also reached by tests and the tour. Import and
    // export ask for a file (an empty path asks, dialogs/OpenFile.h and
    // views/HistoryView.h have the responders).
    void ImportSet(const QString &path = QString());
    void ExportSet(const QString &path = QString());
    void NewSet();
    bool SaveSet();
    void AddQuestion();
    void DeleteQuestion();
    void MoveQuestion(int step);

Q_SIGNALS:
    void RunClicked(const QString &name);
    void ProblemsFound(const QString &name, const QStringList &problems);

protected:
    // Fills its parent, the view area, whatever its size.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowSet(const QString &name);
    void ShowPicture();
    void AppendRow(const PlannedQuestion &question);
    void Renumber();
    void UpdateButtons();

    QString dataDir_;
    QString shown_; // the set in the table
    QLabel *lblSets_ = nullptr;
    QLabel *lblQuestions_ = nullptr;
    QLabel *picture_ = nullptr;
    QLabel *lblHint_ = nullptr;
    QListWidget *sets_ = nullptr;
    QTableView *table_ = nullptr;
    QStandardItemModel *model_ = nullptr;
    TImageButton *btnRun_ = nullptr;
    TImageButton *btnNew_ = nullptr;
    TImageButton *btnImport_ = nullptr;
    TImageButton *btnExport_ = nullptr;
    TImageButton *btnAdd_ = nullptr;
    TImageButton *btnDelete_ = nullptr;
    TImageButton *btnUp_ = nullptr;
    TImageButton *btnDown_ = nullptr;
    TImageButton *btnSave_ = nullptr;
};

} // namespace lumora
