#include "dialogs/ClassDialog.h"

#include "config/ClassBook.h"
#include "controls/SkinButton.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace lumora {

namespace {

constexpr int kTitleLeft = 42; // right of the logo in the title strip
constexpr int kLabelLeft = 20;
constexpr int kInputLeft = 110;
constexpr int kInputWidth = 190;
constexpr int kInputHeight = 21;

ClassDialogResponder &Hook() {
    static ClassDialogResponder hook;
    return hook;
}

QLabel *NewLabel(QWidget *parent, const char *name, int y) {
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(kLabelLeft, y, kInputLeft - kLabelLeft - 6, kInputHeight);
    return label;
}

QLineEdit *NewEdit(QWidget *parent, const char *name, int y) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(kInputLeft, y, kInputWidth, kInputHeight);
    edit->setMaxLength(kClassNameLength);
    return edit;
}

} // namespace

TFrmClassName::TFrmClassName(QWidget *parent) : TFrmModle(parent) {
    setObjectName(QStringLiteral("FrmClassName"));
    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lbl3"));
    lblTitle_->setTextFormat(Qt::PlainText);
    QFont bold = font();
    bold.setBold(true);
    lblTitle_->setFont(bold);
    QPalette white = lblTitle_->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    lblTitle_->setPalette(white);
    AddDragHandle(lblTitle_);

    lblName_ = NewLabel(pnlClient, "lblClassName", 26);
    lblSubject_ = NewLabel(pnlClient, "lblSubject", 60);
    edtName_ = NewEdit(pnlClient, "edtClassName", 26);
    edtSubject_ = NewEdit(pnlClient, "edtSubject", 60);

    btn1->SetModalResult(mrNone);
    connect(btn1, &TImageButton::OnClick, this, [this] {
        if (Validate()) {
            done(mrOk);
        }
    });
    btn1->SetCaption(MessageTexts[MessageKey::Tip5]);
    btn2->SetCaption(MessageTexts[MessageKey::Tip6]);
    setTabOrder(edtName_, edtSubject_);
    setTabOrder(edtSubject_, btn1);
    setTabOrder(btn1, btn2);
    resize(kWidth, kHeight);
    LayoutFrame();
}

void TFrmClassName::Setup(const QString &title, const QString &name, const QString &subject) {
    setWindowTitle(title);
    lblTitle_->setText(title);
    lblName_->setText(MessageTexts[MessageKey::ClassName]);
    lblSubject_->setText(MessageTexts[MessageKey::ClassSubject]);
    edtName_->setText(name);
    edtSubject_->setText(subject);
    edtName_->selectAll();
    edtName_->setFocus();
}

void TFrmClassName::LayoutFrame() {
    TFrmModle::LayoutFrame();
    const int w = width();
    lblTitle_->setGeometry(kTitleLeft, 0, std::max(btnClose->x() - kTitleLeft - 4, 0),
                           kTitleHeight);
    btn1->move(w / 2 - btn1->width() - 16, btn1->y());
    btn2->move(w / 2 + 16 - kEdgeWidth, btn2->y());
}

QString TFrmClassName::Name() const {
    return CleanClassName(edtName_->text());
}

QString TFrmClassName::Subject() const {
    return CleanClassName(edtSubject_->text());
}

bool TFrmClassName::Validate() {
    if (Name().isEmpty()) {
        ShowPrompt(QStringLiteral("Error"), MessageTexts[MessageKey::ClassNameEmpty], false);
        edtName_->setFocus();
        return false;
    }
    return true;
}

int TFrmClassName::exec() {
    const ClassDialogResponder responder = Hook();
    if (!responder) {
        return TFrmModle::exec();
    }
    setResult(mrNone);
    setModal(true);
    show();
    responder(*this);
    if (isVisible()) {
        done(mrCancel);
    }
    return result();
}

std::optional<TClassName> AskClassName(const QString &title, const QString &name,
                                       const QString &subject, QWidget *parent) {
    QPointer<TFrmClassName> dialog = new TFrmClassName(parent);
    dialog->Setup(title, name, subject);
    const int result = dialog->exec();
    std::optional<TClassName> entry;
    if (dialog && result == mrOk) {
        entry = TClassName{dialog->Name(), dialog->Subject()};
    }
    delete dialog.data();
    return entry;
}

ClassDialogResponder SetClassDialogResponder(ClassDialogResponder responder) {
    return std::exchange(Hook(), std::move(responder));
}

} // namespace lumora
