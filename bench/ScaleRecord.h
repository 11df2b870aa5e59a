// A teacher's school year written straight into a fresh lesson record, for
// the history's benchmark and its test: classes taught on every school day,
// each lesson a mix of single, multiple and handwritten questions, the
// students' answers, key presses, pen strokes, pictures and attendance.
// Seeded, so the same shape always gives the same record.
#pragma once

#include <QString>

#include <cstdint>

namespace lumora::bench {

struct RecordShape {
    int classes = 6;
    int studentsPerClass = 40;
    int lessonsPerClass = 200;
    // Every fourth is handwritten (with a picture of each student who
    // wrote), the others single or multiple choice.
    int questionsPerLesson = 8;
    // Ink of each student who wrote: strokes of so many points.
    int strokesPerWriter = 2;
    int pointsPerStroke = 16;
    uint32_t seed = 2026;
};

// What was written, row by row.
struct RecordCounts {
    int64_t lessons = 0;
    int64_t questions = 0;
    int64_t students = 0; // one row per student and question
    int64_t answered = 0; // of those, with an answer (presses or a picture)
    int64_t presses = 0;
    int64_t strokes = 0;
    int64_t pictures = 0;
    int64_t attendance = 0;
};

// The file name under Classes/ and the name of class index (from 0).
QString ScaleClassFile(int index);
QString ScaleClassName(int index);

// Writes the year into dataDir's Records/lessons.db, which must not exist
// yet, through the program's own connection (schema and pragmas). False with
// *error; *counts (when given) what was written.
bool WriteScaleRecord(const QString &dataDir, const RecordShape &shape, RecordCounts *counts,
                      QString *error);

} // namespace lumora::bench
