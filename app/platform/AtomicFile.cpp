#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

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

QString SystemError(int code) {
    return qt_error_string(code);
}

// Makes the file's data durable before it replaces the old file.
bool SyncToDisk(QFile &file, QString *error) {
#ifdef Q_OS_WIN
    const bool ok = ::_commit(file.handle()) == 0;
#else
    const bool ok = ::fsync(file.handle()) == 0;
#endif
    if (!ok && error != nullptr) {
        *error = SystemError(errno);
    }
    return ok;
}

// Replaces target with source in one step.
bool ReplaceFile(const QString &source, const QString &target, QString *error) {
#ifdef Q_OS_WIN
    const bool ok = ::MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                                  reinterpret_cast<const wchar_t *>(target.utf16()),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok && error != nullptr) {
        *error = SystemError(static_cast<int>(::GetLastError()));
    }
#else
    const bool ok = std::rename(QFile::encodeName(source).constData(),
                                QFile::encodeName(target).constData()) == 0;
    if (!ok && error != nullptr) {
        *error = SystemError(errno);
    }
#endif
    return ok;
}

// The rename itself lasts a power cut only once the folder is on disk. The
// new file is in place either way, so a failure here is not the save's.
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

} // namespace

bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error) {
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
    if (gBeforeReplaceHook != nullptr) {
        gBeforeReplaceHook();
    }
    if (!ReplaceFile(temp.fileName(), path, &reason)) {
        return fail(reason);
    }
    SyncFolderOf(path);
    return true;
}

void SetBeforeReplaceHookForTesting(void (*hook)()) {
    gBeforeReplaceHook = hook;
}

} // namespace lumora
