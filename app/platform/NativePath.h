// A QString path for the interfaces that do not take one, keeping every
// character: wide on Windows (a narrow name there is in the ANSI code page,
// which has no room for most Chinese characters), the file system's encoding
// elsewhere.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <filesystem>

namespace lumora {

// For std::filesystem.
inline std::filesystem::path FileSystemPath(const QString &path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// For a C library that takes a file name as UTF-8 on Windows and opens it
// with the wide calls there (libxlsxwriter), and as the file system's bytes
// elsewhere.
inline QByteArray Utf8FileNameOnWindows(const QString &path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

} // namespace lumora
