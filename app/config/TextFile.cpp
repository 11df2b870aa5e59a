#include "config/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace lumora {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

QByteArrayView WithoutBom(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(kUtf8Bom, 3)) ? bytes.sliced(3) : bytes;
}

void (*gBeforeReplaceHook)() = nullptr;

} // namespace

TextEncoding DetectTextEncoding(QByteArrayView bytes) {
    return bytes.isValidUtf8() ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

bool HasGb18030Decoder() {
#ifdef Q_OS_WIN
    return true;
#else
    return QStringDecoder("GB18030").isValid();
#endif
}

QString DecodeGb18030(QByteArrayView bytes) {
    QStringDecoder decoder("GB18030");
    if (decoder.isValid()) {
        return decoder.decode(bytes);
    }
#ifdef Q_OS_WIN
    // Code page 54936 is GB18030.
    const int size = static_cast<int>(bytes.size());
    const int wide = MultiByteToWideChar(54936, 0, bytes.data(), size, nullptr, 0);
    QString text(wide, Qt::Uninitialized);
    MultiByteToWideChar(54936, 0, bytes.data(), size, reinterpret_cast<wchar_t *>(text.data()),
                        wide);
    return text;
#else
    return QString::fromLocal8Bit(bytes);
#endif
}

QString DecodeText(QByteArrayView bytes, TextEncoding *used) {
    const TextEncoding encoding = DetectTextEncoding(bytes);
    if (used != nullptr) {
        *used = encoding;
    }
    if (encoding == TextEncoding::Utf8) {
        return QString::fromUtf8(WithoutBom(bytes));
    }
    return DecodeGb18030(bytes);
}

ReadStatus ReadFileBytes(const QString &path, QByteArray *bytes, QString *error) {
    bytes->clear();
    const QFileInfo info(path);
    if (!info.exists()) {
        return ReadStatus::Missing;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        if (error != nullptr) {
            *error = info.isDir() ? QStringLiteral("%1 is a folder").arg(path) : file.errorString();
        }
        return ReadStatus::Failed;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return ReadStatus::Failed;
    }
    *bytes = std::move(data);
    return ReadStatus::Ok;
}

bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error) {
    QSaveFile file(path);
    // Never fall back to writing the target in place: that would tear it.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    // A failed write or commit leaves the temporary file to QSaveFile, which
    // removes it; the target is replaced only by a successful commit.
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        file.cancelWriting();
        return false;
    }
    if (gBeforeReplaceHook != nullptr) {
        file.flush();
        gBeforeReplaceHook();
    }
    if (!file.commit()) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

void SetBeforeReplaceHookForTesting(void (*hook)()) {
    gBeforeReplaceHook = hook;
}

} // namespace lumora
