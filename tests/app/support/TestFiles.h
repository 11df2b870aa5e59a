// Small helpers of the core tests: a temporary data folder and raw file I/O.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lumora::test {

// A fresh data folder, removed after the test.
class DataDir {
public:
    DataDir() { EXPECT_TRUE(dir_.isValid()); }
    QString Path() const { return dir_.path(); }
    QString File(const QString &name) const { return QDir(dir_.path()).filePath(name); }

    void Write(const QString &name, const QByteArray &bytes) const {
        const QString path = File(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray Read(const QString &name) const {
        QFile file(File(name));
        if (!file.open(QIODevice::ReadOnly)) {
            return QByteArray();
        }
        return file.readAll();
    }
    bool Exists(const QString &name) const { return QFile::exists(File(name)); }
    QStringList Entries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir dir_;
};

inline QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// Text as a Windows editor saves "Unicode": UTF-16 with a byte order mark.
inline QByteArray Utf16(const QString &text, bool bigEndian = false) {
    QByteArray bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

} // namespace lumora::test

// Readable QString output in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *os) {
    *os << '"' << bytes.toStdString() << '"';
}
QT_END_NAMESPACE
