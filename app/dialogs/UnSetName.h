// UnSetName: TFrmSetName, the entry dialog that asks for everything the
// program ever asks for, and ShowPrompt, the program's message box.
//
// One dialog class in five modes. Each opener creates a fresh dialog, puts it
// into its mode, shows it modally, reads it and frees it:
//
//   prompt               ShowPrompt(title, text, withCancel)
//   seat count           AskSeatCount(texts)          first start, empty roster
//   seat association     AskSeatAssociation(name, id) seat grid, pop-up item N1
//   student association  AskStudentAssociation(table) live view, pop-up item N1
//   answer entry         AskAnswer(texts, single)     a choice question's key
//
// OK runs Validate(): a missing or malformed input is reported by an "Error"
// prompt (Error3, Error4, Error5 of MessageTexts) and the dialog stays open
// with what was entered. Cancel, Escape and the close button end every mode
// without a result.
//
// Test seam: no test (and no test of the main window) may ever block on a
// modal window. Two process-wide hooks answer the dialogs instead of a user:
//
//   SetPromptResponder(f): ShowPrompt calls f(title, text, withCancel) and
//     returns its answer; no window is created.
//   SetDialogResponder(f): TFrmSetName::exec() shows the dialog without a
//     modal loop and calls f(dialog); f fills the controls (found by object
//     name: edtName, edtID, cbbStu, se1, se2, btn1, btn2, lblStuName, lbl3,
//     ...) and clicks btn1 or btn2. A dialog still open when f returns is
//     cancelled. Prompts go to this hook too when no prompt responder is set.
//
// Both setters return the hook they replace, so a test can restore it. The
// hooks belong to the user-interface thread.
#ifndef LUMORA_CONFIG_UNSETNAME_H
#define LUMORA_CONFIG_UNSETNAME_H

#include "dialogs/UnModel.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lumora {

class LanguageTexts;
struct SlotTable;

enum class TSetNameMode {
    Form, // as created, before an opener chose a mode
    Prompt,
    SeatCount,
    SeatAssociation,
    StudentAssociation,
    AnswerEntry,
};

// A tablet ID typed as text: a decimal integer (blanks around it allowed)
// from 0 to 65535, the range a stored ID holds; anything else is no ID.
std::optional<uint16_t> ParseTabletId(const QString &text);

class TFrmSetName : public TFrmModle {
    Q_OBJECT
public:
    static constexpr int kWidth = 321;
    static constexpr int kHeight = 195;

    explicit TFrmSetName(QWidget *parent = nullptr);

    // The modes. Call one of them once, on a fresh dialog, before exec().
    // Titles and labels of the associations come from MessageTexts.
    void SetupPrompt(const QString &title, const QString &text, bool withCancel);
    // screenHeight: the height of the screen in pixels; on a screen exactly
    // 720 pixels high at most 9 rows are offered.
    void SetupSeatCount(const QString &lineText, const QString &rowText, int screenHeight);
    void SetupSeatAssociation(const QString &name, uint16_t cardId);
    // Offers the non-empty names of the roster entries in table order.
    void SetupStudentAssociation(const SlotTable &table);
    // At most 1 character for a single-choice question, else 8; upper case.
    void SetupAnswerEntry(const QString &answerSetText, bool singleChoice);

    TSetNameMode Mode() const { return m_mode; }

    // Association modes, after their setup: a line under the inputs asks for
    // a key on the student's tablet, and the dialog becomes the one that
    // ListeningDialog() returns while it is open.
    void ListenForTablets();
    // A key pressed on tablet tabletId while the dialog listens; holder is
    // the roster entry whose seat holds the tablet (-1: nobody's).
    //   seat association: a tablet nobody holds, or the seat's own, fills
    //     the ID at once; another seat's tablet is named first and filled
    //     in at its next press (both seats then hold it, as when typed).
    //   student association: a held tablet chooses its student; a tablet
    //     nobody holds fills the ID.
    void TabletHeard(uint16_t tabletId, int holder, const QString &holderName);
    // The listening dialog that is open, or null. User-interface thread.
    static TFrmSetName *ListeningDialog();

    // What the dialog holds; meaningful after exec() returned mrOk.
    QString NameText() const;                 // edtName: the student's name or the answer
    QString ChoiceText() const;               // cbbStu: the chosen student's name
    int ChoiceSlot() const;                   // roster entry of the chosen student, or -1
    std::optional<uint16_t> TabletId() const; // edtID
    int LineCount() const;                    // se1
    int RowCount() const;                     // se2

    // The OK check: true when the dialog may close with OK; otherwise the
    // first fault has been reported by an "Error" prompt.
    bool Validate();

    // Modal, unless a dialog responder is set (see above).
    int exec() override;

protected:
    void LayoutFrame() override;
    void showEvent(QShowEvent *event) override;

private:
    struct TLabelPlace {
        QLabel *label;
        QString text;
        const QWidget *input; // the input right of the label, or null
    };
    // Sets the texts and sizes of a column of labels. When one of them would
    // come too close to its input (a long translation), the column is
    // right-aligned to the inputs, wrapping a label that still does not fit.
    void PlaceLabels(std::initializer_list<TLabelPlace> places);
    void ChoiceChanged();
    void MoveButtonsUp(int pixels);
    // Shows an "Error" prompt with the message; always false.
    bool Refuse(const QString &message);

    TSetNameMode m_mode = TSetNameMode::Form;
    QLabel *lbl3;
    QLabel *lblStuName;
    QLabel *lbl2;
    QLabel *lblSLine;
    QLabel *lblSRow;
    QLabel *lblHeard = nullptr;      // made by ListenForTablets
    uint16_t m_ownTablet = 0;        // the seat's tablet when the dialog opened
    std::optional<uint16_t> m_named; // another seat's tablet, named once
    QLineEdit *edtName;
    QLineEdit *edtID;
    QSpinBox *se1;
    QSpinBox *se2;
    QComboBox *cbbStu;
};

// ---- openers --------------------------------------------------------------------

// Shows the message box; true when it was closed with OK, false on Cancel,
// Escape or the close button. Needs a QApplication but no main window.
bool ShowPrompt(const QString &title, const QString &text, bool withCancel);

struct TSeatCount {
    int Line = 0; // seats across, 4..10
    int Row = 0;  // seats down, 4..10 (4..9 on a 720-pixel screen)
};
// The seat-count dialog of the first start; labels LineNum and RowNum.
std::optional<TSeatCount> AskSeatCount(const LanguageTexts &texts, QWidget *parent = nullptr);

struct TAssociation {
    QString Name; // at most kSlotTextBytes UTF-8 bytes when typed
    uint16_t CardID = 0;
    int Slot = -1; // student association: the entry the name came from
};
// Seat association, prefilled with the seat's name and tablet ID. listen:
// the dialog also takes a tablet by a key pressed on it (ListenForTablets);
// the caller forwards what it hears to ListeningDialog().
std::optional<TAssociation> AskSeatAssociation(const QString &name, uint16_t cardId,
                                               QWidget *parent = nullptr, bool listen = false);
// Student association: a student of the roster and that student's tablet ID.
std::optional<TAssociation> AskStudentAssociation(const SlotTable &table, QWidget *parent = nullptr,
                                                  bool listen = false);
// The answer key as typed (upper case, not empty); title and label AnswerSet.
std::optional<QString> AskAnswer(const LanguageTexts &texts, bool singleChoice,
                                 QWidget *parent = nullptr);

// Cancels every modal dialog that is open (innermost first), as its close
// button would: their openers go on as after Cancel. Used when the program is
// asked to end while a dialog waits for the teacher.
void CancelOpenDialogs();

// ---- test seam --------------------------------------------------------------------

using PromptResponder =
    std::function<bool(const QString &title, const QString &text, bool withCancel)>;
using DialogResponder = std::function<void(TFrmSetName &dialog)>;

PromptResponder SetPromptResponder(PromptResponder responder);
DialogResponder SetDialogResponder(DialogResponder responder);

} // namespace lumora

#endif // LUMORA_CONFIG_UNSETNAME_H
