// What producers hand to the record's writer thread: one small event per key
// press, pen point or unknown tablet, and rarer events that carry a payload
// (a question's start or end with the roster, an ink picture).
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace lumora {

// One named roster entry as it stood when a question started or ended.
struct RosterEntry {
    int slot = 0; // entry index; the seat number is slot + 1
    QString name;
    uint16_t cardId = 0;
    QString paneName;
    uint16_t paneId = 0;
    uint32_t answer = 0;
    // The entry's tablet heard first and last this lesson (steady clock;
    // 0: not heard).
    int64_t firstHeardNs = 0;
    int64_t lastHeardNs = 0;
};

// A question run from a question set: its set, its number there (from 1;
// 0 for a question not from a set), its text and points, and the time limit
// it ran with (every extension included; 0 for none).
struct QuestionPlace {
    QString setName;
    int number = 0;
    QString text;
    std::optional<double> points;
    int64_t limitMs = 0;
};

struct RecordPayload {
    // The class being taught (its file under Classes/, its name); both empty
    // for the unnamed class.
    QString classFile;
    QString className;
    int questionType = 0;
    QString answerKey;
    QuestionPlace place;
    std::vector<RosterEntry> roster;
    QImage picture; // a deep copy, encoded on the writer thread
};

struct RecordEvent {
    enum class Kind : uint8_t {
        Key,
        PenPoint,
        PenUp,
        UnknownTablet,
        QuestionStarted,
        QuestionEnded,
        Picture,
        QuestionResumed,
        Pick, // a student picked at random: payload roster[0]; value: among what
        // The class being taught from now on (payload classFile, className);
        // value 1: the same class renamed.
        ClassChanged,
    };
    Kind kind = Kind::Key;
    uint8_t slot = 0;   // entry index
    uint16_t value = 0; // key code, or tablet ID
    int32_t x = 0;      // pen point in ink pixels
    int32_t y = 0;
    uint32_t answer = 0;    // answer mask after a key press
    int64_t enqueuedNs = 0; // steady clock when it was queued
    std::unique_ptr<RecordPayload> payload;
};

} // namespace lumora
