// Shared helper routines and the program-wide texts that the
// main window, its dialogs and the controls share.
//
// The answer encoding: a choice answer is an unsigned 32-bit mask in which bit
// n (1..31) stands for the option letter with character code 64 + n (bit 1 is
// A, bit 26 is Z, bits 27..31 are '[', '\', ']', '^', '_'); bit 0 carries no
// letter. A key event with key code k sets bit k (SetBit(answer, k, 1)).
//
// QtCore only: this header is part of lumora_core and needs no display. The
// free routines keep no state and may be called from any thread; the
// program-wide texts (AnswerKey, MessageTexts) belong to the user-interface
// thread.
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace lumora {

// ---------------------------------------------------------------------------
// Answer encoding
// ---------------------------------------------------------------------------

// Bit (n mod 32) of value, 0 or 1.
int GetBit(uint32_t value, uint8_t n);

// Value with bit (n mod 32) set to state: state 0 clears it, state 1 sets it,
// any other state (and a bit that already has that state) leaves value as it
// is. SetBit(6, 1, 0) == 4; SetBit(0, 33, 1) == 2.
uint32_t SetBit(uint32_t value, uint8_t n, uint8_t state);

// The option letters of an answer mask in ascending order: for n = 1..31 with
// bit n set, the character with code 64 + n. AnswerToLetters(10) == "AC";
// AnswerToLetters(0) and AnswerToLetters(1) are empty. Because the letters
// come out sorted, comparing with AnswerKey is a plain text comparison.
QString AnswerToLetters(uint32_t value);

// The answer key as it is stored from what the teacher typed: every
// character upper-cased, duplicates dropped, sorted ascending ("cab" -> "ABC",
// "BAB" -> "AB"). Characters outside A..Z and '['..'_' are kept too, so the
// caller's dialog decides what it accepts.
QString NormalizeAnswerKey(QStringView entered);

// The correct answer of the current choice question as letters in ascending
// order, or empty (Parts 2.3, 4.2, 2.5). Empty at start; set by the answer
// entry, compared against by SetAnswer and the result statistics, emptied at
// program end. User-interface thread only.
extern QString AnswerKey;

// ---------------------------------------------------------------------------
// Diagnostic log
// ---------------------------------------------------------------------------

// The line DebugLog sends: count 0 the message itself; count 1, 2, 3 the
// message followed by ": a1", ": a1 : a2", ": a1 : a2 : a3" in decimal; any
// other count an empty line. The message is never used as a format, so a
// percent sign in it is copied like any other character.
QString FormatDebugLine(QStringView message, uint8_t count, int32_t a1 = 0, int32_t a2 = 0,
                        int32_t a3 = 0);

// Sends FormatDebugLine(...) to the platform's debug output: OutputDebugString
// on Windows, the Qt logging category "lumora.debug" (debug level) elsewhere.
// Nothing is written to a file and nothing is shown to the user. Any thread.
// Example: DebugLog("ButtonSignal ID", 1, 1234) logs "ButtonSignal ID: 1234".
void DebugLog(QStringView message, uint8_t count, int32_t a1 = 0, int32_t a2 = 0, int32_t a3 = 0);

// ---------------------------------------------------------------------------
// Language keys and message texts
// ---------------------------------------------------------------------------

// The 52 language keys, in their fixed order. Each is the name of an
// element under the root element LanguageSet of Language.xml; matched exactly,
// case included ("multipleChoice", "Statisticalresults").
inline constexpr int kLanguageKeyCount = 52;
extern const std::array<const char *, kLanguageKeyCount> LanguageKeys;

// The program-wide message texts: one per key Tip1..Tip13, Warning1..5,
// Error1..5 (the 23 of LanguageKeys), then the texts added since (files, the
// lesson record, progress and pages, the lesson history), whose keys follow the 52 in
// Language.xml. A language file without those keys keeps their built-in texts.
enum class MessageKey : int {
    Tip1,
    Tip2,
    Tip3,
    Tip4,
    Tip5,
    Tip6,
    Tip7,
    Tip8,
    Tip9,
    Tip10,
    Tip11,
    Tip12,
    Tip13,
    Warning1,
    Warning2,
    Warning3,
    Warning4,
    Warning5,
    Error1,
    Error2,
    Error3,
    Error4,
    Error5,
    // Files: "%1" the file, "%2" why, "%3" the name it was kept under / why not.
    FileSaveFailed,
    FileKeptAside,
    FileNotKeptAside,
    FileIsFolder,
    FileZeroByte, // "%1" the line
    FileNotText,  // "%1" the line
    // Roster import: "%1" a number of lines / the line numbers.
    ImportLinesIgnored,
    ImportNotText,
    // The lesson record: prompt title, database set aside, folder not
    // writable, a write that failed.
    RecordTitle,
    RecordError1,
    RecordError2,
    RecordError3,
    // The answer progress ("%1" of "%2"), the pages of the grids and the live view.
    AnsweredCount,
    WrittenCount,
    PageNumber,
    PreviousPage,
    NextPage,
    // The lesson history: its navigation item, headings, column titles, the
    // question's title ("%1" lesson, "%2" question, "%3" type), what shows
    // when nothing is there, and the exports ("%1" lesson, "%2" files, or
    // "%1" why it failed).
    LessonHistory,
    HistoryLessons,
    HistoryQuestions,
    HistoryNumber,
    HistoryDate,
    HistoryTime,
    HistoryQuestionCount,
    HistoryType,
    HistoryKey,
    HistoryName,
    HistorySeat,
    HistoryAnswer,
    HistoryCorrect,
    HistoryRight,
    HistoryWrong,
    HistoryFirstPress,
    HistoryQuestionTitle,
    HistoryPictures,
    HistoryNoPictures,
    HistoryEmpty,
    HistoryCloseHint,
    ExportCsv,
    ExportXlsx,
    ExportBusy,
    ExportDone,
    ExportFailed,
};
inline constexpr int kMessageTextCount = 66;
// Messages before this one are among the 52 LanguageKeys: a missing element
// empties them. From this one on a missing or empty element keeps the
// built-in text.
inline constexpr MessageKey kFirstAddedMessage = MessageKey::FileSaveFailed;

// The language key of a message ("Tip1" .. "Error5", "FileSaveFailed" ...).
const char *MessageKeyName(MessageKey key);

// The built-in (Chinese) default of a message, used until a language file has
// been applied; Warning3..Warning5 are empty.
QString BuiltInMessageText(MessageKey key);

// A message text with its places filled: "%1" .. "%9" become args[0] ..
// args[8] (in one pass, so an argument holding "%2" stays as it is). An
// argument whose place the text lacks (a translation that dropped it) is
// added on a line of its own, so nothing the teacher must know is lost.
QString FormatMessage(const QString &text, std::initializer_list<QString> args);

// The current message texts. They start with the built-in defaults and are
// overwritten by every successful language load (see kFirstAddedMessage).
// User-interface thread only.
class MessageTextTable {
public:
    MessageTextTable(); // every text at its built-in default

    const QString &Text(MessageKey key) const { return texts_[static_cast<int>(key)]; }
    const QString &operator[](MessageKey key) const { return Text(key); }
    void Set(MessageKey key, const QString &text) { texts_[static_cast<int>(key)] = text; }
    void ResetToDefaults();

private:
    std::array<QString, kMessageTextCount> texts_;
};

// The program-wide message texts (MessageTexts).
extern MessageTextTable MessageTexts;

} // namespace lumora
