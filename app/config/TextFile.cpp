#include "config/TextFile.h"

#include "core/MessageTexts.h"
#include "platform/CodePage.h"
#include "platform/OrdinaryFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>

namespace lumora {

namespace {

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

} // namespace

bool HasGb18030Decoder() {
    return QStringDecoder("GB18030").isValid() || SystemDecodes(kGb18030CodePage);
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
    // A Qt without ICU (the Windows build): the system's code page.
    QString text;
    if (DecodeWithSystem(kGb18030CodePage, bytes, &text, failed)) {
        return text;
    }
    return QString::fromLocal8Bit(bytes);
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
    case NotOrdinary:
        return MessageTexts[MessageKey::FileNotOrdinary];
    case TooLarge:
        return FormatMessage(MessageTexts[MessageKey::FileTooLarge],
                             {QString::number(kMaxTextFileBytes / (1024 * 1024))});
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
    if (info.isDir()) {
        found.What = FileProblem::Folder;
    } else {
        QString reason;
        switch (ReadOrdinaryFile(path, kMaxTextFileBytes, bytes, &reason)) {
        case OrdinaryRead::Ok:
            return ReadStatus::Ok;
        case OrdinaryRead::NotOrdinary:
            found.What = FileProblem::NotOrdinary;
            break;
        case OrdinaryRead::TooLarge:
            found.What = FileProblem::TooLarge;
            break;
        case OrdinaryRead::Failed:
            found.What = FileProblem::Unreadable;
            found.SystemMessage = reason;
            break;
        }
    }
    if (problem != nullptr) {
        *problem = found;
    }
    return ReadStatus::Failed;
}

} // namespace lumora
