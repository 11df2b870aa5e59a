// The roster in memory: the program-wide SlotTable of exactly
// 100 StudentSlot entries and its roster count.
//
// Entry i is seat i of every grid (SeatGrid, LiveGrid, AnswerGrid), row i of
// the student list and section i + 1 ("%.4d") of StudentInfo.ini. Each entry
// has a seat layer (Name, CardID), a pane layer (CardSplitName, CardSplitID)
// and runtime fields (Answer, Seen, InkCanvas).
//
// Threads: the user-interface thread owns the table and writes everything
// except the runtime words. The receiver's reader thread reads
// Count, CardID and CardSplitID to find a tablet's entry and writes Answer and
// Seen; those five fields are std::atomic words, read and written whole, so no
// data race remains. Names and InkCanvas are touched on the user-interface
// thread only. A roster import keeps the handlers off the table
// while it replaces it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <atomic>
#include <cstdint>

class QImage;

namespace lumora {

// Entries of the table; the table does not grow.
inline constexpr int kSlotCount = 100;

// Longest text a name field holds, in UTF-8 bytes: 16 Chinese characters even
// outside the basic plane (4 bytes each), 21 of the common 3-byte ones.
inline constexpr int kSlotTextBytes = 64;

// A fixed text field of an entry: at most kSlotTextBytes bytes of UTF-8, always
// cut at a character (grapheme) boundary, zero-filled behind the text. A
// default-constructed or cleared SlotText is empty.
class SlotText {
public:
    SlotText() = default;
    explicit SlotText(QStringView text) { Assign(text); }

    // Stores text, up to its first NUL, cut to at most kSlotTextBytes UTF-8
    // bytes without splitting a character. Returns true when it was cut.
    bool Assign(QStringView text);
    SlotText &operator=(QStringView text) {
        Assign(text);
        return *this;
    }
    SlotText &operator=(const QString &text) { return operator=(QStringView(text)); }

    QString ToString() const { return QString::fromUtf8(bytes_.data(), Size()); }
    operator QString() const { return ToString(); }
    QByteArray Utf8() const { return QByteArray(bytes_.data(), Size()); }
    int Size() const; // bytes used
    bool IsEmpty() const { return bytes_[0] == '\0'; }
    void Clear() { bytes_.fill('\0'); }

    friend bool operator==(const SlotText &, const SlotText &) = default;

private:
    std::array<char, kSlotTextBytes + 1> bytes_{};
};

// The text of at most kSlotTextBytes UTF-8 bytes that SlotText keeps of text.
QString CutToSlotText(QStringView text);

// One seat of the roster, fields in the order of the file.
struct StudentSlot {
    // Seat layer: the student who sits at this seat (SeatGrid, AnswerGrid).
    SlotText Name;
    // 1-based number of the entry, set by LoadRoster (0 after an import);
    // nothing reads it.
    uint16_t EntryNumber = 0;
    // Seat layer: the tablet ID of that student. Key presses and every other
    // event that is not a pen event are routed by it. Read by the reader thread.
    std::atomic<uint16_t> CardID{0};
    // Runtime: answer mask of the current choice question (see Helpers.h);
    // 0 = no answer. Written by the reader thread.
    std::atomic<uint32_t> Answer{0};
    // Runtime: 1 when an event routed to this entry arrived since the last
    // clock tick, else 0. Written by the reader thread.
    std::atomic<int32_t> Seen{0};
    // Runtime: the ink bitmap of LiveGrid tile i (a QImage in the pixel layout
    // of PenlynxSurface, Format_RGB32), owned by the tile; set at start-up and
    // after an import, handed to SDKDraw. Not owned here; user-interface
    // thread only.
    QImage *InkCanvas = nullptr;
    // Pane layer: the student shown in pane i of LiveGrid; empty means the
    // same as the seat layer.
    SlotText CardSplitName;
    // Pane layer: the tablet ID of that student; pen events are routed by it.
    // Read by the reader thread.
    std::atomic<uint16_t> CardSplitID{0};

    StudentSlot() = default;
    StudentSlot(const StudentSlot &) = delete;
    StudentSlot &operator=(const StudentSlot &) = delete;

    // Every field back to zero / empty / null ("cleared to zero bytes").
    void Clear();

    // What the LiveGrid tile shows: the pane layer, or the seat layer when
    // CardSplitName is empty.
    QString PaneName() const;
    uint16_t PaneID() const;
};

// The roster count and exactly kSlotCount entries. Lives for the whole run.
struct SlotTable {
    // Entries 0 .. Count - 1 form the roster; 0 <= Count <= kSlotCount.
    // Read by the reader thread.
    std::atomic<int32_t> Count{0};
    std::array<StudentSlot, kSlotCount> Slots;

    SlotTable() = default;
    SlotTable(const SlotTable &) = delete;
    SlotTable &operator=(const SlotTable &) = delete;

    StudentSlot &operator[](int index) { return Slots[static_cast<size_t>(index)]; }
    const StudentSlot &operator[](int index) const { return Slots[static_cast<size_t>(index)]; }

    // Count 0 and every entry cleared (before a load and before an import).
    void Clear();

    // Sets the count, limited to 0 .. kSlotCount.
    void SetCount(int count);
};

// Event types of the receiver (penlynx.h) that FindSlot distinguishes.
inline constexpr int kEventPenDown = 1;
inline constexpr int kEventPenUp = 2;

// The entry for a tablet: pen events (types 1 and 2) are matched
// against CardSplitID, every other type against CardID; the first of the
// entries 0 .. Count - 1 that matches, or -1 (also when Count <= 0). Safe on
// the reader thread.
int FindSlot(const SlotTable &table, uint16_t tabletId, int eventType);

} // namespace lumora
