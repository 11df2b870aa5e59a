// A thread for work that uses Qt (SQL connections, regular expressions): a
// std::thread, whose join ThreadSanitizer follows, and on Windows a QThread.
// There Qt frees what it keeps per thread for a thread it did not start from
// a callback at the thread's exit, which crashed with mingw-w64 under Wine;
// at a QThread's end Qt frees it itself.
#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QThread>

#include <memory>
#else
#include <thread>
#endif
#include <utility>

namespace lumora {

class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;
    ~WorkerThread() { Join(); }

    // Runs work() on a new thread; the last one must have been joined.
    template <typename Work> void Start(Work work) {
#ifdef Q_OS_WIN
        thread_.reset(QThread::create(std::move(work)));
        thread_->start();
#else
        thread_ = std::thread(std::move(work));
#endif
    }
    // A thread was started and not joined yet.
    bool Started() const {
#ifdef Q_OS_WIN
        return thread_ != nullptr;
#else
        return thread_.joinable();
#endif
    }
    // Waits for the thread's end; nothing is started afterwards.
    void Join() {
#ifdef Q_OS_WIN
        if (thread_) {
            thread_->wait();
            thread_.reset();
        }
#else
        if (thread_.joinable()) {
            thread_.join();
        }
#endif
    }

private:
#ifdef Q_OS_WIN
    std::unique_ptr<QThread> thread_;
#else
    std::thread thread_;
#endif
};

} // namespace lumora
