// The lesson record of one run of the program. The reader thread (through the
// device handlers) and the main thread only queue events; one writer thread
// owns the database, writes them and commits at least every tick, so a
// killed program loses at most the last tick. Nothing here waits for a disk.
//
// Integration, in the order of a lesson:
//   Start()                                 main thread, at start-up
//   QuestionStarted(type, key, table)       main thread, question under way
//   KeyPressed(slot, key, answer)           reader thread, after the answer is set
//   PenPoint(slot, x, y) / PenUp(slot)      reader thread, for the pane's entry
//   UnknownTablet(id)                       reader thread, ID held by no entry
//   QuestionEnded(type, key, table)         main thread, answering ended
//   SaveInkPictures(table, inkSize)         main thread, after the last ink is drawn
//   Stop()                                  main thread, at the end
// A problem with the database is reported once through ProblemFound, from
// the writer thread (the window posts it to itself as an event).
#pragma once

#include "config/SlotTable.h"
#include "platform/WorkerThread.h"
#include "record/LagHistogram.h"
#include "record/RecordEvent.h"
#include "record/RecordProblem.h"
#include "session/DeviceBridge.h"

#include <QDateTime>
#include <QObject>
#include <QSize>
#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace lumora {

struct RecorderCounters {
    uint64_t queued = 0;   // events accepted by the queue
    uint64_t recorded = 0; // events in committed transactions
    uint64_t dropped = 0;  // lost: queue full, or no database to write to
    uint64_t ignored = 0;  // outside a question, or of no named student
    uint64_t commits = 0;
    double eventsPerSecond = 0; // recorded from the first queued event to the last commit
    int64_t lagP50Ms = 0;       // queued -> committed
    int64_t lagP99Ms = 0;
    int64_t lagMaxMs = 0;
};

class Recorder : public QObject, public TabletEventRecord {
    Q_OBJECT
public:
    struct Options {
        // The writer wakes this often and commits what it has.
        std::chrono::milliseconds tick{100};
        // Events waiting at most; beyond that new events are dropped.
        size_t maxQueued = 1u << 20;
        // Database size limit in pages (0: none); a full file behaves like a
        // full disk.
        int maxPages = 0;
    };

    // The lesson starts now. dataDir holds (or will hold) Records/.
    explicit Recorder(const QString &dataDir, QObject *parent = nullptr);
    Recorder(const QString &dataDir, Options options, QObject *parent = nullptr);
    ~Recorder() override; // Stop()

    // Starts the writer thread, which opens the database. Main thread.
    void Start();
    // Writes what is queued, ends the lesson, closes the database and joins
    // the writer. Events after it are dropped. Main thread.
    void Stop();

    // The class being taught from now on (its file under Classes/ and its
    // name; empty for the unnamed class). Another class than the lesson's
    // ends a lesson that has questions (the next begins with the next
    // question); nothing when it is the class already being taught. Main
    // thread.
    void SetClass(const QString &file, const QString &name);
    // The class being taught has a new name (and, the unnamed class named,
    // a file): the lesson under way takes them. Main thread.
    void ClassRenamed(const QString &file, const QString &name);

    // Main thread. The named entries of the table (and their answers) are
    // taken as they are now.
    void QuestionStarted(int questionType, const QString &answerKey, const SlotTable &table,
                         const QuestionPlace &place = {});
    void QuestionEnded(int questionType, const QString &answerKey, const SlotTable &table,
                       const QuestionPlace &place = {});
    // A student picked at random (among: 0 present, 1 answered, 2 answered
    // wrongly), with the question under way, if any.
    void StudentPicked(int slot, int among, const SlotTable &table);
    // The question that ended last takes answers again (under way once more
    // without being cleared): the same question goes on in the record.
    void QuestionResumed();
    // One PNG of the pane's ink (the entry's InkCanvas, 8-bit grey) per named
    // entry whose pane shows ink, taken now and encoded on the writer thread.
    // A pane written on since the question started that is white again
    // (wiped, or written only outside the sheet) gives a white picture of
    // inkSize; none when inkSize is empty.
    void SaveInkPictures(const SlotTable &table, QSize inkSize = QSize());

    // Reader thread (any thread): bounded, non-blocking work per event.
    void KeyPressed(int slot, uint16_t key, uint32_t answerAfter) override;
    void PenPoint(int slot, int32_t x, int32_t y) override;
    void PenUp(int slot) override;
    void UnknownTablet(uint16_t tabletId) override;
    // Kept per entry without queueing; the record takes it with the roster
    // at every question's start and end.
    void TabletHeard(int slot, uint16_t tabletId) override;

    // Whether the entry's pane received a pen point since the question started.
    bool HasInk(int slot) const;
    RecorderCounters Counters() const;
    // Problems reported so far (each kind once). Any thread.
    std::vector<RecordProblem> Problems() const;

Q_SIGNALS:
    void ProblemFound(const lumora::RecordProblem &problem);

private:
    void Push(RecordEvent &&event, bool wake);
    void PushClass(const QString &file, const QString &name, bool renamed);
    void PushControl(RecordEvent::Kind kind, std::unique_ptr<RecordPayload> payload);
    std::vector<RosterEntry> Snapshot(const SlotTable &table) const;
    void Run();
    void Report(const RecordProblem &problem);

    const QString dataDir_;
    const Options options_;
    const QDateTime lessonStart_;
    const int64_t lessonStartNs_;

    // The queue: producers append under the lock, the writer swaps it out.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<RecordEvent> queue_;
    bool stopping_ = false;
    uint64_t queued_ = 0;
    uint64_t queueFull_ = 0;
    int64_t firstQueuedNs_ = 0;
    // False once nothing will be written: producers return at once.
    std::atomic<bool> accepting_{true};
    // Per entry: the tablet heard, first and last (steady ns; 0: not yet).
    std::array<std::atomic<uint16_t>, kSlotCount> heardTablet_{};
    std::array<std::atomic<int64_t>, kSlotCount> firstHeard_{};
    std::array<std::atomic<int64_t>, kSlotCount> lastHeard_{};
    std::atomic<uint64_t> refused_{0};
    // Main thread only.
    QString classFile_;
    QString className_;

    WorkerThread writer_;
    std::array<std::atomic<uint8_t>, kSlotCount> wrote_{};

    // Counters, under countersMutex_.
    mutable std::mutex countersMutex_;
    RecorderCounters counters_;
    LagHistogram lag_;
    int64_t lastCommitNs_ = 0;
    std::set<RecordProblem::Kind> reported_;
    std::vector<RecordProblem> problems_;
};

} // namespace lumora
