// A full classroom under load, through the real main window (offscreen):
// 100 tablets writing at 200 points per second into a 9-pane live view, 100
// key presses at once into the answer grid, and the program's start and end.
// The questions are under way, so the lesson record takes every event too.
//
// Latencies start when the library's handler posts the event for a record
// (microseconds after the report reached the decoder) and end when the point
// is in its pane's bitmap, and when the pane has been painted.
#include "Main.h"
#include "config/Roster.h"
#include "controls/SkinButton.h"
#include "controls/Stdpanel.h"
#include "controls/WidgetHelpers.h"
#include "dialogs/UnSetName.h"
#include "penlynx.h"
#include "platform/DataDir.h"
#include "platform/RegularExpressions.h"
#include "platform/WorkerThread.h"
#include "record/Recorder.h"
#include "session/DeviceBridge.h"
#include "views/GroupBar.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <vector>

namespace {

using namespace lumora;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(p * values.size()));
    return values[at];
}

double ResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0;
}

// Watches every event the main thread handles: time spent, device events
// handled, and paints of the ink panes.
class MeasuringApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override {
        const bool outermost = depth_++ == 0;
        const int64_t start = outermost ? NowNs() : 0;
        const auto *device = dynamic_cast<DeviceEvent *>(event);
        const int type = static_cast<int>(event->type());
        const int64_t posted = device != nullptr ? device->postedNs : 0;
        const uint32_t slot = device != nullptr ? device->wParam : 0;
        const bool result = QApplication::notify(receiver, event);
        const int64_t end = NowNs();
        if (recording_) {
            if (device != nullptr) {
                OnDeviceEvent(type, slot, posted, end);
            } else if (type == QEvent::Paint) {
                OnPaint(receiver, end);
            }
        }
        if (outermost) {
            busyNs_ += end - start;
        }
        --depth_;
        return result;
    }

    void StartRecording(TFrmMain *window) {
        window_ = window;
        panes_.clear();
        for (TStdChannel *tile : window->LiveGrid->Tiles()) {
            panes_[tile->TileImage()] = tile->Tag();
        }
        for (TStdChannel *tile : window->AnswerGrid->Tiles()) {
            answerLabels_[tile->AnswerLabel()] = tile->Tag();
        }
        toBitmap_.clear();
        toScreen_.clear();
        waiting_.assign(kSlotCount, {});
        penPosted_ = penDrawn_ = keysHandled_ = 0;
        firstKeyNs_ = lastKeyNs_ = keysShownNs_ = 0;
        busyNs_ = 0;
        startNs_ = NowNs();
        recording_ = true;
    }
    void StopRecording() { recording_ = false; }

    std::vector<double> toBitmap_;
    std::vector<double> toScreen_;
    int64_t busyNs_ = 0;
    int penPosted_ = 0;
    int penDrawn_ = 0;
    int keysHandled_ = 0;
    int64_t firstKeyNs_ = 0;
    int64_t lastKeyNs_ = 0;
    int64_t keysShownNs_ = 0;
    int keysExpected_ = 0;

private:
    void OnDeviceEvent(int type, uint32_t slot, int64_t posted, int64_t handled) {
        if (posted < startNs_) {
            return; // posted before the measurement began
        }
        if (type == WM_TABLET_PEN) {
            ++penDrawn_;
            toBitmap_.push_back((handled - posted) / 1e6);
            if (TStdChannel *tile = window_->LiveGrid->GetTile(static_cast<int>(slot));
                tile != nullptr && tile->Shown()) {
                waiting_[slot].push_back(posted);
            }
        } else if (type == WM_TABLET_KEY) {
            if (keysHandled_++ == 0) {
                firstKeyNs_ = posted;
            }
            lastKeyNs_ = handled;
        }
    }
    void OnPaint(QObject *receiver, int64_t painted) {
        if (auto pane = panes_.find(receiver); pane != panes_.end()) {
            for (int64_t posted : waiting_[static_cast<size_t>(pane->second)]) {
                toScreen_.push_back((painted - posted) / 1e6);
            }
            waiting_[static_cast<size_t>(pane->second)].clear();
        } else if (answerLabels_.count(receiver) != 0 && keysExpected_ > 0 &&
                   keysHandled_ >= keysExpected_ && keysShownNs_ == 0) {
            keysShownNs_ = painted;
        }
    }

    int depth_ = 0;
    bool recording_ = false;
    int64_t startNs_ = 0;
    TFrmMain *window_ = nullptr;
    std::map<QObject *, int> panes_;
    std::map<QObject *, int> answerLabels_;
    std::vector<std::vector<int64_t>> waiting_;
};

MeasuringApplication *App() {
    return static_cast<MeasuringApplication *>(qApp);
}

// A data folder with 100 students on tablets 1..100 in a 10 x 10 room.
class Classroom {
public:
    Classroom() {
        QFile config(dir_.filePath(QStringLiteral("Config.ini")));
        config.open(QIODevice::WriteOnly);
        config.write("[Public]\nLanguageType=0\nMainLine=10\nMainRow=10\nSplit=9\nCount=5\n"
                     "LanguageName=zh_CN\n");
        config.close();
        SlotTable table;
        for (int i = 0; i < kSlotCount; ++i) {
            table[i].Name = QStringLiteral("学生%1").arg(i + 1);
            table[i].CardID = static_cast<uint16_t>(i + 1);
        }
        table.SetCount(kSlotCount);
        SaveRoster(dir_.path(), table, -1);
        SeedLanguages(dir_.path(), nullptr);
    }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

void RunEventLoop(int milliseconds, const std::function<void()> &everyTenMs = {}) {
    QTimer sampler;
    if (everyTenMs) {
        QObject::connect(&sampler, &QTimer::timeout, everyTenMs);
        sampler.start(10);
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

int BenchSeconds() {
    const int seconds = qEnvironmentVariableIntValue("LUMORA_BENCH_SECONDS");
    return seconds > 0 ? seconds : 10;
}

// 100 tablets writing, about 20 000 points per second in all (the pen moves
// at 420 points per second while down and is lifted between strokes, so each
// tablet averages some 200), live view of 9 panes.
void BM_ClassroomHandwriting(benchmark::State &state) {
    Classroom room;
    qputenv("PENLYNX_RECEIVER", "sim:tablets=100,writing=100,rate=420,seed=7");
    auto window = std::make_unique<TFrmMain>(room.Path());
    window->show();
    window->Item(QStringLiteral("EssayQuestion"))->Click();
    window->Item(QStringLiteral("NotStarted"))->Click();
    window->Item(QStringLiteral("UnderWay"))->Click();
    RunEventLoop(1500); // the reader thread finds the receiver after a second

    int queueMax = 0;
    const int64_t wallStart = NowNs();
    const uint64_t postedBefore = DeviceEvent::PenPointsPosted();
    const uint64_t recordedBefore = window->LessonRecorder()->Counters().recorded;
    App()->StartRecording(window.get());
    for (auto _ : state) {
        RunEventLoop(BenchSeconds() * 1000,
                     [&] { queueMax = std::max(queueMax, DeviceEvent::Pending()); });
    }
    const int64_t wall = NowNs() - wallStart;
    const uint64_t recordedDuring = window->LessonRecorder()->Counters().recorded - recordedBefore;
    // Stop the receiver, let the window finish what was posted: every point
    // posted in the window of measurement must have been drawn.
    SDKClear();
    const uint64_t posted = DeviceEvent::PenPointsPosted() - postedBefore;
    while (DeviceEvent::Pending() > 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    App()->StopRecording();

    MeasuringApplication &m = *App();
    state.counters["points_drawn"] = m.penDrawn_;
    state.counters["points_per_second"] = static_cast<double>(posted) / (wall / 1e9);
    state.counters["report_to_bitmap_p50_ms"] = Percentile(m.toBitmap_, 0.50);
    state.counters["report_to_bitmap_p99_ms"] = Percentile(m.toBitmap_, 0.99);
    state.counters["report_to_bitmap_max_ms"] = Percentile(m.toBitmap_, 1.0);
    state.counters["report_to_screen_p50_ms"] = Percentile(m.toScreen_, 0.50);
    state.counters["report_to_screen_p99_ms"] = Percentile(m.toScreen_, 0.99);
    state.counters["main_thread_busy"] = static_cast<double>(m.busyNs_) / static_cast<double>(wall);
    state.counters["queue_depth_max"] = queueMax;
    state.counters["dropped_points"] = static_cast<double>(posted) - m.penDrawn_;
    state.counters["rss_mb"] = ResidentMegabytes();
    // The record: what its writer committed, and how long events waited for
    // the commit, once it has caught up with the last of them.
    const Recorder &recorder = *window->LessonRecorder();
    QElapsedTimer drain;
    drain.start();
    RecorderCounters record = recorder.Counters();
    while (record.recorded + record.dropped < record.queued && drain.elapsed() < 10000) {
        RunEventLoop(20);
        record = recorder.Counters();
    }
    // Committed while the class wrote; every event queued is committed in the end.
    state.counters["record_events_per_second"] = static_cast<double>(recordedDuring) / (wall / 1e9);
    state.counters["record_behind"] =
        static_cast<double>(record.queued - record.recorded - record.dropped);
    state.counters["record_lag_p99_ms"] = static_cast<double>(record.lagP99Ms);
    state.counters["record_lag_max_ms"] = static_cast<double>(record.lagMaxMs);
    state.counters["record_dropped"] = static_cast<double>(record.dropped);
    state.counters["record_commits"] = static_cast<double>(record.commits);
    window.reset();
}
BENCHMARK(BM_ClassroomHandwriting)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 tablets pressing a key in the same instant.
void BM_ClassroomKeysAtOnce(benchmark::State &state) {
    Classroom room;
    QTemporaryDir scripts;
    const QString replay = scripts.filePath(QStringLiteral("keys.replay"));
    {
        QFile file(replay);
        file.open(QIODevice::WriteOnly);
        file.write("# every tablet presses B at once\nwait 1500\n");
        for (int first = 1; first <= 100; first += 20) {
            QByteArray report =
                QByteArray("00 ") + QByteArray::number(20 * 6, 16).rightJustified(2, '0');
            for (int id = first; id < first + 20; ++id) {
                report += QStringLiteral(" FF FF FF 02 %1 %2")
                              .arg(id & 0xFF, 2, 16, QLatin1Char('0'))
                              .arg(id >> 8, 2, 16, QLatin1Char('0'))
                              .toLatin1();
            }
            file.write(report + "\n");
        }
    }
    qputenv("PENLYNX_RECEIVER", ("replay:" + replay).toLocal8Bit());
    const DialogResponder previous = SetDialogResponder([](TFrmSetName &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("edtName"))->setText(QStringLiteral("B"));
        dialog.findChild<TImageButton *>(QStringLiteral("btn1"))->Click();
    });
    auto window = std::make_unique<TFrmMain>(room.Path());
    window->show();
    window->Item(QStringLiteral("SingleChoice"))->Click();
    window->Item(QStringLiteral("NotStarted"))->Click();
    window->Item(QStringLiteral("UnderWay"))->Click();
    SetDialogResponder(previous);
    App()->StartRecording(window.get());
    App()->keysExpected_ = 100;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        while (App()->keysShownNs_ == 0 && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
    App()->StopRecording();
    MeasuringApplication &m = *App();
    state.counters["keys_handled"] = m.keysHandled_;
    state.counters["keys_all_shown_ms"] =
        m.keysShownNs_ > 0 ? (m.keysShownNs_ - m.firstKeyNs_) / 1e6 : -1;
    m.keysExpected_ = 0;
    window.reset();
}
BENCHMARK(BM_ClassroomKeysAtOnce)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's start (to the main window painted) and end (after Quit and
// OK), in a process of its own.
void BM_StartupAndQuit(benchmark::State &state) {
    Classroom room;
    double startup = 0;
    double quit = 0;
    for (auto _ : state) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PENLYNX_RECEIVER"), QStringLiteral("sim:tablets=100"));
        child.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--startup-child"), room.Path()});
        child.waitForReadyRead(10000);
        startup = clock.nsecsElapsed() / 1e6;
        child.readAll();
        clock.restart();
        child.write("quit\n");
        child.waitForFinished(10000);
        quit = clock.nsecsElapsed() / 1e6;
    }
    state.counters["startup_ms"] = startup;
    state.counters["quit_ms"] = quit;
}
BENCHMARK(BM_StartupAndQuit)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The child of BM_StartupAndQuit: the program's own start, then "shown" on
// stdout at the first paint; a line on stdin is Quit confirmed with OK.
int StartupChild(int argc, char **argv, const QString &dataDir) {
    QApplication app(argc, argv);
    QApplication::setFont(LumoraFont());
    TFrmMain window(dataDir);
    class FirstPaint : public QObject {
    public:
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint && !said_) {
                said_ = true;
                std::puts("shown");
                std::fflush(stdout);
            }
            return false;
        }
        bool said_ = false;
    } firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    SetPromptResponder([](const QString &, const QString &, bool) { return true; });
    // Read on a thread of its own (Windows has no notifier for a pipe) that
    // Qt may know: the call below makes Qt keep data for it.
    WorkerThread input;
    input.Start([&window] {
        char line[16];
        if (std::fgets(line, sizeof line, stdin) != nullptr) {
            QMetaObject::invokeMethod(&window, &TFrmMain::btnCloseClick, Qt::QueuedConnection);
        }
    });
    const int status = QApplication::exec();
    input.Join(); // the parent's line came, or its end closes the pipe
    return status;
}

// The offscreen platform with one 1920 x 1080 screen, the classroom PC's.
void UseFullHdScreen() {
    // The platform's arguments are separated by colons, so a Windows path
    // with its drive ("C:") would be cut: there the file is made in the
    // current folder and named relative to it.
    QString path = QDir::temp().filePath(QStringLiteral("lumora-bench-screen.json"));
    if (path.contains(u':')) {
        path = QStringLiteral("lumora-bench-screen.json");
    }
    std::ofstream(path.toStdString())
        << R"({"screens": [{"name": "Classroom", "x": 0, "y": 0, "width": 1920,)"
        << R"( "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toLocal8Bit());
}

} // namespace

int main(int argc, char **argv) {
    UseRegularExpressionsWithoutJit(); // as the program does
    UseFullHdScreen();
    if (argc >= 3 && std::string(argv[1]) == "--startup-child") {
        return StartupChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    MeasuringApplication app(argc, argv);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    std::printf("screen %dx%d\n", screen.width(), screen.height());
    QApplication::setFont(LumoraFont());
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
