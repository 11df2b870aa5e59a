#include "config/ImportParser.h"

#include "config/TextFile.h"

#include <algorithm>

namespace lumora {

namespace {

constexpr qsizetype kIdChars = 6;

} // namespace

QStringList SplitLines(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.sliced(start, i - start).toString());
            i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.append(text.sliced(start).toString());
    }
    return lines;
}

bool ParseImportId(QStringView text, int32_t *value) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    int64_t total = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return false;
        }
        total = total * 10 + (c - u'0');
        if (total > INT32_MAX) {
            return false;
        }
    }
    const int32_t result = static_cast<int32_t>(negative ? -total : total);
    if (result == -1) {
        return false;
    }
    *value = result;
    return true;
}

ImportParseResult ParseImportFile(QByteArrayView bytes) {
    ImportParseResult result;
    const DecodedText decoded = DecodeTextFile(bytes);
    const QStringList lines = SplitLines(decoded.Text);
    for (const QList<int> &bad : {decoded.NotTextLines, decoded.ZeroLines}) {
        for (const int line : bad) {
            if (!result.NotTextLines.contains(line)) {
                result.NotTextLines.append(line);
            }
        }
    }
    std::sort(result.NotTextLines.begin(), result.NotTextLines.end());
    // Every line is checked, also those the table has no room for; blank
    // lines are no students.
    qsizetype lastRead = 0;
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const QString &line = lines[k];
        if (line.trimmed().isEmpty()) {
            continue;
        }
        ++result.LineCount;
        const qsizetype hash = line.indexOf(u'#');
        ImportedStudent student;
        student.Name = hash > 0 ? CutToSlotText(QStringView(line).left(hash)) : QString();
        const QStringView idText = QStringView(line).sliced(hash + 1).left(kIdChars);
        int32_t id = 0;
        const bool valid = ParseImportId(idText, &id);
        if (valid) {
            student.CardID = static_cast<uint16_t>(static_cast<uint32_t>(id) & 0xFFFFu);
        }
        if (result.Entries.size() < kSlotCount || !valid) {
            result.Entries.append(student);
            lastRead = k + 1;
        } else {
            ++result.IgnoredLines;
        }
        if (!valid) {
            result.Failed = true;
            result.FailedLineIndex = static_cast<int>(k);
            result.FailedLine = line;
            result.IgnoredLines = 0;
            break;
        }
    }
    // Only lines that were read are worth a word.
    result.NotTextLines.removeIf([lastRead](int line) { return line > lastRead; });
    return result;
}

int LinesBeyondLastSeat(const ImportParseResult &result, int seats) {
    const int students =
        result.Failed ? static_cast<int>(result.Entries.size()) - 1 : result.LineCount;
    return std::max(0, students - std::clamp(seats, 0, kSlotCount));
}

void ApplyImport(SlotTable &table, const ImportParseResult &result, int mainLine, int mainRow) {
    table.Clear();
    const qsizetype entries = std::min<qsizetype>(result.Entries.size(), kSlotCount);
    for (qsizetype k = 0; k < entries; ++k) {
        StudentSlot &slot = table[static_cast<int>(k)];
        slot.Name = result.Entries[k].Name;
        slot.CardID = result.Entries[k].CardID;
    }
    const int64_t seats = static_cast<int64_t>(mainLine) * mainRow;
    table.SetCount(static_cast<int>(std::clamp<int64_t>(seats, 0, kSlotCount)));
}

} // namespace lumora
