// The dialog that asks for a class's name and subject, when a class is made
// from an import file or renamed; on the program's dialog template.
//
// OK with an empty name is refused with an "Error" prompt (ClassNameEmpty)
// and the dialog stays open. Test seam as for the program's other dialogs:
// a responder set with SetClassDialogResponder fills the fields (edtClassName,
// edtSubject) and clicks btn1 or btn2 instead of a user; a dialog still open
// when it returns is cancelled.
#pragma once

#include "dialogs/UnModel.h"

#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;

namespace lumora {

class TFrmClassName : public TFrmModle {
    Q_OBJECT
public:
    static constexpr int kWidth = 340;
    static constexpr int kHeight = 195;

    explicit TFrmClassName(QWidget *parent = nullptr);
    void Setup(const QString &title, const QString &name, const QString &subject);

    QString Name() const;    // as cleaned (CleanClassName)
    QString Subject() const; // as cleaned
    // The OK check: a name; otherwise an "Error" prompt and false.
    bool Validate();

    int exec() override;

protected:
    void LayoutFrame() override;

private:
    QLabel *lblTitle_;
    QLabel *lblName_;
    QLabel *lblSubject_;
    QLineEdit *edtName_;
    QLineEdit *edtSubject_;
};

struct TClassName {
    QString Name;
    QString Subject;
};
// Shows the dialog with the fields filled; the entry on OK.
std::optional<TClassName> AskClassName(const QString &title, const QString &name,
                                       const QString &subject, QWidget *parent = nullptr);

using ClassDialogResponder = std::function<void(TFrmClassName &dialog)>;
// Returns the responder it replaces.
ClassDialogResponder SetClassDialogResponder(ClassDialogResponder responder);

} // namespace lumora
