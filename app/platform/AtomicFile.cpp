#include "platform/AtomicFile.h"

#include "platform/NativePath.h"
#include "platform/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lumora {

namespace {

void (*gBeforeReplaceHook)() = nullptr;
int gFailReplaceAt = -1;

// Makes the file's data durable before it replaces the old file.
bool SyncToDisk(QFile &file, QString *error) {
#ifdef Q_OS_WIN
    // Qt's descriptor of the file stands for its Windows handle.
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    const bool ok = handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle) != 0;
#else
    const bool ok = ::fsync(file.handle()) == 0;
#endif
    if (!ok && error != nullptr) {
        *error = LastSystemError();
    }
    return ok;
}

// Replaces target with source in one step.
bool ReplaceFile(const QString &source, const QString &target, QString *error) {
#ifdef Q_OS_WIN
    // Wide names keep every character; the move is on disk when it returns.
    const std::wstring from = QDir::toNativeSeparators(source).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    const bool ok = ::MoveFileExW(from.c_str(), to.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    const bool ok = std::rename(QFile::encodeName(source).constData(),
                                QFile::encodeName(target).constData()) == 0;
#endif
    if (!ok && error != nullptr) {
        *error = LastSystemError();
    }
    return ok;
}

// The rename itself lasts a power cut only once the folder is on disk. The
// new file is in place either way, so a failure here is not the save's. (On
// Windows MOVEFILE_WRITE_THROUGH did that, and a folder cannot be synced.)
void SyncFolderOf(const QString &path) {
#ifndef Q_OS_WIN
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int handle = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
#else
    Q_UNUSED(path);
#endif
}

QString RandomPart() {
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString part;
    for (int i = 0; i < 6; ++i) {
        part += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
    }
    return part;
}

bool Fail(QString *error, const QString &reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

// The file a save of path replaces: through a link, the file it points to (a
// shared file keeps changing, the link stays). False with *error for a file
// its owner made read-only: that is never rewritten.
bool SaveTarget(const QString &path, QString *target, QString *error) {
    const QFileInfo info(path);
    *target = path;
    // A symbolic link only (a Windows shortcut, *.lnk, is a file of its own).
    if (info.isSymbolicLink()) {
        *target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    }
    if (QFileInfo::exists(*target) && !(QFile::permissions(*target) & QFile::WriteOwner)) {
        return Fail(error, AccessDeniedError() + QStringLiteral(" (the file is read-only)"));
    }
    return true;
}

// Writes bytes to a new temporary file beside path, checked and synced; its
// name in *tempName. On failure nothing is left behind.
bool WriteTemporary(const QString &path, QByteArrayView bytes, QString *tempName, QString *error) {
    // A temporary file of our own name beside the target, never an existing one.
    QFile temp;
    for (int attempt = 0;; ++attempt) {
        temp.setFileName(path + u'.' + RandomPart() + kUnfinishedSaveSuffix.toString());
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            break;
        }
        if (attempt == 8 || !temp.exists()) {
            return Fail(error, temp.errorString());
        }
    }
    const auto fail = [&](const QString &reason) {
        temp.close();
        temp.remove();
        return Fail(error, reason);
    };
    if (QFileInfo(path).isFile()) {
        // The new file keeps who may read it.
        temp.setPermissions(QFile::permissions(path));
    }
    // Unbuffered: every write reaches the file system here, so a full disk
    // shows in its result, not later in a close nobody checks.
    if (temp.write(bytes.data(), bytes.size()) != bytes.size() || !temp.flush()) {
        return fail(temp.errorString());
    }
    QString reason;
    if (!SyncToDisk(temp, &reason)) {
        return fail(reason);
    }
    temp.close();
    if (temp.error() != QFileDevice::NoError) {
        return fail(temp.errorString());
    }
    *tempName = temp.fileName();
    return true;
}

// A second name for the file at path (a hard link, else a copy) that brings it
// back when a later step of a save fails; empty when path does not exist.
bool KeepForUndo(const QString &path, QString *undoName, QString *error) {
    undoName->clear();
    if (!QFileInfo::exists(path)) {
        return true;
    }
    const QString name = path + u'.' + RandomPart() + kUnfinishedSaveSuffix.toString();
    std::error_code code;
    std::filesystem::create_hard_link(FileSystemPath(path), FileSystemPath(name), code);
    if (code) {
        QFile file(path);
        if (!file.copy(name)) {
            return Fail(error, file.errorString());
        }
    }
    *undoName = name;
    return true;
}

} // namespace

bool WriteFileAtomically(const QString &given, QByteArrayView bytes, QString *error) {
    QString path;
    if (!SaveTarget(given, &path, error)) {
        return false;
    }
    QString temp;
    if (!WriteTemporary(path, bytes, &temp, error)) {
        return false;
    }
    if (gBeforeReplaceHook != nullptr) {
        gBeforeReplaceHook();
    }
    QString reason;
    if (!ReplaceFile(temp, path, &reason)) {
        QFile::remove(temp);
        return Fail(error, reason);
    }
    SyncFolderOf(path);
    return true;
}

bool WriteFilesAtomically(const std::vector<std::pair<QString, QByteArray>> &given, QString *error,
                          QString *failedPath) {
    std::vector<std::pair<QString, QByteArray>> files = given;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!SaveTarget(given[i].first, &files[i].first, error)) {
            if (failedPath != nullptr) {
                *failedPath = given[i].first;
            }
            return false;
        }
    }
    std::vector<QString> temps;
    std::vector<QString> undo;
    const auto cleanUp = [&] {
        for (const QString &name : temps) {
            if (!name.isEmpty()) {
                QFile::remove(name);
            }
        }
        for (const QString &name : undo) {
            if (!name.isEmpty()) {
                QFile::remove(name);
            }
        }
    };
    const auto fail = [&](size_t index, const QString &reason) {
        cleanUp();
        if (failedPath != nullptr) {
            *failedPath = given[index].first;
        }
        return Fail(error, reason);
    };
    // Every new file is whole on disk before any target changes.
    for (size_t i = 0; i < files.size(); ++i) {
        QString temp;
        if (!WriteTemporary(files[i].first, files[i].second, &temp, error)) {
            return fail(i, *error);
        }
        temps.push_back(temp);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        QString name;
        QString reason;
        if (!KeepForUndo(files[i].first, &name, &reason)) {
            return fail(i, reason);
        }
        undo.push_back(name);
    }
    if (gBeforeReplaceHook != nullptr) {
        gBeforeReplaceHook();
    }
    for (size_t i = 0; i < files.size(); ++i) {
        QString reason;
        if (gFailReplaceAt == static_cast<int>(i) ||
            !ReplaceFile(temps[i], files[i].first, &reason)) {
            if (gFailReplaceAt == static_cast<int>(i)) {
                reason = DiskFullError();
            }
            // The targets already replaced get their old files back.
            for (size_t j = 0; j < i; ++j) {
                if (undo[j].isEmpty()) {
                    QFile::remove(files[j].first);
                } else if (ReplaceFile(undo[j], files[j].first, nullptr)) {
                    undo[j].clear();
                }
            }
            return fail(i, reason);
        }
        temps[i].clear();
    }
    temps.clear();
    cleanUp();
    for (const auto &file : files) {
        SyncFolderOf(file.first);
    }
    return true;
}

bool MoveFileOver(const QString &source, const QString &target, QString *error) {
    return ReplaceFile(source, target, error);
}

void SetBeforeReplaceHookForTesting(void (*hook)()) {
    gBeforeReplaceHook = hook;
}

void FailReplaceAtForTesting(int index) {
    gFailReplaceAt = index;
}

} // namespace lumora
