// The program-wide message texts and the language keys: the texts every
// prompt, caption and label takes, in the current language, with their
// built-in (Chinese) defaults.
//
// QtCore only. The table belongs to the user-interface thread.
#pragma once

#include <QString>

#include <array>
#include <initializer_list>

namespace lumora {

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
    // The name an export is offered under ("%1" the date, "%2" the lesson),
    // the import's file dialog (the kind of file of its filter) and the
    // import's form with an example; the display settings: the group, the
    // scale and when it takes effect, the window's screen ("%1" of "%2")
    // and the button that moves it to the next one.
    ExportFileName,
    ImportFiles,
    ImportFormat,
    DisplaySet,
    DisplayScale,
    DisplayScaleNote,
    DisplayScreen,
    ScreenNumber,
    NextScreen,
    // Classes: the navigation item, the view's columns, buttons and hint,
    // the dialogs, what a deletion keeps ("%1" the class, "%2" the file) and
    // what went wrong ("%1" the name, or the file and why). Item analysis:
    // the hints ("%1" an option's letter).
    Classes,
    ClassUnnamed,
    ClassName,
    ClassSubject,
    ClassStudents,
    ClassCurrent,
    ClassSwitch,
    ClassNew,
    ClassRename,
    ClassDelete,
    ClassHint,
    ClassNewTitle,
    ClassRenameTitle,
    ClassDeleteConfirm,
    ClassDeleted,
    ClassNameEmpty,
    ClassNameTaken,
    ClassNotFound,
    ClassFileError,
    ClassNotKeptAside,
    ItemHard,
    ItemEasy,
    ItemNoDiscrimination,
    ItemNegativeDiscrimination,
    ItemDistractorUnused,
    ItemDistractorDrawsUpper,
    // A second start on a data folder the program already runs on ("%1" the folder).
    AlreadyRunning,
    // An import with a line that is no student ("%1" its number, "%2" the
    // line, "%3" the form expected).
    ImportBadLine,
    // A file that is not read: not an ordinary file, or larger than "%1" MB.
    FileNotOrdinary,
    FileTooLarge,
    // A write found the lesson record damaged.
    RecordDamaged,
    PlanRow,
    PlanNoColumn,
    PlanUnknownColumn,
    PlanBadType,
    PlanKeyMissing,
    PlanBadKey,
    PlanKeyTooLong,
    PlanKeyOnHandwritten,
    PlanBadSeconds,
    PlanBadPoints,
    PlanBadPicture,
    PlanTooManyCells,
    PlanOpenQuote,
    PlanNotText,
    PlanNoQuestions,
    PlanCounter,
    PlanFileMissing,
    PlanPrevious,
    PlanRepeat,
    PlanNext,
    PlanAdd30,
    PlanAdd60,
    PlanPause,
    PlanResume,
    PlanSets,
    PlanEndOfSet,
    PlanTypeSingle,
    PlanTypeMultiple,
    PlanTypeHandwritten,
    PlanQuestions,
    PlanRun,
    PlanNew,
    PlanImport,
    PlanExport,
    PlanAdd,
    PlanDelete,
    PlanUp,
    PlanDown,
    PlanSave,
    PlanColumnType,
    PlanColumnKey,
    PlanColumnText,
    PlanColumnPicture,
    PlanColumnSeconds,
    PlanColumnPoints,
    PlanNoPicture,
    PlanNewName,
    PlanFileFilter,
    PlanQuestionRow,
    PlanNotTaken,
    PlanHint,
    HelpPage,
    PlanHideAnswers,
    PlanReveal,
    PlanAnonymous,
    PlanPick,
    PlanPickAnswered,
    PlanPickWrong,
    PlanPicked,
    PlanNobody,
    RegisterListen,
    RegisterHeard,
    RegisterTaken,
    PlanSound,
    HistoryShareRight,
    HistoryHints,
    HistoryLessonScores,
    HistoryItemDetail,
    HistoryGradeHint,
    HistoryGraded,
    HistoryAttendance,
    HistoryAttendanceTitle,
    HistoryPresence,
    HistoryFirstHeard,
    HistoryLastHeard,
    HistoryPresent,
    HistorySilent,
    HistoryAbsent,
    HistoryAllClasses,
    HistoryUnnamedClass,
    HistoryBinEntry,
    HistoryTitle,
    HistoryEditTitle,
    HistoryToBin,
    HistoryRestore,
    HistoryEmptyBin,
    HistoryEmptyBinAsk,
    HistoryNoLessonsHere,
    HistoryClass,
    HistoryTerm,
    TermTitle,
    TermFrom,
    TermTo,
    TermLoading,
    TermNoLessons,
    TermFileName,
    TermExportDone,
    TermTotal,
    TermPossible,
    TermPercent,
    TermAttended,
    TermHeld,
    TermTablet,
    TermLesson,
};
inline constexpr int kMessageTextCount = 210;
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
