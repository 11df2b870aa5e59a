#include "config/IniFile.h"

#include "platform/AtomicFile.h"

#include <SimpleIni.h>

#include <list>
#include <string>

namespace lumora {

struct IniFile::Data {
    // Multi-key: a key that occurs twice keeps both lines and reads the first,
    // as the platform does; writing replaces them with one.
    CSimpleIniA ini{/*utf8=*/true, /*multiKey=*/true, /*multiLine=*/false};
};

namespace {

std::string Utf8(QStringView text) {
    return text.toUtf8().toStdString();
}

bool IsQuoted(QStringView value) {
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
           value.back() == value.front();
}

// A value as the profile functions give it: one pair of surrounding quotes
// removed (SimpleIni has trimmed it already).
QString Unquoted(const char *value) {
    const QString text = QString::fromUtf8(value);
    return IsQuoted(text) ? text.sliced(1, text.size() - 2) : text;
}

} // namespace

IniFile::IniFile() : d_(std::make_unique<Data>()) {
    d_->ini.SetSpaces(false);
}

IniFile::~IniFile() = default;

ReadStatus IniFile::Load(const QString &path, FileProblem *problem) {
    d_->ini.Reset();
    QByteArray bytes;
    const ReadStatus status = ReadFileBytes(path, &bytes, problem);
    if (status != ReadStatus::Ok) {
        return status;
    }
    // Zero bytes are left out of the text, so the parser sees every line.
    const DecodedText decoded = DecodeTextFile(bytes);
    const QByteArray utf8 = decoded.Text.toUtf8();
    const SI_Error rc = d_->ini.LoadData(utf8.constData(), static_cast<size_t>(utf8.size()));
    if (rc < 0) {
        d_->ini.Reset();
        if (problem != nullptr) {
            problem->What = FileProblem::Unreadable;
            problem->SystemMessage = QString::fromLatin1("SimpleIni error %1").arg(rc);
        }
        return ReadStatus::Failed;
    }
    if (!decoded.IsComplete()) {
        if (problem != nullptr) {
            *problem = FileProblem::Of(decoded);
        }
        return ReadStatus::Incomplete;
    }
    return ReadStatus::Ok;
}

QByteArray IniFile::ToBytes() const {
    std::string out;
    d_->ini.Save(out, /*addSignature=*/false);
    return QByteArray::fromStdString(out);
}

bool IniFile::Save(const QString &path, QString *error) const {
    return WriteFileAtomically(path, ToBytes(), error);
}

QStringList IniFile::SectionNames() const {
    CSimpleIniA::TNamesDepend sections;
    d_->ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList names;
    for (const CSimpleIniA::Entry &entry : sections) {
        if (entry.pItem != nullptr && entry.pItem[0] != '\0') {
            names.append(QString::fromUtf8(entry.pItem));
        }
    }
    return names;
}

bool IniFile::HasKey(QStringView section, QStringView key) const {
    return d_->ini.GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr) != nullptr;
}

QString IniFile::ReadString(QStringView section, QStringView key, const QString &fallback) const {
    const char *value = d_->ini.GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr);
    return value == nullptr ? fallback : Unquoted(value);
}

int32_t IniFile::ReadInt(QStringView section, QStringView key, int32_t fallback) const {
    const char *value = d_->ini.GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr);
    return value == nullptr ? fallback : ParseProfileInt(Unquoted(value), fallback);
}

void IniFile::WriteString(QStringView section, QStringView key, QStringView value) {
    // A line break would start a new line of the file: write the text up to it.
    qsizetype end = value.size();
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\r' || value[i] == u'\n' || value[i] == u'\0') {
            end = i;
            break;
        }
    }
    const QStringView line = value.left(end);
    const bool keep = IsQuoted(line) || line.trimmed().size() != line.size();
    const std::string text = keep ? Utf8(QString(u'"' + line.toString() + u'"')) : Utf8(line);
    d_->ini.SetValue(Utf8(section).c_str(), Utf8(key).c_str(), text.c_str(), nullptr,
                     /*forceReplace=*/true);
}

void IniFile::WriteInt(QStringView section, QStringView key, int64_t value) {
    WriteString(section, key, QString::number(value));
}

int32_t ParseProfileInt(QStringView text, int32_t fallback) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].unicode() <= u' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < n && text[i] == u'0') {
        const char16_t prefix = text[i + 1].unicode();
        if (prefix == u'x') {
            base = 16;
        } else if (prefix == u'o') {
            base = 8;
        } else if (prefix == u'b') {
            base = 2;
        }
        if (base != 10) {
            i += 2;
        }
    }
    uint32_t total = 0;
    bool anyDigit = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        uint32_t digit = 99;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (c >= u'a' && c <= u'z') {
            digit = c - u'a' + 10;
        } else if (c >= u'A' && c <= u'Z') {
            digit = c - u'A' + 10;
        }
        if (digit >= base) {
            break;
        }
        total = total * base + digit; // wraps like the platform's 32-bit total
        anyDigit = true;
    }
    if (!anyDigit) {
        // "0x" alone: the platform read the prefix and found no digit, giving 0.
        return base != 10 ? 0 : fallback;
    }
    return static_cast<int32_t>(negative ? 0u - total : total);
}

} // namespace lumora
