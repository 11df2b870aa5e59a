// Reading and writing the program's text files (DESIGN.md "Files and text").
//
// Files are written as UTF-8. A file that is not valid UTF-8 is read in the
// legacy Chinese code page GB18030, so that files written by older
// installations (which used the system's ANSI code page) still load. Writes
// are atomic: the bytes go to a temporary file in the same folder, which then
// replaces the target by a rename, so a crash or power cut leaves either the
// old or the new file whole, never a torn one.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumora {

enum class TextEncoding {
    Utf8,    // valid UTF-8 (with or without a byte order mark)
    Gb18030, // not valid UTF-8: read in the legacy code page
};

// The encoding DecodeText uses for bytes.
TextEncoding DetectTextEncoding(QByteArrayView bytes);

// Bytes of a text file as text: UTF-8 when valid (a leading byte order mark is
// dropped), else GB18030. Never fails; bytes that no encoding maps become
// U+FFFD.
QString DecodeText(QByteArrayView bytes, TextEncoding *used = nullptr);

// Bytes in the legacy Chinese code page GB18030 as text.
QString DecodeGb18030(QByteArrayView bytes);

// True when this build can decode GB18030 exactly (Qt with ICU, or Windows);
// otherwise DecodeGb18030 falls back to the system's 8-bit code page.
bool HasGb18030Decoder();

enum class ReadStatus {
    Ok,      // the file was read
    Missing, // no file of that name
    Failed,  // the file exists but could not be read (or is a folder)
};

// Reads a whole file into *bytes (emptied unless Ok). On Failed, *error (when
// given) holds the platform's message.
ReadStatus ReadFileBytes(const QString &path, QByteArray *bytes, QString *error = nullptr);

// Replaces the file at path with bytes, atomically (QSaveFile: temporary file
// in the same folder, then rename). The folder must exist. Returns false and
// leaves the old file untouched on any failure; *error (when given) tells why.
bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr);

// For tests only: a function WriteFileAtomically calls after the temporary
// file is written and before it replaces the target (to simulate a crash
// there). Null (the default) calls nothing.
void SetBeforeReplaceHookForTesting(void (*hook)());

} // namespace lumora
