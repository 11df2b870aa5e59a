// The lesson history on a teacher's school year (ScaleRecord.h: 6 classes of
// 40 students, 200 lessons each, 8 questions a lesson): opening the history
// (its lessons and classes), listing one class's lessons, opening one lesson,
// the history view built and filled on the offscreen platform and switching
// class, and a class's term gradebook exported.
//
// The year is written once, before the benchmarks, into a temporary data
// folder. Counters: the database's size without the pictures (db_bytes,
// db_mb), the rows written and how long writing them took.
#include "ScaleRecord.h"

#include "controls/WidgetHelpers.h"
#include "record/Export.h"
#include "record/LessonHistory.h"
#include "record/RecordDatabase.h"
#include "record/TermRange.h"
#include "views/HistoryView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using namespace lumora;

struct Year {
    QString dataDir;
    bench::RecordCounts counts;
    double writtenSeconds = 0;
    double bytes = 0;
};
Year g_year;

// The class whose lessons are listed: one in the middle of the list.
constexpr int kListedClass = 3;

bool OpenHistory(benchmark::State &state, LessonHistory &history) {
    QString error;
    if (!history.Open(g_year.dataDir, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return false;
    }
    return true;
}

void BM_HistoryOpen(benchmark::State &state) {
    for (auto _ : state) {
        LessonHistory history;
        if (!OpenHistory(state, history)) {
            return;
        }
        const auto lessons = history.Lessons();
        const auto classes = history.Classes();
        if (!lessons || !classes) {
            state.SkipWithError(history.Error().toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(lessons->size() + classes->size());
    }
    state.counters["db_bytes"] = g_year.bytes;
    state.counters["db_mb"] = g_year.bytes / 1e6;
    state.counters["lessons"] = static_cast<double>(g_year.counts.lessons);
    state.counters["student_rows"] = static_cast<double>(g_year.counts.students);
    state.counters["presses"] = static_cast<double>(g_year.counts.presses);
    state.counters["pictures"] = static_cast<double>(g_year.counts.pictures);
    state.counters["written_s"] = g_year.writtenSeconds;
}
BENCHMARK(BM_HistoryOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// A class chosen in the history: its lessons out of the record's.
void BM_ClassLessons(benchmark::State &state) {
    LessonHistory history;
    if (!OpenHistory(state, history)) {
        return;
    }
    const QString file = bench::ScaleClassFile(kListedClass);
    int listed = 0;
    for (auto _ : state) {
        const auto lessons = history.Lessons();
        if (!lessons) {
            state.SkipWithError(history.Error().toStdString().c_str());
            return;
        }
        listed = 0;
        for (const LessonInfo &lesson : *lessons) {
            listed += lesson.classFile == file && lesson.deletedAt.isEmpty();
        }
        benchmark::DoNotOptimize(listed);
    }
    state.counters["class_lessons"] = listed;
}
BENCHMARK(BM_ClassLessons)->Unit(benchmark::kMillisecond)->UseRealTime();

// One lesson from the middle of the year: its questions, the students of
// its first question, its attendance.
void BM_OpenLesson(benchmark::State &state) {
    LessonHistory history;
    if (!OpenHistory(state, history)) {
        return;
    }
    const int lesson = static_cast<int>(g_year.counts.lessons / 2);
    for (auto _ : state) {
        const auto questions = history.Questions(lesson);
        const auto students = history.Students(lesson, 1);
        const auto attendance = history.Attendance(lesson);
        if (!questions || !students || !attendance || questions->empty()) {
            state.SkipWithError("the lesson could not be read");
            return;
        }
        benchmark::DoNotOptimize(questions->size() + students->size() + attendance->size());
    }
}
BENCHMARK(BM_OpenLesson)->Unit(benchmark::kMillisecond)->UseRealTime();

// The history view made and filled as the window opens it: every lesson
// listed, the newest chosen with its analysis and first question. Shown (arg
// 1), the view is laid out and painted too before it counts as open.
void BM_HistoryView(benchmark::State &state) {
    const bool shown = state.range(0) != 0;
    QWidget area;
    area.resize(1366, 700);
    if (shown) {
        area.show();
    }
    for (auto _ : state) {
        auto view = std::make_unique<THistoryView>(g_year.dataDir, &area);
        view->resize(area.size());
        view->show();
        view->Reload();
        if (shown) {
            view->repaint();
            QCoreApplication::processEvents();
        }
        state.PauseTiming();
        view.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(shown ? "shown" : "hidden");
}
BENCHMARK(BM_HistoryView)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The shown view switching between two classes in its filter: the class's
// lessons listed, its newest chosen with its analysis and first question.
void BM_HistoryViewSwitchClass(benchmark::State &state) {
    QWidget area;
    area.resize(1366, 700);
    area.show();
    THistoryView view(g_year.dataDir, &area);
    view.resize(area.size());
    view.show();
    view.Reload();
    int round = 0;
    for (auto _ : state) {
        const QString file = bench::ScaleClassFile(kListedClass + (round++ % 2));
        if (!view.ListClass(file)) {
            state.SkipWithError("the class is not in the filter");
            return;
        }
        view.repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_HistoryViewSwitchClass)->Unit(benchmark::kMillisecond)->UseRealTime();

// A class's term gradebook (its 200 lessons, the whole year as the range)
// written as a workbook (arg 1) or as CSV files (arg 0), away from the
// window as the history view does it.
void BM_TermExport(benchmark::State &state) {
    const bool xlsx = state.range(0) != 0;
    QTemporaryDir out;
    const QString path =
        out.filePath(xlsx ? QStringLiteral("term.xlsx") : QStringLiteral("term.csv"));
    const TermRange year{QDate(2000, 1, 1), QDate(2100, 1, 1)};
    for (auto _ : state) {
        QString error;
        if (!ExportTerm(g_year.dataDir, bench::ScaleClassFile(kListedClass), year,
                        xlsx ? ExportFormat::Xlsx : ExportFormat::Csv, path, ExistingFiles::Replace,
                        &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(path).size());
    state.SetLabel(xlsx ? "xlsx" : "csv");
}
BENCHMARK(BM_TermExport)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

double FileBytes(const QString &path) {
    const QFileInfo info(path);
    return info.exists() ? static_cast<double>(info.size()) : 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setFont(LumoraFont());
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    g_year.dataDir = dir.path();
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!bench::WriteScaleRecord(g_year.dataDir, bench::RecordShape(), &g_year.counts, &error)) {
        std::fprintf(stderr, "the school year could not be written: %s\n", qPrintable(error));
        return 1;
    }
    g_year.writtenSeconds = static_cast<double>(timer.elapsed()) / 1000.0;
    // Closed, the log is back in the file; what is left of it counts too.
    const QString database = RecordDatabasePath(g_year.dataDir);
    g_year.bytes = FileBytes(database) + FileBytes(database + QStringLiteral("-wal"));
    std::printf("school year: %lld lessons, %.1f MB, written in %.1f s\n",
                static_cast<long long>(g_year.counts.lessons), g_year.bytes / 1e6,
                g_year.writtenSeconds);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
