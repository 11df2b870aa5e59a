#include "config/TextFile.h"

#include "controls/Helpers.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <algorithm>
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

void AddLine(QList<int> &lines, int line) {
    if (lines.isEmpty() || lines.last() != line) {
        lines.append(line);
    }
}

// The end of the line that begins at start, after its break (CR LF, CR or
// LF, as the INI parser and the import split lines). Neither byte occurs
// inside a UTF-8 or GB18030 character.
template <typename View> qsizetype LineEnd(View text, qsizetype start) {
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text[i] == '\n') {
            return i + 1;
        }
        if (text[i] == '\r') {
            return i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
        }
    }
    return text.size();
}

// UTF-8, line by line: a line that is not valid UTF-8 is read as GB18030.
void DecodeLines(QByteArrayView bytes, DecodedText &out) {
    if (bytes.isValidUtf8()) {
        out.Text = QString::fromUtf8(bytes);
        return;
    }
    out.Text.reserve(bytes.size());
    int line = 1;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = LineEnd(bytes, start);
        const QByteArrayView part = bytes.sliced(start, end - start);
        if (part.isValidUtf8()) {
            out.Text += QString::fromUtf8(part);
        } else {
            bool failed = false;
            out.Text += DecodeGb18030(part, &failed);
            out.Encoding = TextEncoding::Gb18030;
            if (failed) {
                AddLine(out.NotTextLines, line);
            }
        }
        start = end;
        ++line;
    }
}

void DecodeUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding, DecodedText &out) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    out.Text = decoder.decode(bytes);
    // Lone surrogates and a last byte without its partner are not text.
    const QStringView text(out.Text);
    int line = 1;
    for (qsizetype start = 0; start < text.size(); ++line) {
        const qsizetype end = LineEnd(text, start);
        if (!text.sliced(start, end - start).isValidUtf16()) {
            AddLine(out.NotTextLines, line);
        }
        start = end;
    }
    if (bytes.size() % 2 != 0 || decoder.hasError()) {
        AddLine(out.NotTextLines, std::max(1, line - 1));
    }
}

// Takes the zero characters out of the text and notes their lines.
void RemoveZeros(DecodedText &out) {
    if (!out.Text.contains(QChar(u'\0'))) {
        return;
    }
    QString kept;
    kept.reserve(out.Text.size());
    const QStringView text(out.Text);
    int line = 1;
    for (qsizetype start = 0; start < text.size(); ++line) {
        const qsizetype end = LineEnd(text, start);
        for (const QChar c : text.sliced(start, end - start)) {
            if (c == u'\0') {
                AddLine(out.ZeroLines, line);
            } else {
                kept.append(c);
            }
        }
        start = end;
    }
    out.Text = kept;
}

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

bool HasGb18030Decoder() {
#ifdef Q_OS_WIN
    return true;
#else
    return QStringDecoder("GB18030").isValid();
#endif
}

QString DecodeGb18030(QByteArrayView bytes, bool *failed) {
    if (failed != nullptr) {
        *failed = false;
    }
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    if (decoder.isValid()) {
        QString text = decoder.decode(bytes);
        if (failed != nullptr) {
            *failed = decoder.hasError();
        }
        return text;
    }
#ifdef Q_OS_WIN
    // Code page 54936 is GB18030.
    const int size = static_cast<int>(bytes.size());
    if (failed != nullptr) {
        *failed = size > 0 && MultiByteToWideChar(54936, MB_ERR_INVALID_CHARS, bytes.data(), size,
                                                  nullptr, 0) == 0;
    }
    const int wide = MultiByteToWideChar(54936, 0, bytes.data(), size, nullptr, 0);
    QString text(wide, Qt::Uninitialized);
    MultiByteToWideChar(54936, 0, bytes.data(), size, reinterpret_cast<wchar_t *>(text.data()),
                        wide);
    return text;
#else
    return QString::fromLocal8Bit(bytes);
#endif
}

DecodedText DecodeTextFile(QByteArrayView bytes) {
    DecodedText out;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        DecodeLines(bytes.sliced(3), out);
    } else if (bytes.startsWith("\xFF\xFE")) {
        out.Encoding = TextEncoding::Utf16Le;
        DecodeUtf16(bytes.sliced(2), QStringConverter::Utf16LE, out);
    } else if (bytes.startsWith("\xFE\xFF")) {
        out.Encoding = TextEncoding::Utf16Be;
        DecodeUtf16(bytes.sliced(2), QStringConverter::Utf16BE, out);
    } else {
        DecodeLines(bytes, out);
    }
    RemoveZeros(out);
    return out;
}

QString DecodeText(QByteArrayView bytes, TextEncoding *used) {
    DecodedText decoded = DecodeTextFile(bytes);
    if (used != nullptr) {
        *used = decoded.Encoding;
    }
    return std::move(decoded.Text);
}

QString FileProblem::Describe() const {
    switch (What) {
    case Folder:
        return MessageTexts[MessageKey::FileIsFolder];
    case Unreadable:
        return SystemMessage;
    case ZeroByte:
        return FormatMessage(MessageTexts[MessageKey::FileZeroByte], {QString::number(Line)});
    case NotText:
        return FormatMessage(MessageTexts[MessageKey::FileNotText], {QString::number(Line)});
    case None:
        break;
    }
    return QString();
}

FileProblem FileProblem::Of(const DecodedText &decoded) {
    FileProblem problem;
    const int zero = decoded.ZeroLines.isEmpty() ? 0 : decoded.ZeroLines.first();
    const int notText = decoded.NotTextLines.isEmpty() ? 0 : decoded.NotTextLines.first();
    if (zero != 0 && (notText == 0 || zero <= notText)) {
        problem.What = ZeroByte;
        problem.Line = zero;
    } else if (notText != 0) {
        problem.What = NotText;
        problem.Line = notText;
    }
    return problem;
}

ReadStatus ReadFileBytes(const QString &path, QByteArray *bytes, FileProblem *problem) {
    bytes->clear();
    const QFileInfo info(path);
    if (!info.exists()) {
        return ReadStatus::Missing;
    }
    FileProblem found;
    QFile file(path);
    if (info.isDir()) {
        found.What = FileProblem::Folder;
    } else if (!file.open(QIODevice::ReadOnly)) {
        found.What = FileProblem::Unreadable;
        found.SystemMessage = file.errorString();
    } else {
        QByteArray data = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            *bytes = std::move(data);
            return ReadStatus::Ok;
        }
        found.What = FileProblem::Unreadable;
        found.SystemMessage = file.errorString();
    }
    if (problem != nullptr) {
        *problem = found;
    }
    return ReadStatus::Failed;
}

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
