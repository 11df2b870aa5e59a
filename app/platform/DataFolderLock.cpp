#include "platform/DataFolderLock.h"

#include "platform/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>

namespace lumora {

namespace {

// The lock files this process holds (the window's thread takes and releases
// them): one of them is never taken over as left behind.
QStringList &HeldHere() {
    static QStringList held;
    return held;
}

} // namespace

DataFolderLock::DataFolderLock() = default;

DataFolderLock::~DataFolderLock() {
    Release();
}

void DataFolderLock::Release() {
    if (lock_) {
        HeldHere().removeOne(lock_->fileName());
        lock_.reset(); // unlocks
    }
}

DataFolderLock::Result DataFolderLock::Take(const QString &dataDir) {
    Release();
    lock_ = std::make_unique<QLockFile>(QDir(dataDir).filePath(kDataFolderLockName.toString()));
    if (TakeLock()) {
        HeldHere().append(lock_->fileName());
        return Result::Taken;
    }
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    return error == QLockFile::LockFailedError ? Result::HeldByAnother : Result::Unavailable;
}

bool DataFolderLock::TakeLock() {
    // A lesson lasts hours: the lock never goes stale by age, only when the
    // process that holds it is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return true;
    }
    // A lock in this process's own number that this process does not hold was
    // left by an earlier process that ended without unlocking and whose
    // number this one got again (after a restart, or in Wine, which numbers
    // processes alike from one run to the next): nobody holds it.
    qint64 pid = 0;
    QString host;
    QString application;
    return lock_->error() == QLockFile::LockFailedError &&
           lock_->getLockInfo(&pid, &host, &application) &&
           pid == QCoreApplication::applicationPid() && !HeldHere().contains(lock_->fileName()) &&
           lock_->removeStaleLockFile() && lock_->tryLock(0);
}

} // namespace lumora
