#include "dialogs/UnSetName.h"

#include "config/LanguageTexts.h"
#include "config/SlotTable.h"
#include "controls/SkinButton.h"
#include "core/MessageTexts.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QValidator>

#include <algorithm>
#include <type_traits>
#include <utility>

namespace lumora {

namespace {

// Names live in fixed fields of kSlotTextBytes UTF-8 bytes: the field refuses
// the keystroke that would not fit, instead of the name being cut later.
class TSlotTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        return input.toUtf8().size() > kSlotTextBytes ? Invalid : Acceptable;
    }
};

// Answer letters are compared in upper case; typing in lower case is fine.
class TUpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

constexpr int kCardIdRole = Qt::UserRole + 1;
constexpr int kInputHeight = 21;
constexpr int kSpinWidth = 80;
constexpr int kTitleLeft = 42; // right of the logo in the title strip

PromptResponder &PromptHook() {
    static PromptResponder hook;
    return hook;
}

DialogResponder &DialogHook() {
    static DialogResponder hook;
    return hook;
}

QPointer<TFrmSetName> &Listener() {
    static QPointer<TFrmSetName> listener;
    return listener;
}

QLabel *NewLabel(QWidget *parent, const char *objectName, const QString &text, int x, int y) {
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    // Texts come from language and roster files: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QSpinBox *NewSpin(QWidget *parent, const char *objectName, int x, int y, int value) {
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(objectName));
    spin->setRange(4, 10);
    spin->setValue(value);
    spin->setGeometry(x, y, kSpinWidth, kInputHeight);
    spin->hide();
    return spin;
}

QLineEdit *NewEdit(QWidget *parent, const char *objectName, int x, int y) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(objectName));
    edit->setGeometry(x, y, 153, kInputHeight);
    return edit;
}

// Creates a dialog, prepares it, runs it modally, reads it on OK and frees
// it. The parent may go away during the modal loop; the dialog then goes
// with it and nothing is read.
template <typename Setup, typename Read>
auto RunDialog(QWidget *parent, Setup setup, Read read)
    -> std::optional<std::invoke_result_t<Read, TFrmSetName &>> {
    QPointer<TFrmSetName> dialog = new TFrmSetName(parent);
    setup(*dialog);
    const int result = dialog->exec();
    std::optional<std::invoke_result_t<Read, TFrmSetName &>> answer;
    if (dialog && result == mrOk)
        answer = read(*dialog);
    delete dialog.data();
    return answer;
}

} // namespace

std::optional<uint16_t> ParseTabletId(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 0 || value > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

// ---- TFrmSetName ------------------------------------------------------------------

TFrmSetName::TFrmSetName(QWidget *parent) : TFrmModle(parent) {
    setObjectName(QStringLiteral("FrmSetName"));
    setWindowTitle(QStringLiteral("Vote System"));

    lbl3 = new QLabel(this);
    lbl3->setObjectName(QStringLiteral("lbl3"));
    lbl3->setTextFormat(Qt::PlainText);
    lbl3->setText(QStringLiteral("Vote System"));
    lbl3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont titleFont = font();
    titleFont.setBold(true);
    lbl3->setFont(titleFont);
    QPalette titlePalette = lbl3->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    lbl3->setPalette(titlePalette);
    AddDragHandle(lbl3);

    lblStuName = NewLabel(pnlClient, "lblStuName", QStringLiteral("学生姓名"), 47, 30);
    lbl2 = NewLabel(pnlClient, "lbl2", QStringLiteral("手写板ID"), 47, 64);
    lblSLine = NewLabel(pnlClient, "lblSLine", QStringLiteral("横向座位数"), 40, 30);
    lblSLine->hide();
    lblSRow = NewLabel(pnlClient, "lblSRow", QStringLiteral("纵向座位数"), 40, 64);
    lblSRow->hide();

    edtName = NewEdit(pnlClient, "edtName", 110, 26);
    edtName->setValidator(new TSlotTextValidator(edtName));
    edtID = NewEdit(pnlClient, "edtID", 110, 60);
    se1 = NewSpin(pnlClient, "se1", 129, 26, 8);
    se2 = NewSpin(pnlClient, "se2", 128, 60, 7);
    cbbStu = new QComboBox(pnlClient);
    cbbStu->setObjectName(QStringLiteral("cbbStu"));
    cbbStu->setGeometry(110, 27, 153, kInputHeight);
    cbbStu->hide();
    connect(cbbStu, &QComboBox::currentIndexChanged, this, &TFrmSetName::ChoiceChanged);

    // OK closes only what passes the check.
    btn1->SetModalResult(mrNone);
    connect(btn1, &TImageButton::OnClick, this, [this] {
        if (Validate())
            done(mrOk);
    });

    setTabOrder(edtName, cbbStu);
    setTabOrder(cbbStu, se1);
    setTabOrder(se1, edtID);
    setTabOrder(edtID, se2);
    setTabOrder(se2, btn1);
    setTabOrder(btn1, btn2);

    resize(kWidth, kHeight);
    LayoutFrame();
}

void TFrmSetName::LayoutFrame() {
    TFrmModle::LayoutFrame();
    lbl3->setGeometry(kTitleLeft, 0, std::max(btnClose->x() - kTitleLeft - 4, 0), kTitleHeight);
}

void TFrmSetName::PlaceLabels(std::initializer_list<TLabelPlace> places) {
    constexpr int kMinGap = 3; // closer than this, a label's text touches its input
    constexpr int kGap = 6;    // between a moved label and its input
    constexpr int kMargin = 8; // left of a label that had to wrap
    bool crowded = false;
    for (const TLabelPlace &place : places) {
        place.label->setWordWrap(false);
        place.label->setText(place.text);
        place.label->adjustSize();
        if (place.input && place.label->x() + place.label->width() > place.input->x() - kMinGap)
            crowded = true;
    }
    if (!crowded)
        return;
    // Right-align the whole column of labels to their inputs, so the labels
    // of one dialog still line up with each other.
    for (const TLabelPlace &place : places) {
        QLabel *label = place.label;
        const int room = place.input->x() - kGap - kMargin;
        if (label->width() <= room) {
            label->move(place.input->x() - kGap - label->width(), label->y());
            continue;
        }
        label->setWordWrap(true);
        const int height = label->heightForWidth(room);
        label->setGeometry(kMargin, place.input->y() + (place.input->height() - height) / 2, room,
                           height);
    }
}

void TFrmSetName::MoveButtonsUp(int pixels) {
    btn1->move(btn1->x(), btn1->y() - pixels);
    btn2->move(btn2->x(), btn2->y() - pixels);
}

void TFrmSetName::SetupPrompt(const QString &title, const QString &text, bool withCancel) {
    m_mode = TSetNameMode::Prompt;
    edtName->hide();
    lbl2->hide();
    edtID->hide();
    resize(width(), height() - 30);
    MoveButtonsUp(25);

    lbl3->setText(title);
    QFont messageFont = lblStuName->font();
    messageFont.setPointSize(10);
    lblStuName->setFont(messageFont);
    lblStuName->move(30, lblStuName->y());
    PlaceLabels({{lblStuName, text, nullptr}});
    // Lines after the first make the dialog taller and move the buttons down.
    const int extra = lblStuName->height() - QFontMetrics(messageFont).height();
    if (extra > 0) {
        resize(width(), height() + extra);
        MoveButtonsUp(-extra);
    }

    if (!withCancel) {
        btn2->hide();
        btn1->move(btn1->x() + 30, btn1->y());
    }
    // Widen whenever the text and its margins (30 + 6 on the left, about the
    // same on the right) do not fit, so no text is ever clipped.
    const int labelWidth = lblStuName->width();
    if (labelWidth + 70 > width()) {
        const int w = labelWidth + 70;
        resize(w, height());
        if (withCancel) {
            btn1->move(w / 2 - 54, btn1->y());
            btn2->move(btn1->x() + btn1->width() + 40, btn2->y());
        } else {
            btn1->move(w / 2 - 24, btn1->y());
        }
    }
}

void TFrmSetName::SetupSeatCount(const QString &lineText, const QString &rowText,
                                 int screenHeight) {
    m_mode = TSetNameMode::SeatCount;
    lbl3->setText(MessageTexts[MessageKey::Tip3]);
    lblStuName->hide();
    lbl2->hide();
    edtName->hide();
    edtID->hide();
    lblSLine->show();
    lblSRow->show();
    se1->show();
    se2->show();
    PlaceLabels({{lblSLine, lineText, se1}, {lblSRow, rowText, se2}});
    se2->setValue(6);
    // Ten rows of tiles do not fit a 720-pixel screen.
    if (screenHeight == 720)
        se2->setMaximum(9);
}

void TFrmSetName::SetupSeatAssociation(const QString &name, uint16_t cardId) {
    m_mode = TSetNameMode::SeatAssociation;
    lbl3->setText(MessageTexts[MessageKey::Tip2]);
    PlaceLabels({{lblStuName, MessageTexts[MessageKey::Tip7], edtName},
                 {lbl2, MessageTexts[MessageKey::Tip8], edtID}});
    edtName->setText(name);
    edtID->setText(QString::number(cardId));
}

void TFrmSetName::SetupStudentAssociation(const SlotTable &table) {
    m_mode = TSetNameMode::StudentAssociation;
    lbl3->setText(MessageTexts[MessageKey::Tip10]);
    edtName->hide();
    cbbStu->show();
    PlaceLabels({{lblStuName, MessageTexts[MessageKey::Tip7], cbbStu},
                 {lbl2, MessageTexts[MessageKey::Tip8], edtID}});
    edtID->setEnabled(false);
    {
        const QSignalBlocker blocker(cbbStu);
        cbbStu->clear();
        const int count = std::clamp(table.Count.load(), 0, kSlotCount);
        for (int i = 0; i < count; ++i) {
            const QString name = table[i].Name.ToString();
            if (name.isEmpty())
                continue;
            cbbStu->addItem(name, i);
            cbbStu->setItemData(cbbStu->count() - 1, table[i].CardID.load(), kCardIdRole);
        }
        if (cbbStu->count() > 0)
            cbbStu->setCurrentIndex(0);
    }
    ChoiceChanged();
}

void TFrmSetName::SetupAnswerEntry(const QString &answerSetText, bool singleChoice) {
    m_mode = TSetNameMode::AnswerEntry;
    lbl3->setText(answerSetText);
    lblStuName->move(lblStuName->x() - 10, lblStuName->y());
    PlaceLabels({{lblStuName, answerSetText, edtName}});
    edtName->clear();
    edtName->setValidator(new TUpperCaseValidator(edtName));
    edtName->setMaxLength(singleChoice ? 1 : 8);
    lbl2->hide();
    edtID->hide();
    MoveButtonsUp(20);
    resize(width(), height() - 20);
}

void TFrmSetName::ListenForTablets() {
    constexpr int kHintHeight = 32; // two lines of a long translation
    m_ownTablet = TabletId().value_or(0);
    lblHeard = new QLabel(pnlClient);
    lblHeard->setObjectName(QStringLiteral("lblHeard"));
    lblHeard->setTextFormat(Qt::PlainText); // it names students
    lblHeard->setWordWrap(true);
    lblHeard->setAlignment(Qt::AlignCenter);
    lblHeard->setText(MessageTexts[MessageKey::RegisterListen]);
    lblHeard->setGeometry(16, edtID->geometry().bottom() + 4, width() - 32, kHintHeight);
    lblHeard->show();
    resize(width(), height() + kHintHeight - 10);
    MoveButtonsUp(10 - kHintHeight);
    Listener() = this;
}

TFrmSetName *TFrmSetName::ListeningDialog() {
    TFrmSetName *dialog = Listener().data();
    return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
}

void TFrmSetName::TabletHeard(uint16_t tabletId, int holder, const QString &holderName) {
    if (lblHeard == nullptr) {
        return;
    }
    const QString id = QString::number(tabletId);
    if (m_mode == TSetNameMode::StudentAssociation && holder >= 0) {
        const int index = cbbStu->findData(holder);
        if (index >= 0) {
            cbbStu->setCurrentIndex(index);
            lblHeard->setText(FormatMessage(MessageTexts[MessageKey::RegisterHeard], {id}));
            return;
        }
    }
    const bool othersTablet = m_mode == TSetNameMode::SeatAssociation && holder >= 0 &&
                              tabletId != m_ownTablet && m_named != tabletId;
    if (othersTablet) {
        m_named = tabletId;
        lblHeard->setText(FormatMessage(MessageTexts[MessageKey::RegisterTaken], {id, holderName}));
        return;
    }
    m_named.reset();
    edtID->setText(id);
    lblHeard->setText(FormatMessage(MessageTexts[MessageKey::RegisterHeard], {id}));
}

void TFrmSetName::ChoiceChanged() {
    const int index = cbbStu->currentIndex();
    if (index >= 0 && !cbbStu->currentText().isEmpty())
        edtID->setText(QString::number(cbbStu->itemData(index, kCardIdRole).toUInt()));
}

QString TFrmSetName::NameText() const {
    return edtName->text();
}

QString TFrmSetName::ChoiceText() const {
    return cbbStu->currentText();
}

int TFrmSetName::ChoiceSlot() const {
    const QVariant slot = cbbStu->currentData();
    return slot.isValid() ? slot.toInt() : -1;
}

std::optional<uint16_t> TFrmSetName::TabletId() const {
    return ParseTabletId(edtID->text());
}

int TFrmSetName::LineCount() const {
    return se1->value();
}

int TFrmSetName::RowCount() const {
    return se2->value();
}

bool TFrmSetName::Refuse(const QString &message) {
    ShowPrompt(QStringLiteral("Error"), message, false);
    return false;
}

bool TFrmSetName::Validate() {
    // "Shown" is the mode's choice of inputs, whether or not the window is
    // on screen yet.
    const bool idShown = !edtID->isHidden();
    const bool nameShown = !edtName->isHidden();
    if (idShown && nameShown) {
        if (edtName->text().isEmpty() || edtID->text().isEmpty())
            return Refuse(MessageTexts[MessageKey::Error3]);
        if (!ParseTabletId(edtID->text()))
            return Refuse(MessageTexts[MessageKey::Error4]);
    }
    if (!cbbStu->isHidden()) {
        if (cbbStu->currentText().isEmpty() || edtID->text().isEmpty())
            return Refuse(MessageTexts[MessageKey::Error3]);
        if (!ParseTabletId(edtID->text()))
            return Refuse(MessageTexts[MessageKey::Error4]);
    }
    if (idShown || !nameShown || !edtName->text().isEmpty())
        return true;
    return Refuse(MessageTexts[MessageKey::Error5]);
}

void TFrmSetName::showEvent(QShowEvent *event) {
    btn1->SetCaption(MessageTexts[MessageKey::Tip5]);
    btn2->SetCaption(MessageTexts[MessageKey::Tip6]);
    if (!event->spontaneous()) {
        const QWidget *anchor = parentWidget() ? parentWidget() : this;
        if (const QScreen *screen = anchor->screen()) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - width()) / 2,
                 area.y() + (area.height() - height()) / 2);
        }
        // The first input of the mode takes the keyboard; a prompt's OK does.
        for (QWidget *input : {static_cast<QWidget *>(edtName), static_cast<QWidget *>(cbbStu),
                               static_cast<QWidget *>(se1), static_cast<QWidget *>(btn1)}) {
            if (!input->isHidden() && input->isEnabled()) {
                input->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    TFrmModle::showEvent(event);
}

int TFrmSetName::exec() {
    // A copy: the responder may open prompts, which look the hook up again.
    const DialogResponder responder = DialogHook();
    if (!responder)
        return TFrmModle::exec();
    setResult(mrNone);
    setModal(true);
    show();
    responder(*this);
    if (isVisible())
        done(mrCancel);
    return result();
}

// ---- openers ------------------------------------------------------------------------

bool ShowPrompt(const QString &title, const QString &text, bool withCancel) {
    if (const PromptResponder responder = PromptHook())
        return responder(title, text, withCancel);
    return RunDialog(
               QApplication::activeWindow(),
               [&](TFrmSetName &dialog) { dialog.SetupPrompt(title, text, withCancel); },
               [](TFrmSetName &) { return true; })
        .has_value();
}

std::optional<TSeatCount> AskSeatCount(const LanguageTexts &texts, QWidget *parent) {
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 0;
    return RunDialog(
        parent,
        [&](TFrmSetName &dialog) {
            dialog.SetupSeatCount(texts.Value(u"LineNum"), texts.Value(u"RowNum"), screenHeight);
        },
        [](TFrmSetName &dialog) {
            return TSeatCount{dialog.LineCount(), dialog.RowCount()};
        });
}

std::optional<TAssociation> AskSeatAssociation(const QString &name, uint16_t cardId,
                                               QWidget *parent, bool listen) {
    return RunDialog(
        parent,
        [&](TFrmSetName &dialog) {
            dialog.SetupSeatAssociation(name, cardId);
            if (listen)
                dialog.ListenForTablets();
        },
        [](TFrmSetName &dialog) {
            return TAssociation{dialog.NameText(), dialog.TabletId().value_or(0), -1};
        });
}

std::optional<TAssociation> AskStudentAssociation(const SlotTable &table, QWidget *parent,
                                                  bool listen) {
    return RunDialog(
        parent,
        [&](TFrmSetName &dialog) {
            dialog.SetupStudentAssociation(table);
            if (listen)
                dialog.ListenForTablets();
        },
        [](TFrmSetName &dialog) {
            return TAssociation{dialog.ChoiceText(), dialog.TabletId().value_or(0),
                                dialog.ChoiceSlot()};
        });
}

std::optional<QString> AskAnswer(const LanguageTexts &texts, bool singleChoice, QWidget *parent) {
    return RunDialog(
        parent,
        [&](TFrmSetName &dialog) {
            dialog.SetupAnswerEntry(texts.Value(u"AnswerSet"), singleChoice);
        },
        [](TFrmSetName &dialog) { return dialog.NameText(); });
}

void CancelOpenDialogs() {
    // The innermost first; a cancelled dialog is hidden at once, so the next
    // one up becomes the active modal window.
    for (int i = 0; i < 16; ++i) {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        dialog->reject();
    }
}

// ---- test seam ----------------------------------------------------------------------

PromptResponder SetPromptResponder(PromptResponder responder) {
    return std::exchange(PromptHook(), std::move(responder));
}

DialogResponder SetDialogResponder(DialogResponder responder) {
    return std::exchange(DialogHook(), std::move(responder));
}

} // namespace lumora
