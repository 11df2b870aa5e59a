// The classes, a view of the main window's view area: the teacher's classes
// with their subjects and numbers of students, the current one marked and
// first, and the buttons that switch to the chosen class (also a double
// click), make a class from an import file, rename and delete the chosen
// one. The view only shows and asks; the window does the work (ClassBook)
// and gives it the list again.
#pragma once

#include "config/ClassBook.h"

#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QStandardItemModel;
class QTableView;

namespace lumora {

class TImageButton;

class TClassesView : public QWidget {
    Q_OBJECT
public:
    explicit TClassesView(QWidget *parent);

    // Shows the classes (the current one first, as ClassBook::List gives
    // them) and keeps the chosen one chosen when it is still there.
    void SetClasses(const std::vector<ClassInfo> &classes);
    const std::vector<ClassInfo> &Classes() const { return classes_; }
    // The chosen class, or none.
    std::optional<ClassInfo> Chosen() const;
    // Chooses the row (0: the current class).
    void Choose(int row);
    // Captions and column titles in the current language (MessageTexts).
    void UpdateTexts();

Q_SIGNALS:
    void SwitchClicked(const lumora::ClassInfo &chosen);
    void NewClicked();
    void RenameClicked(const lumora::ClassInfo &chosen);
    void DeleteClicked(const lumora::ClassInfo &chosen);

protected:
    // Fills its parent, the view area, whatever its size.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void UpdateButtons();
    QString ShownName(const ClassInfo &info) const;

    std::vector<ClassInfo> classes_;
    QLabel *lblClasses_ = nullptr;
    QLabel *lblHint_ = nullptr;
    QTableView *tblClasses_ = nullptr;
    QStandardItemModel *model_ = nullptr;
    TImageButton *btnSwitch_ = nullptr;
    TImageButton *btnNew_ = nullptr;
    TImageButton *btnRename_ = nullptr;
    TImageButton *btnDelete_ = nullptr;
};

} // namespace lumora
