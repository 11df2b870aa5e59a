#include "platform/OrdinaryFile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lumora {

namespace {

OrdinaryRead Failed(QString *error, const QString &reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return OrdinaryRead::Failed;
}

// Whether what file has open is a file on a disk, not a device (CON, NUL, a
// serial port) or a named pipe, which Windows opens like files. Elsewhere the
// type was checked before the file was opened through Qt.
bool OpenedOnDisk(QFile &file) {
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_DISK;
#else
    Q_UNUSED(file);
    return true;
#endif
}

// Through Qt: the program's own resources, and Windows, where opening does
// not wait on anything that looks like a file and the type is checked on
// what was opened.
OrdinaryRead ReadThroughQt(const QString &path, qint64 maxBytes, QByteArray *bytes,
                           QString *error) {
    bytes->clear();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return OrdinaryRead::NotOrdinary;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Failed(error, file.errorString());
    }
    if (!path.startsWith(u':') && !OpenedOnDisk(file)) {
        return OrdinaryRead::NotOrdinary;
    }
    if (file.size() > maxBytes) {
        return OrdinaryRead::TooLarge;
    }
    // A file that grows while it is read is still cut at the bound.
    QByteArray data = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return Failed(error, file.errorString());
    }
    if (data.size() > maxBytes) {
        return OrdinaryRead::TooLarge;
    }
    *bytes = std::move(data);
    return OrdinaryRead::Ok;
}

} // namespace

#ifndef Q_OS_WIN
OrdinaryRead ReadOrdinaryFile(const QString &path, qint64 maxBytes, QByteArray *bytes,
                              QString *error) {
    if (path.startsWith(u':')) {
        return ReadThroughQt(path, maxBytes, bytes, error);
    }
    bytes->clear();
    // Non-blocking: opening a named pipe returns at once instead of waiting
    // for a writer; the type is then checked on what was opened.
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0) {
        return Failed(error, qt_error_string(errno));
    }
    struct stat info {};
    OrdinaryRead result = OrdinaryRead::Ok;
    if (::fstat(handle, &info) != 0) {
        result = Failed(error, qt_error_string(errno));
    } else if (!S_ISREG(info.st_mode)) {
        result = OrdinaryRead::NotOrdinary;
    } else if (info.st_size > maxBytes) {
        result = OrdinaryRead::TooLarge;
    } else {
        QByteArray data(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
        qsizetype used = 0;
        // A file that grows while it is read is still cut at the bound.
        while (result == OrdinaryRead::Ok) {
            if (used == data.size()) {
                if (used > maxBytes) {
                    result = OrdinaryRead::TooLarge;
                    break;
                }
                data.resize(std::min<qsizetype>(used * 2 + 4096, maxBytes + 1));
            }
            const ssize_t got = ::read(handle, data.data() + used, data.size() - used);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                result = Failed(error, qt_error_string(errno));
            } else if (got == 0) {
                break;
            } else {
                used += got;
            }
        }
        if (result == OrdinaryRead::Ok && used > maxBytes) {
            result = OrdinaryRead::TooLarge;
        }
        if (result == OrdinaryRead::Ok) {
            data.truncate(used);
            *bytes = std::move(data);
        }
    }
    ::close(handle);
    return result;
}
#else
OrdinaryRead ReadOrdinaryFile(const QString &path, qint64 maxBytes, QByteArray *bytes,
                              QString *error) {
    return ReadThroughQt(path, maxBytes, bytes, error);
}
#endif

} // namespace lumora
