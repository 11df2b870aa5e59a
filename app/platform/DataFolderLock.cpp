#include "platform/DataFolderLock.h"

#include "platform/DataFiles.h"

#include <QDir>
#include <QLockFile>

namespace lumora {

DataFolderLock::DataFolderLock() = default;

DataFolderLock::~DataFolderLock() = default;

DataFolderLock::Result DataFolderLock::Take(const QString &dataDir) {
    lock_ = std::make_unique<QLockFile>(QDir(dataDir).filePath(kDataFolderLockName.toString()));
    // A lesson lasts hours: the lock never goes stale by age, only when the
    // process that holds it is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return Result::Taken;
    }
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    return error == QLockFile::LockFailedError ? Result::HeldByAnother : Result::Unavailable;
}

} // namespace lumora
