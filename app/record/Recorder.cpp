#include "record/Recorder.h"

#include "core/Helpers.h"

#include "record/RecordTime.h"
#include "record/RecordWriter.h"

#include <QImage>

namespace lumora {

namespace {

// A backlog this long wakes the writer before its tick.
constexpr size_t kWakeAt = 16384;

bool IsControl(RecordEvent::Kind kind) {
    return kind == RecordEvent::Kind::QuestionStarted || kind == RecordEvent::Kind::QuestionEnded ||
           kind == RecordEvent::Kind::Picture || kind == RecordEvent::Kind::Pick ||
           kind == RecordEvent::Kind::ClassChanged;
}

} // namespace

Recorder::Recorder(const QString &dataDir, QObject *parent)
    : Recorder(dataDir, Options(), parent) {}

Recorder::Recorder(const QString &dataDir, Options options, QObject *parent)
    : QObject(parent), dataDir_(dataDir), options_(options),
      lessonStart_(QDateTime::currentDateTime()), lessonStartNs_(SteadyNowNs()) {
    qRegisterMetaType<lumora::RecordProblem>();
}

Recorder::~Recorder() {
    Stop();
}

void Recorder::Start() {
    std::lock_guard lock(mutex_);
    if (!writer_.Started() && !stopping_) {
        writer_.Start([this] { Run(); });
    }
}

void Recorder::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        accepting_.store(false, std::memory_order_relaxed);
    }
    wake_.notify_one();
    writer_.Join();
}

void Recorder::Push(RecordEvent &&event, bool wake) {
    if (!accepting_.load(std::memory_order_relaxed)) {
        refused_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || (queue_.size() >= options_.maxQueued && !IsControl(event.kind))) {
            ++queueFull_;
            return;
        }
        // Stamped under the lock, so stamps rise in queue order.
        event.enqueuedNs = SteadyNowNs();
        if (queued_++ == 0) {
            firstQueuedNs_ = event.enqueuedNs;
        }
        queue_.push_back(std::move(event));
        wake = wake || queue_.size() == kWakeAt;
    }
    if (wake) {
        wake_.notify_one();
    }
}

void Recorder::PushControl(RecordEvent::Kind kind, std::unique_ptr<RecordPayload> payload) {
    RecordEvent event;
    event.kind = kind;
    event.payload = std::move(payload);
    Push(std::move(event), false);
}

std::vector<RosterEntry> Recorder::Snapshot(const SlotTable &table) const {
    std::vector<RosterEntry> roster;
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    for (int i = 0; i < count; ++i) {
        const StudentSlot &entry = table[i];
        if (entry.Name.IsEmpty()) {
            continue;
        }
        RosterEntry row{i,
                        entry.Name.ToString(),
                        entry.CardID.load(std::memory_order_relaxed),
                        entry.PaneName(),
                        entry.PaneID(),
                        entry.Answer.load(std::memory_order_relaxed),
                        0,
                        0};
        // Only the entry's own tablet counts: after an import or a class
        // switch the entry may belong to someone else.
        const auto slot = static_cast<size_t>(i);
        const uint16_t heard = heardTablet_[slot].load(std::memory_order_relaxed);
        if (heard != 0 && (heard == row.cardId || heard == row.paneId)) {
            row.firstHeardNs = firstHeard_[slot].load(std::memory_order_relaxed);
            row.lastHeardNs = lastHeard_[slot].load(std::memory_order_relaxed);
        }
        roster.push_back(std::move(row));
    }
    return roster;
}

void Recorder::QuestionStarted(int questionType, const QString &answerKey, const SlotTable &table,
                               const QuestionPlace &place) {
    for (auto &wrote : wrote_) {
        wrote.store(0, std::memory_order_relaxed);
    }
    auto payload = std::make_unique<RecordPayload>();
    payload->questionType = questionType;
    payload->answerKey = answerKey;
    payload->place = place;
    payload->roster = Snapshot(table);
    PushControl(RecordEvent::Kind::QuestionStarted, std::move(payload));
}

void Recorder::SetClass(const QString &file, const QString &name) {
    if (file == classFile_ && name == className_) {
        return;
    }
    if (file != classFile_) {
        // Another class's students: who was heard starts again.
        for (size_t i = 0; i < heardTablet_.size(); ++i) {
            heardTablet_[i].store(0, std::memory_order_relaxed);
            firstHeard_[i].store(0, std::memory_order_relaxed);
            lastHeard_[i].store(0, std::memory_order_relaxed);
        }
    }
    PushClass(file, name, file == classFile_);
}

void Recorder::ClassRenamed(const QString &file, const QString &name) {
    if (file != classFile_ || name != className_) {
        PushClass(file, name, true);
    }
}

void Recorder::PushClass(const QString &file, const QString &name, bool renamed) {
    classFile_ = file;
    className_ = name;
    auto payload = std::make_unique<RecordPayload>();
    payload->classFile = file;
    payload->className = name;
    RecordEvent event;
    event.kind = RecordEvent::Kind::ClassChanged;
    event.value = renamed ? 1 : 0;
    event.payload = std::move(payload);
    Push(std::move(event), false);
}

void Recorder::QuestionEnded(int questionType, const QString &answerKey, const SlotTable &table,
                             const QuestionPlace &place) {
    auto payload = std::make_unique<RecordPayload>();
    payload->questionType = questionType;
    payload->answerKey = answerKey;
    payload->place = place;
    payload->roster = Snapshot(table);
    PushControl(RecordEvent::Kind::QuestionEnded, std::move(payload));
}

void Recorder::QuestionResumed() {
    PushControl(RecordEvent::Kind::QuestionResumed, nullptr);
}

void Recorder::StudentPicked(int slot, int among, const SlotTable &table) {
    if (slot < 0 || slot >= std::clamp(table.Count.load(), 0, kSlotCount)) {
        return;
    }
    auto payload = std::make_unique<RecordPayload>();
    const StudentSlot &entry = table[slot];
    payload->roster.push_back(
        {slot, entry.Name.ToString(), entry.CardID.load(), QString(), 0, entry.Answer.load()});
    RecordEvent event;
    event.kind = RecordEvent::Kind::Pick;
    event.value = static_cast<uint16_t>(among);
    event.payload = std::move(payload);
    Push(std::move(event), false);
}

void Recorder::SaveInkPictures(const SlotTable &table, QSize inkSize) {
    const int count = std::clamp(table.Count.load(), 0, kSlotCount);
    for (int i = 0; i < count; ++i) {
        const StudentSlot &entry = table[i];
        if (entry.Name.IsEmpty() || entry.InkCanvas == nullptr) {
            continue;
        }
        // Shared, not copied: the pane's next stroke detaches its own pixels
        // first, so the writer reads these as they are now.
        QImage picture = *entry.InkCanvas;
        if (picture.isNull()) {
            if (!HasInk(i) || inkSize.isEmpty()) {
                continue;
            }
            picture = QImage(inkSize, QImage::Format_Grayscale8);
            picture.fill(0xFF);
        }
        RecordEvent event;
        event.kind = RecordEvent::Kind::Picture;
        event.slot = static_cast<uint8_t>(i);
        event.payload = std::make_unique<RecordPayload>();
        event.payload->picture = std::move(picture);
        Push(std::move(event), false);
    }
}

void Recorder::KeyPressed(int slot, uint16_t key, uint32_t answerAfter) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    RecordEvent event;
    event.kind = RecordEvent::Kind::Key;
    event.slot = static_cast<uint8_t>(slot);
    event.value = key;
    event.answer = answerAfter;
    Push(std::move(event), false);
}

void Recorder::PenPoint(int slot, int32_t x, int32_t y) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    if (wrote_[static_cast<size_t>(slot)].load(std::memory_order_relaxed) == 0) {
        wrote_[static_cast<size_t>(slot)].store(1, std::memory_order_relaxed);
    }
    RecordEvent event;
    event.kind = RecordEvent::Kind::PenPoint;
    event.slot = static_cast<uint8_t>(slot);
    event.x = x;
    event.y = y;
    Push(std::move(event), false);
}

void Recorder::PenUp(int slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    RecordEvent event;
    event.kind = RecordEvent::Kind::PenUp;
    event.slot = static_cast<uint8_t>(slot);
    Push(std::move(event), false);
}

void Recorder::UnknownTablet(uint16_t tabletId) {
    RecordEvent event;
    event.kind = RecordEvent::Kind::UnknownTablet;
    event.value = tabletId;
    Push(std::move(event), false);
}

void Recorder::TabletHeard(int slot, uint16_t tabletId) {
    if (slot < 0 || slot >= kSlotCount || tabletId == 0) {
        return;
    }
    const auto at = static_cast<size_t>(slot);
    const int64_t now = SteadyNowNs();
    // The reader thread is the only writer of these: a new tablet in the
    // entry starts its times again.
    if (heardTablet_[at].load(std::memory_order_relaxed) != tabletId) {
        heardTablet_[at].store(tabletId, std::memory_order_relaxed);
        firstHeard_[at].store(now, std::memory_order_relaxed);
    }
    lastHeard_[at].store(now, std::memory_order_relaxed);
}

bool Recorder::HasInk(int slot) const {
    return slot >= 0 && slot < kSlotCount &&
           wrote_[static_cast<size_t>(slot)].load(std::memory_order_relaxed) != 0;
}

RecorderCounters Recorder::Counters() const {
    RecorderCounters counters;
    int64_t firstQueuedNs = 0;
    {
        std::lock_guard lock(mutex_);
        counters.queued = queued_;
        counters.dropped = queueFull_;
        firstQueuedNs = firstQueuedNs_;
    }
    counters.dropped += refused_.load(std::memory_order_relaxed);
    std::lock_guard lock(countersMutex_);
    counters.recorded = counters_.recorded;
    counters.dropped += counters_.dropped;
    counters.ignored = counters_.ignored;
    counters.commits = counters_.commits;
    if (lastCommitNs_ > firstQueuedNs && counters.recorded > 0) {
        counters.eventsPerSecond = static_cast<double>(counters.recorded) * 1e9 /
                                   static_cast<double>(lastCommitNs_ - firstQueuedNs);
    }
    counters.lagP50Ms = lag_.Percentile(0.50);
    counters.lagP99Ms = lag_.Percentile(0.99);
    counters.lagMaxMs = lag_.Max();
    return counters;
}

std::vector<RecordProblem> Recorder::Problems() const {
    std::lock_guard lock(countersMutex_);
    return problems_;
}

void Recorder::Report(const RecordProblem &problem) {
    {
        std::lock_guard lock(countersMutex_);
        if (!reported_.insert(problem.kind).second) {
            return;
        }
        problems_.push_back(problem);
    }
    DebugLog(QStringLiteral("Lesson record: ") + problem.detail, 0);
    Q_EMIT ProblemFound(problem);
}

void Recorder::Run() {
    RecordWriter writer(dataDir_, lessonStart_, lessonStartNs_);
    if (const std::optional<RecordProblem> problem = writer.Open()) {
        Report(*problem);
    }
    if (writer.IsOpen() && !writer.LimitPages(options_.maxPages)) {
        writer.Close();
    }
    bool open = writer.IsOpen();
    if (!open) {
        accepting_.store(false, std::memory_order_relaxed);
    }
    const int64_t tickNs = std::chrono::nanoseconds(options_.tick).count();
    std::deque<RecordEvent> batch;
    std::vector<int64_t> pending; // stamps of the events in the open transaction
    bool inTransaction = false;
    int64_t transactionNs = 0;
    QString error;

    const auto fail = [&] {
        const bool damaged = writer.Abandon();
        open = false;
        inTransaction = false;
        accepting_.store(false, std::memory_order_relaxed);
        {
            std::lock_guard lock(countersMutex_);
            counters_.dropped += pending.size();
        }
        pending.clear();
        Report({damaged ? RecordProblem::Kind::Damaged : RecordProblem::Kind::WriteFailed, error});
    };
    const auto begin = [&] {
        if (inTransaction) {
            return true;
        }
        if (!writer.Begin(&error)) {
            fail();
            return false;
        }
        inTransaction = true;
        transactionNs = SteadyNowNs();
        return true;
    };
    const auto commit = [&] {
        if (!inTransaction) {
            return true;
        }
        if (!writer.Commit(&error)) {
            fail();
            return false;
        }
        inTransaction = false;
        const int64_t now = SteadyNowNs();
        std::lock_guard lock(countersMutex_);
        for (const int64_t stamp : pending) {
            lag_.Add((now - stamp) / 1000000);
        }
        counters_.recorded += pending.size();
        counters_.ignored = writer.Ignored();
        ++counters_.commits;
        lastCommitNs_ = now;
        pending.clear();
        return true;
    };

    bool stop = false;
    while (!stop) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, options_.tick,
                           [this] { return stopping_ || queue_.size() >= kWakeAt; });
            batch.swap(queue_);
            stop = stopping_;
        }
        size_t done = 0;
        for (RecordEvent &event : batch) {
            if (!open || !begin()) {
                break;
            }
            if (!writer.Apply(event, &error)) {
                fail();
                break;
            }
            ++done;
            pending.push_back(event.enqueuedNs);
            // A long backlog still commits at least every tick.
            if ((done & 1023) == 0 && SteadyNowNs() - transactionNs >= tickNs && !commit()) {
                break;
            }
        }
        if (!open && done < batch.size()) {
            std::lock_guard lock(countersMutex_);
            counters_.dropped += batch.size() - done;
        }
        batch.clear();
        if (stop && open && begin() && !writer.EndLesson(SteadyNowNs(), &error)) {
            fail();
        }
        if (open) {
            commit();
        }
    }
    writer.Close();
}

} // namespace lumora
