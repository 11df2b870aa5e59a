// The lesson history, a view of the main window's view area: the recorded
// lessons (newest first), the questions of the chosen lesson, and for the
// chosen question the result chart, the table of its students and, for a
// handwritten question, the saved pictures, any of which opens large
// (Escape or a click closes it). A lesson exports to CSV or Excel on a worker
// thread while the view shows that it is busy.
//
// Work off the window's thread runs on a thread of its own; its result comes
// through a future (no lock of Qt's between the threads) and an event tells
// the view it is there.
//
// Reading the record is small and done on the window's thread; decoding the
// pictures and exporting are not.
#pragma once

#include "core/BackgroundJob.h"
#include "record/Export.h"
#include "record/LessonHistory.h"

#include <QDate>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QListView;
class QProgressBar;
class QStackedWidget;
class QStandardItem;
class QStandardItemModel;
class QTableView;

namespace lumora {

class LanguageTexts;
class TImageButton;
class TResultChart;
class TPictureOverlay;
class TTermPage;

// The file an export goes to, asked with the platform's save dialog.
// Test seam, as for the program's other dialogs: a responder set here
// answers instead (an empty path is Cancel), so nothing waits for a user.
using SaveFileResponder = std::function<QString(const QString &caption, const QString &suggested)>;
SaveFileResponder SetSaveFileResponder(SaveFileResponder responder);
QString AskSaveFile(QWidget *parent, const QString &caption, const QString &suggested,
                    const QString &filter);

// Asks where an export goes, offering the name pattern makes of date and
// what ("%1 lesson %2") in the teacher's documents folder; the path with the
// format's suffix, or empty on Cancel.
QString AskExportPath(QWidget *parent, ExportFormat format, const QString &pattern, QDate date,
                      const QString &what);

// A table of the history: white rows alternating with light blue, whole rows
// chosen one at a time, nothing edited.
QTableView *HistoryTable(const char *name, QStandardItemModel *model, QWidget *parent);

class THistoryView : public QWidget {
    Q_OBJECT
public:
    THistoryView(const QString &dataDir, QWidget *parent);
    // Waits for an export or picture decoding still running.
    ~THistoryView() override;

    // Reads the record again and chooses the newest lesson (or keeps the
    // chosen one when it is still there).
    void Reload();
    // Captions and column titles in the current language (MessageTexts; the
    // question types from texts).
    void UpdateTexts(const LanguageTexts &texts);

    // Chooses a question of the chosen lesson by its number as shown; false
    // when there is none.
    bool ShowQuestion(int number);

    // The pictures of the chosen question (thumbnails once loaded): opening
    // one shows it large.
    bool PicturesLoaded() const { return picturesLoaded_; }
    const std::vector<PictureInfo> &Pictures() const { return pictures_; }
    void OpenPicture(int index);
    void ClosePicture();
    // Grades the answer of picture index (points from 0, none takes the
    // grade back) in the record; false when the record refuses (the picture
    // then says why).
    bool GradePicture(int index, std::optional<double> points);
    // Who of the chosen lesson's students was present (answered), present
    // but silent (heard, never answered) or absent, in the result area;
    // false when the record refuses.
    bool ShowAttendance();
    // The term of the listed class (the class being taught when all classes
    // or the bin are listed) in the result area, read off the window's
    // thread.
    void ShowTerm();
    TTermPage *TermPage() const { return pnlTerm_; }

    // The lessons the table lists: a class's (by its file; empty for the
    // unnamed class), all outside the bin, or those in the bin. False when
    // the record lists no such choice.
    bool ListClass(const QString &classFile);
    bool ListAllClasses();
    bool ListBin();
    // The chosen lesson to the bin (or, listing the bin, back out of it).
    bool BinChosenLesson();
    // Asks, then removes the lessons in the bin for good.
    bool EmptyBin();

    // Asks for a file, then exports the chosen lesson on a worker thread;
    // the outcome is a prompt.
    void Export(ExportFormat format);
    bool Exporting() const;

Q_SIGNALS:
    // After the outcome's prompt was answered.
    void ExportFinished(bool ok);

protected:
    bool event(QEvent *event) override;
    // Fills its parent, the view area, whatever its size.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // With a handwritten answer open large: 1 right (the question's points),
    // 0 wrong, 2 to 9 that many points (at most the question's), Delete
    // takes the grade back; the next picture comes up at once.
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildLayout();
    // The classes and the bin in the filter, keeping the choice (first: the
    // class being taught).
    void FillClasses();
    bool ChooseFilter(const QString &key);
    // The lessons of the filter, newest first; keepLesson stays chosen.
    void ShowLessons(int keepLesson);
    bool ListingBin() const;
    void TitleEdited(QStandardItem *item);
    void ShowLessonRow(int row);
    void ShowQuestionRow(int row);
    void ClearQuestion();
    void ShowMessage(const QString &text);
    void LoadPictures();
    // The question shown, or null.
    const QuestionInfo *ShownQuestion() const;
    // "  ·  2 of 3 points" for a graded picture, else empty.
    QString GradeText(const PictureInfo &picture) const;
    // The item analysis beside the questions and above them; false (with
    // the message shown) when the record fails.
    bool ShowAnalysis();
    void PicturesDecoded();
    void ExportDone();
    QString TypeName(int type) const;
    // The questions' heading with the lesson's summary, elided to its room.
    void FitQuestionsHeading();

    const QString dataDir_;
    LessonHistory history_;
    bool open_ = false;
    int lesson_ = 0;
    int question_ = 0;
    std::vector<LessonInfo> allLessons_; // oldest first, as the record has them
    std::vector<LessonInfo> lessons_;    // the table's rows
    bool fillingLessons_ = false;
    std::vector<QuestionInfo> questions_;
    std::vector<PictureInfo> pictures_;
    bool picturesLoaded_ = true;
    int openPicture_ = -1;
    uint64_t pictureRound_ = 0;
    QString typeNames_[3];
    QString questionsHeading_;
    QString exportPath_;
    int exportLesson_ = 0;
    ExportFormat exportFormat_ = ExportFormat::Csv;

    QTableView *tblLessons_ = nullptr;
    QTableView *tblQuestions_ = nullptr;
    QTableView *tblStudents_ = nullptr;
    QStandardItemModel *lessonModel_ = nullptr;
    QStandardItemModel *questionModel_ = nullptr;
    QStandardItemModel *studentModel_ = nullptr;
    QStandardItemModel *pictureModel_ = nullptr;
    QLabel *lblLessons_ = nullptr;
    QComboBox *cmbClass_ = nullptr;
    QLabel *lblQuestions_ = nullptr;
    QLabel *lblQuestion_ = nullptr;
    QLabel *lblEmpty_ = nullptr;
    QLabel *lblNoPictures_ = nullptr;
    QLabel *lblExport_ = nullptr;
    QProgressBar *prgExport_ = nullptr;
    QWidget *pnlContent_ = nullptr;
    QStackedWidget *stkResult_ = nullptr;
    TResultChart *chart_ = nullptr;
    QListView *lstPictures_ = nullptr;
    QWidget *pnlPictures_ = nullptr;
    TImageButton *btnExportCsv_ = nullptr;
    TImageButton *btnExportXlsx_ = nullptr;
    TImageButton *btnAttendance_ = nullptr;
    TImageButton *btnTitle_ = nullptr;
    TImageButton *btnBin_ = nullptr;
    TImageButton *btnEmptyBin_ = nullptr;
    TImageButton *btnTerm_ = nullptr;
    TTermPage *pnlTerm_ = nullptr;
    QTableView *tblAttendance_ = nullptr;
    QStandardItemModel *attendanceModel_ = nullptr;
    TPictureOverlay *overlay_ = nullptr;

    // Thumbnails of one question (round tells which); a new question stops
    // the decoding of the last at its next picture.
    struct Decoded {
        uint64_t round = 0;
        std::vector<QImage> images;
    };
    BackgroundJob<Decoded> decoding_;
    std::shared_ptr<std::atomic<bool>> decodingStopped_;
    BackgroundJob<std::pair<bool, QString>> exporting_;
};

} // namespace lumora
