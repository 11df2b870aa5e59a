// An INI file as the platform's profile functions read and write it, over
// SimpleIni (SI_NO_CONVERSION: the bytes are decoded here, see TextFile.h).
//
// Section and key names match without regard to case; values are trimmed and,
// as the platform's profile functions read them, lose one pair of surrounding
// quotes ("Ann" and 'Ann' read as Ann). Load keeps every section, key, value
// and comment of the file, Save writes them back in their order with the
// changed values in place and new keys at the end of their section, as
// "key=value" lines, in UTF-8, atomically.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <memory>

#include "config/TextFile.h"

namespace lumora {

class IniFile {
public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    // Reads the file (see DecodeTextFile). Missing: an empty file; Failed: an
    // empty file and *problem set; Incomplete: what could be read (zero bytes
    // left out) and *problem set.
    ReadStatus Load(const QString &path, FileProblem *problem = nullptr);
    // Writes the whole file atomically (see WriteFileAtomically).
    bool Save(const QString &path, QString *error = nullptr) const;

    // The section names, in file order ("[]" and keys before the first
    // section header are not a section).
    QStringList SectionNames() const;
    bool HasKey(QStringView section, QStringView key) const;

    // The value without surrounding quotes, or fallback when the key is
    // missing. An empty value is an empty text.
    QString ReadString(QStringView section, QStringView key, const QString &fallback = {}) const;
    // The value as the platform's GetPrivateProfileInt reads it: fallback when
    // the key is missing or its value is empty or has no leading number (see
    // ParseProfileInt).
    int32_t ReadInt(QStringView section, QStringView key, int32_t fallback) const;

    // Writes the value up to its first line break. A value that reading
    // would change (blanks at an end, surrounding quotes) is written in
    // double quotes, so it reads back as it was.
    void WriteString(QStringView section, QStringView key, QStringView value);
    void WriteInt(QStringView section, QStringView key, int64_t value);

    // The whole file as Save would write it.
    QByteArray ToBytes() const;

private:
    struct Data;
    std::unique_ptr<Data> d_;
};

// The leading integer of text as the platform's profile functions read it:
// blanks and control characters skipped, an optional sign, an optional base
// prefix ("0x" hexadecimal, "0o" octal, "0b" binary), then digits up to the
// first character that is not one; wraps around 32 bits like the platform. No
// digit at all (an empty text, "abc", "-") gives fallback. "12abc" is 12,
// " 7" is 7, "-3" is -3, "0x1A" is 26.
int32_t ParseProfileInt(QStringView text, int32_t fallback);

} // namespace lumora
