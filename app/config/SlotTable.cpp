#include "config/SlotTable.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cstring>

namespace lumora {

namespace {

// UTF-8 length of one UTF-16 segment (lone surrogates count as the 3-byte
// replacement character that toUtf8 writes for them).
qsizetype Utf8Length(QStringView text) {
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += 1;
        } else if (c < 0x800) {
            bytes += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

// The longest prefix of text that ends on a grapheme boundary and takes at
// most limit UTF-8 bytes.
QStringView CutAtCharacter(QStringView text, qsizetype limit) {
    if (Utf8Length(text) <= limit) {
        return text;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.toString());
    qsizetype kept = 0;
    qsizetype bytes = 0;
    for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary()) {
        const qsizetype more = Utf8Length(text.mid(kept, next - kept));
        if (bytes + more > limit) {
            break;
        }
        bytes += more;
        kept = next;
    }
    return text.left(kept);
}

QStringView UpToNul(QStringView text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

} // namespace

bool SlotText::Assign(QStringView text) {
    const QStringView whole = UpToNul(text);
    const QStringView kept = CutAtCharacter(whole, kSlotTextBytes);
    const QByteArray utf8 = kept.toUtf8();
    Clear();
    std::memcpy(bytes_.data(), utf8.constData(),
                static_cast<size_t>(std::min<qsizetype>(utf8.size(), kSlotTextBytes)));
    return kept.size() != whole.size();
}

int SlotText::Size() const {
    return static_cast<int>(std::find(bytes_.begin(), bytes_.end(), '\0') - bytes_.begin());
}

QString CutToSlotText(QStringView text) {
    return SlotText(text).ToString();
}

void StudentSlot::Clear() {
    Name.Clear();
    EntryNumber = 0;
    CardID = 0;
    Answer = 0;
    Seen = 0;
    InkCanvas = nullptr;
    CardSplitName.Clear();
    CardSplitID = 0;
}

QString StudentSlot::PaneName() const {
    return CardSplitName.IsEmpty() ? Name.ToString() : CardSplitName.ToString();
}

uint16_t StudentSlot::PaneID() const {
    return CardSplitName.IsEmpty() ? CardID.load() : CardSplitID.load();
}

void SlotTable::Clear() {
    Count = 0;
    for (StudentSlot &slot : Slots) {
        slot.Clear();
    }
}

void SlotTable::SetCount(int count) {
    Count = std::clamp(count, 0, kSlotCount);
}

int FindSlot(const SlotTable &table, uint16_t tabletId, int eventType) {
    const bool pen = eventType == kEventPenDown || eventType == kEventPenUp;
    const int count = std::min(table.Count.load(), kSlotCount);
    for (int i = 0; i < count; ++i) {
        const StudentSlot &slot = table[i];
        if ((pen ? slot.CardSplitID.load() : slot.CardID.load()) == tabletId) {
            return i;
        }
    }
    return -1;
}

} // namespace lumora
