#include "Tour.h"

#include "Main.h"
#include "config/ClassBook.h"
#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"
#include "dialogs/ClassDialog.h"
#include "dialogs/UnSetName.h"
#include "record/Recorder.h"
#include "views/GroupBar.h"
#include "views/HistoryView.h"
#include "views/QuestionSetsView.h"
#include "views/TermPage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace lumora {

namespace {

struct Step {
    int delayMs; // before the step runs
    std::function<void()> action;
    // When given, the step waits (after the delay) until this holds, at
    // most kReadyWaitMs: a loaded machine takes longer.
    std::function<bool()> ready = {};
};

constexpr int kReadyPollMs = 100;
constexpr int kReadyWaitMs = 15000;

void RunSteps(std::shared_ptr<std::vector<Step>> steps, size_t index, int waited = 0) {
    if (index >= steps->size()) {
        return;
    }
    const Step &step = (*steps)[index];
    const int delay = waited == 0 ? step.delayMs : kReadyPollMs;
    QTimer::singleShot(delay, qApp, [steps, index, waited, delay] {
        const Step &now = (*steps)[index];
        if (now.ready && !now.ready() && waited < kReadyWaitMs) {
            // A step without a delay still counts as having waited, so that
            // the next polls come kReadyPollMs apart and the wait ends.
            RunSteps(steps, index, waited + std::max(delay, 1));
            return;
        }
        now.action();
        RunSteps(steps, index + 1);
    });
}

// The class the simulated receiver brings (tablets 1 to 30).
const char16_t *const kClass[] = {
    u"王小明", u"李华", u"张伟", u"刘洋", u"陈静", u"杨帆", u"赵磊", u"黄敏", u"周杰", u"吴婷",
    u"徐浩",   u"孙悦", u"马骏", u"朱琳", u"胡斌", u"郭晓", u"何佳", u"高翔", u"林雪", u"罗丹",
    u"郑凯",   u"梁爽", u"谢文", u"宋雨", u"唐宁", u"韩梅", u"冯涛", u"邓超", u"曹颖", u"彭程",
};

bool AnySeatHasATablet(TFrmMain &window) {
    SlotTable &table = window.Table();
    const int count = table.Count.load();
    for (int i = 0; i < count; ++i) {
        if (table[i].CardID.load() != 0) {
            return true;
        }
    }
    return false;
}

// A fresh data folder has seats but nobody on them: the class comes in by
// the program's own roster import.
void SeatTheClass(TFrmMain &window, const QString &pictureDir) {
    if (AnySeatHasATablet(window)) {
        return;
    }
    const QString path = QDir(pictureDir).filePath(QStringLiteral("tour-class.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return;
    }
    QByteArray lines;
    int id = 0;
    for (const char16_t *name : kClass) {
        lines += QString::fromUtf16(name).toUtf8() + '#' + QByteArray::number(++id) + '\n';
    }
    if (file.write(lines) != lines.size() || !file.flush()) {
        return;
    }
    file.close();
    window.ImportRoster(path);
}

// The second class the teacher teaches, on the same tablets: an import file
// beside the pictures. Returns its path, or empty.
QString WriteSecondClass(const QString &pictureDir) {
    const QString path = QDir(pictureDir).filePath(QStringLiteral("tour-class-5.txt"));
    QFile file(path);
    QByteArray lines;
    const char16_t *const surnames[] = {u"陈", u"林", u"王", u"张", u"李", u"赵"};
    const char16_t *const givenNames[] = {u"一鸣", u"子涵", u"思远", u"欣怡", u"浩然"};
    for (int id = 1; id <= 30; ++id) {
        lines += (QString::fromUtf16(surnames[(id - 1) % 6]) +
                  QString::fromUtf16(givenNames[(id - 1) / 6]))
                     .toUtf8() +
                 '#' + QByteArray::number(id) + '\n';
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(lines) != lines.size() || !file.flush()) {
        return QString();
    }
    return path;
}

// The class of that name, to switch to.
std::optional<ClassInfo> FindClass(const TFrmMain &window, const QString &name) {
    return ClassBook(window.DataDir()).Find(name);
}

// A small prepared set: a choice question with a time limit, a multiple
// choice one, a handwritten one with a picture; written beside the pictures
// as a teacher's spreadsheet would be. Returns its path, or empty.
QString WriteTourSet(const QString &pictureDir) {
    QImage triangle(480, 320, QImage::Format_RGB32);
    triangle.fill(Qt::white);
    {
        QPainter p(&triangle);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 85, 142), 6));
        p.drawPolygon(QPolygon({QPoint(60, 280), QPoint(420, 280), QPoint(160, 50)}));
        p.setFont(QFont(p.font().family(), 28));
        p.drawText(QPoint(40, 310), QStringLiteral("A"));
        p.drawText(QPoint(425, 310), QStringLiteral("B"));
        p.drawText(QPoint(150, 40), QStringLiteral("C"));
    }
    const QString picture = QDir(pictureDir).filePath(QStringLiteral("triangle.png"));
    const QString path = QDir(pictureDir).filePath(QStringLiteral("Triangles.csv"));
    QFile file(path);
    const QByteArray csv =
        QStringLiteral("type,key,text,picture,seconds,points\r\n"
                       "single,B,三角形的内角和是多少？ A. 90° B. 180° C. 360°,,45,1\r\n"
                       "multiple,AC,哪些是锐角三角形的性质？,,,2\r\n"
                       "handwritten,,量出角 C 并写出计算过程,triangle.png,,3\r\n")
            .toUtf8();
    if (!triangle.save(picture) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(csv) != csv.size() || !file.flush()) {
        return QString();
    }
    return path;
}

} // namespace

void AnswerDialogWithOk(TFrmSetName &dialog) {
    if (auto *ok = dialog.findChild<TImageButton *>(QStringLiteral("btn1"))) {
        ok->Click();
    }
}

// The zoomed pane shows someone writing, not whoever is first on the page.
static void SelectWritingPane(TBGPanel &grid) {
    const int end = std::min(grid.PageStart() + grid.PaneCount(), grid.TileCount());
    for (int index = grid.PageStart(); index < end; ++index) {
        if (const TStdChannel *tile = grid.GetTile(index); tile != nullptr && tile->Writing()) {
            grid.SelectTile(index);
            return;
        }
    }
}

// The largest file holds the most ink: the picture worth opening large.
static int FullestPicture(const std::vector<PictureInfo> &pictures) {
    int fullest = 0;
    qint64 largest = -1;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const qint64 size = QFileInfo(pictures[i].path).size();
        if (size > largest) {
            largest = size;
            fullest = static_cast<int>(i);
        }
    }
    return fullest;
}

static QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// Answers the class dialog with a name and subject, and OK.
static ClassDialogResponder AnswerClassDialog(const QString &name, const QString &subject) {
    return [name, subject](TFrmClassName &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("edtClassName"))->setText(name);
        dialog.findChild<QLineEdit *>(QStringLiteral("edtSubject"))->setText(subject);
        dialog.findChild<TImageButton *>(QStringLiteral("btn1"))->Click();
    };
}

void StartTour(TFrmMain &window, const QString &pictureDir) {
    QDir().mkpath(pictureDir);
    TFrmMain *w = &window;
    const auto click = [w](const char *key) { w->Item(QString::fromLatin1(key))->Click(); };
    const auto saveImage = [pictureDir](const char *name, const QImage &image) {
        const QString file = QDir(pictureDir).filePath(QString::fromLatin1(name));
        image.save(file);
        std::printf("tour: %s\n", qPrintable(QDir::toNativeSeparators(file)));
        std::fflush(stdout);
    };
    const auto save = [w, saveImage](const char *name) { saveImage(name, w->grab().toImage()); };
    // The first seat's association dialog as it waits for a key on a tablet,
    // over the seat grid as the teacher sees it; cancelled, so the roster
    // stays.
    const auto registering = [w, saveImage] {
        const DialogResponder tourAnswers = SetDialogResponder([w, saveImage](TFrmSetName &dialog) {
            QImage shot = w->grab().toImage();
            QPainter painter(&shot);
            painter.drawPixmap(w->mapFromGlobal(dialog.pos()), dialog.grab());
            painter.end();
            saveImage("11b-register-tablet.png", shot);
            dialog.reject();
        });
        w->CurrentTile = w->SeatGrid->GetTile(0);
        w->AssociateSeat();
        SetDialogResponder(tourAnswers);
    };
    // The tour answers its own dialogs: the answer key B, and OK to quitting.
    SetDialogResponder([](TFrmSetName &dialog) {
        if (auto *answer = dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))) {
            answer->setText(QStringLiteral("B"));
        }
        if (auto *ok = dialog.findChild<TImageButton *>(QStringLiteral("btn1"))) {
            ok->Click();
        }
    });
    SetPromptResponder([](const QString &, const QString &, bool) { return true; });
    SeatTheClass(window, pictureDir);

    // Pages of the seat grid beyond the first, when the class needs more.
    const auto morePages = [w, save] {
        if (w->SeatGrid->GridPages() > 1) {
            w->PageKey(1);
            save("1b-seat-grid-page-2.png");
            w->PageKey(-1);
        }
    };
    // Everything queued for the record has been committed.
    const auto recorded = [w] {
        const RecorderCounters counters = w->LessonRecorder()->Counters();
        return counters.recorded + counters.dropped >= counters.queued;
    };
    const auto picturesShown = [w] { return w->History()->PicturesLoaded(); };
    // Most of the class has answered the question on.
    const auto answered = [w] {
        SlotTable &table = w->Table();
        int count = 0;
        for (int i = 0; i < table.Count.load(); ++i) {
            count += table[i].Answer.load() != 0 ? 1 : 0;
        }
        return count >= 15;
    };
    auto steps = std::make_shared<std::vector<Step>>(std::vector<Step>{
        // Tablets connect: the receiver reports within about a second.
        {2500, [=] { save("1-seat-grid.png"); }},
        {0, morePages},
        {0, [=] { click("SingleChoice"); }},
        {0, [=] { click("NotStarted"); }},
        {0, [=] { click("UnderWay"); }},
        {2500, [=] { save("2a-answering.png"); }},
        {4500, [=] { save("2-answer-grid.png"); }},
        {0, [=] { click("AlreadyOver"); }},
        {0, [=] { click("Statisticalresults"); }},
        {500, [=] { save("3-result-chart.png"); }},
        {0, [=] { click("EssayQuestion"); }},
        {0, [=] { click("NotStarted"); }},
        {0, [=] { click("UnderWay"); }},
        {8000, [=] { save("4-live-handwriting.png"); }},
        {0, [=] { w->PageKey(1); }},
        {1500, [=] { save("4b-live-next-page.png"); }},
        {0, [=] { SelectWritingPane(*w->LiveGrid); }},
        {0, [=] { w->ZoomSelectedPane(); }},
        {1500, [=] { save("4c-live-zoomed.png"); }},
        {0, [=] { w->ReturnFromZoom(); }},
        {0, [=] { click("AlreadyOver"); }},
        {0, [=] { click("LayoutSettings"); }},
        {300, [=] { save("5-settings.png"); }},
        // The lesson as the record keeps it, once the writer has it all.
        {0, [=] { click("LessonHistory"); }, recorded},
        {0, [=] { w->History()->ShowQuestion(1); }},
        {500, [=] { save("6-history-choice.png"); }},
        {0, [=] { w->History()->ShowQuestion(2); }},
        {300, [=] { save("6b-history-handwriting.png"); }, picturesShown},
        {0, [=] { w->History()->OpenPicture(FullestPicture(w->History()->Pictures())); }},
        {300, [=] { save("6c-history-picture.png"); }},
        // Graded right, as the key 1 does: the list and the analysis show it.
        {0,
         [=] {
             w->History()->GradePicture(FullestPicture(w->History()->Pictures()), 1);
             w->History()->ClosePicture();
         }},
        {300, [=] { save("6d-history-graded.png"); }},
        {0, [=] { w->History()->ShowAttendance(); }},
        {300, [=] { save("6e-history-attendance.png"); }},
        // A prepared question set: imported, shown in the editor, then run.
        {0,
         [=] {
             click("QuestionSets");
             const QString set = WriteTourSet(pictureDir);
             if (!set.isEmpty()) {
                 w->QuestionSetsPanel()->ImportSet(set);
             }
             // The handwritten question, with its picture.
             QAbstractItemModel *model = w->QuestionSetsPanel()->Table()->model();
             w->QuestionSetsPanel()->Table()->setCurrentIndex(
                 model->index(model->rowCount() - 1, 2));
         }},
        {500, [=] { save("7-question-set-editor.png"); }},
        {0, [=] { w->RunQuestionSet(QStringLiteral("Triangles")); }},
        {0, [=] { w->SetAnswersHidden(true); }},
        // The simulated class answers at the start of every half minute.
        {0, [] {}, answered},
        {1000, [=] { save("8-set-hidden-answers.png"); }, answered},
        {0, [=] { w->RevealAnswers(); }},
        {300, [=] { save("9-set-revealed.png"); }},
        // Among those who answered: the wait above makes sure there are some.
        {0, [=] { w->PickStudent(PickAmong::Answered); }},
        {300, [=] { save("9b-random-pick.png"); }, [w] { return !w->Picking(); }},
        {0, [=] { w->PlanStep(PlanRun::Move::Next); }},
        {0, [=] { w->SetAnswersHidden(false); }},
        {0, [=] { w->AddCountdownTime(60); }},
        {4000, [=] { save("10-set-countdown.png"); }},
        {0, [=] { w->PlanStep(PlanRun::Move::Next); }},
        {3000, [=] { save("11-set-handwriting.png"); }},
        // A second class: the first one named, the second made from an
        // import file, taught one question, then the first one again.
        {0,
         [=] {
             click("AlreadyOver");
             click("MainInterface");
             SetClassDialogResponder(AnswerClassDialog(U("初二(3)班"), U("数学")));
             w->RenameClass(ClassBook(w->DataDir()).Current());
             SetClassDialogResponder(AnswerClassDialog(U("初二(5)班"), U("数学")));
             if (const QString file = WriteSecondClass(pictureDir); !file.isEmpty()) {
                 w->NewClass(file);
             }
             SetClassDialogResponder({});
             w->OpenClasses();
         }},
        {300, [=] { save("13-classes.png"); }},
        {0,
         [=] {
             if (const auto second = FindClass(*w, U("初二(5)班"))) {
                 w->SwitchClass(*second);
             }
             click("SingleChoice");
             click("NotStarted");
             click("UnderWay");
         }},
        {1000, [=] { save("13b-second-class.png"); }, answered},
        {0,
         [=] {
             click("AlreadyOver");
             if (const auto first = FindClass(*w, U("初二(3)班"))) {
                 w->SwitchClass(*first);
             }
             click("MainInterface");
         }},
        {0,
         [=] {
             click("LessonHistory");
             w->History()->ListAllClasses();
         },
         recorded},
        {500, [=] { save("14-history-classes.png"); }},
        // The first class's term, then its gradebook as a workbook beside the
        // pictures.
        {0, [=] { w->History()->ShowTerm(); }},
        {300, [=] { save("15-term.png"); }, [w] { return !w->History()->TermPage()->Loading(); }},
        {0,
         [=] {
             const SaveFileResponder previous =
                 SetSaveFileResponder([pictureDir](const QString &, const QString &) {
                     return QDir(pictureDir).filePath(QStringLiteral("term.xlsx"));
                 });
             w->History()->TermPage()->Export(ExportFormat::Xlsx);
             SetSaveFileResponder(previous);
         }},
        {0, [] {}, [w] { return !w->History()->TermPage()->Exporting(); }},
        {0, [=] { click("MainInterface"); }},
        {300, registering},
        {0, [=] { w->OpenHelp(); }},
        {300, [=] { save("12-help.png"); }},
        {0, [=] { w->close(); }},
    });
    RunSteps(steps, 0);
}

} // namespace lumora
