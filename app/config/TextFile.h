// Reading and writing the program's text files (DESIGN.md "Files and text").
//
// Files are written as UTF-8. Reading honours a byte order mark (UTF-8,
// UTF-16 LE, UTF-16 BE). Without one, a file that is valid UTF-8 as a whole is
// UTF-8; otherwise each line that is not valid UTF-8 is read in the legacy
// Chinese code page GB18030, so that files written by older installations (the
// system's ANSI code page) or edited line by line in another editor still
// load, and one bad byte never spoils the other lines. Bytes that no encoding
// maps and zero bytes are reported with their line, so that a file that was
// not read completely is never rewritten from what was read.
//
// Writes go through WriteFileAtomically (platform/AtomicFile.h).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace lumora {

enum class TextEncoding {
    Utf8,    // UTF-8 (with or without a byte order mark)
    Gb18030, // at least one line was not UTF-8 and was read in the legacy code page
    Utf16Le, // byte order mark FF FE
    Utf16Be, // byte order mark FE FF
};

// A text file's bytes as text.
struct DecodedText {
    QString Text; // without the byte order mark and without zero characters
    TextEncoding Encoding = TextEncoding::Utf8;
    // 1-based numbers of the lines that held a zero character, and of the
    // lines with bytes that their encoding does not map (those became U+FFFD).
    QList<int> ZeroLines;
    QList<int> NotTextLines;

    // Every byte became the character it stands for.
    bool IsComplete() const { return ZeroLines.isEmpty() && NotTextLines.isEmpty(); }
};

// Decodes a text file (see the top of this file). Never fails.
DecodedText DecodeTextFile(QByteArrayView bytes);

// DecodeTextFile(bytes).Text, and the encoding used.
QString DecodeText(QByteArrayView bytes, TextEncoding *used = nullptr);

// Bytes in the legacy Chinese code page GB18030 as text; *failed (when given)
// is set when some bytes did not map (they became U+FFFD).
QString DecodeGb18030(QByteArrayView bytes, bool *failed = nullptr);

// True when this build can decode GB18030 exactly (Qt with ICU, or Windows);
// otherwise DecodeGb18030 falls back to the system's 8-bit code page.
bool HasGb18030Decoder();

// What kept a file from being read completely.
struct FileProblem {
    enum Kind {
        None,
        Folder,      // a folder stands where the file should be
        Unreadable,  // the platform refused to read it (SystemMessage says why)
        ZeroByte,    // Line holds a zero byte
        NotText,     // Line holds bytes that are not text in its encoding
        NotOrdinary, // a device, a named pipe or a socket: never read
        TooLarge,    // more than kMaxTextFileBytes: never read
    };
    Kind What = None;
    int Line = 0;
    QString SystemMessage;

    bool IsProblem() const { return What != None; }
    // Why, in the current MessageTexts ("line 3 holds a zero byte").
    QString Describe() const;
    // The first problem of decoded text, or None.
    static FileProblem Of(const DecodedText &decoded);
};

enum class ReadStatus {
    Ok,         // the file was read completely
    Missing,    // no file of that name
    Failed,     // the file exists but could not be read (or is a folder)
    Incomplete, // read, but some bytes could not be taken (see FileProblem)
};

// The largest text file the program reads (a roster, an import, the
// settings, a language): far more than any of them holds.
inline constexpr qint64 kMaxTextFileBytes = 4 * 1024 * 1024;

// Reads a whole file into *bytes (emptied unless Ok): only an ordinary file of
// at most kMaxTextFileBytes, opened without waiting. On Failed, *problem
// (when given) says why.
ReadStatus ReadFileBytes(const QString &path, QByteArray *bytes, FileProblem *problem = nullptr);

} // namespace lumora
