// One program per data folder: the running program holds a lock file in the
// folder (kDataFolderLockName, platform/DataFiles.h) for as long as it runs.
// The lock of a program that was killed is taken over at the next start, also
// when the new program got the killed one's process number.
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace lumora {

class DataFolderLock {
public:
    enum class Result {
        Taken,         // this program holds the folder now
        HeldByAnother, // a running program holds it
        Unavailable,   // no lock file can be made there (a read-only folder)
    };

    DataFolderLock();
    ~DataFolderLock(); // releases the lock
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    // Tries once, without waiting.
    Result Take(const QString &dataDir);
    // Gives the folder up before the object goes: once the program has
    // written its last file (Windows may end it at a session's end before
    // its destructors run).
    void Release();

private:
    bool TakeLock();

    std::unique_ptr<QLockFile> lock_;
};

} // namespace lumora
