// The benchmarks' school year at a small size, read back through the
// history: the classes, lessons, questions and students it was asked for,
// pictures for the handwritten question (one in four) only, and attendance
// that agrees with the answers.
#include "ScaleRecord.h"

#include "record/LessonHistory.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace lumora::test {
namespace {

using bench::RecordCounts;
using bench::RecordShape;

RecordShape Small(uint32_t seed = 7) {
    RecordShape shape;
    shape.classes = 2;
    shape.studentsPerClass = 5;
    shape.lessonsPerClass = 3;
    shape.questionsPerLesson = 4;
    shape.seed = seed;
    return shape;
}

TEST(ScaleRecord, WritesTheShapeItWasAskedFor) {
    const DataDir dir;
    const RecordShape shape = Small();
    RecordCounts counts;
    QString error;
    ASSERT_TRUE(bench::WriteScaleRecord(dir.Path(), shape, &counts, &error)) << error.toStdString();
    EXPECT_EQ(counts.lessons, 6);
    EXPECT_EQ(counts.questions, 24);
    EXPECT_EQ(counts.students, 120);

    LessonHistory history;
    ASSERT_TRUE(history.Open(dir.Path(), &error)) << error.toStdString();
    const auto classes = history.Classes();
    ASSERT_TRUE(classes);
    ASSERT_EQ(classes->size(), 2u);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ((*classes)[c].file, bench::ScaleClassFile(c));
        EXPECT_EQ((*classes)[c].name, bench::ScaleClassName(c));
        EXPECT_EQ((*classes)[c].lessons, 3);
    }
    const auto lessons = history.Lessons();
    ASSERT_TRUE(lessons);
    ASSERT_EQ(lessons->size(), 6u);

    // Pictures for the handwritten question only; whoever answered was heard.
    int pictures = 0;
    for (const LessonInfo &lesson : *lessons) {
        EXPECT_EQ(lesson.questionCount, 4);
        for (int question = 1; question <= 4; ++question) {
            const auto shown = history.Pictures(lesson.number, question).value();
            EXPECT_EQ(!shown.empty(), question == 4) << "question " << question;
            pictures += static_cast<int>(shown.size());
        }
        const auto attendance = history.Attendance(lesson.number);
        ASSERT_TRUE(attendance);
        for (const AttendanceInfo &student : *attendance) {
            EXPECT_TRUE(!student.answered || !student.firstHeard.isEmpty())
                << "seat " << student.seat;
        }
    }
    EXPECT_EQ(pictures, counts.pictures);
    // About one in ten gives no answer; some always do.
    EXPECT_GT(counts.answered, 120 * 7 / 10);
    EXPECT_LT(counts.answered, 120);
}

TEST(ScaleRecord, RefusesARecordThatExists) {
    const DataDir dir;
    QString error;
    ASSERT_TRUE(bench::WriteScaleRecord(dir.Path(), Small(), nullptr, &error));
    EXPECT_FALSE(bench::WriteScaleRecord(dir.Path(), Small(), nullptr, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("exists"))) << error.toStdString();
}

} // namespace
} // namespace lumora::test
