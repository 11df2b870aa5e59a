// The benchmarks' school year at a small size, read back through the
// history: the classes, lessons, questions and students it was asked for,
// answers that agree with their presses, pictures for the handwritten
// question (one in four) only, and attendance that agrees with the answers.
#include "ScaleRecord.h"

#include "record/LessonHistory.h"
#include "support/TestFiles.h"

#include <QImage>

#include <gtest/gtest.h>

#include <map>

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

    RecordCounts seen;
    for (const LessonInfo &lesson : *lessons) {
        EXPECT_EQ(lesson.questionCount, 4);
        EXPECT_LT(lesson.startedAt, lesson.endedAt);
        // Presses by question and seat: the last leaves the final answer.
        std::map<std::pair<int, int>, std::vector<PressInfo>> presses;
        const auto pressList = history.Presses(lesson.number);
        ASSERT_TRUE(pressList);
        for (const PressInfo &press : *pressList) {
            presses[{press.question, press.seat}].push_back(press);
            ++seen.presses;
        }
        std::map<int, bool> answeredAny;
        const auto questions = history.Questions(lesson.number).value();
        ASSERT_EQ(questions.size(), 4u);
        for (const QuestionInfo &question : questions) {
            const bool handwritten = question.number == 4;
            EXPECT_EQ(question.type == 2, handwritten) << "question " << question.number;
            const auto students = history.Students(lesson.number, question.number).value();
            ASSERT_EQ(students.size(), 5u);
            std::map<int, bool> wrote;
            const auto pictures = history.Pictures(lesson.number, question.number);
            ASSERT_TRUE(pictures);
            for (const PictureInfo &picture : *pictures) {
                EXPECT_FALSE(QImage(picture.path).isNull()) << picture.path.toStdString();
                wrote[picture.seat] = true;
                ++seen.pictures;
            }
            EXPECT_EQ(!wrote.empty(), handwritten) << "question " << question.number;
            for (const StudentResult &student : students) {
                const auto pressed = presses.find({question.number, student.seat});
                const bool answered =
                    handwritten ? wrote.count(student.seat) != 0 : pressed != presses.end();
                answeredAny[student.seat] |= answered;
                seen.students += 1;
                seen.answered += answered;
                if (handwritten) {
                    EXPECT_FALSE(student.correct.has_value());
                    // Every stroke ends with its pen-up.
                    const auto ink =
                        history.PenPoints(lesson.number, question.number, student.seat).value();
                    EXPECT_EQ(ink.size(), answered ? size_t(shape.strokesPerWriter *
                                                            (shape.pointsPerStroke + 1))
                                                   : 0u);
                    continue;
                }
                EXPECT_EQ(student.correct, answered && student.letters == question.answerKey);
                EXPECT_EQ(student.firstPressMs.has_value(), answered);
                if (answered) {
                    ASSERT_GE(pressed->second.size(), 1u);
                    ASSERT_LE(pressed->second.size(), 3u);
                    EXPECT_EQ(pressed->second.back().answer, student.answer);
                    EXPECT_EQ(student.firstPressMs, pressed->second.front().ms);
                } else {
                    EXPECT_TRUE(student.letters.isEmpty());
                }
            }
        }
        // Whoever answered was heard; the history counts the same answers.
        const auto attendance = history.Attendance(lesson.number);
        ASSERT_TRUE(attendance);
        for (const AttendanceInfo &student : *attendance) {
            EXPECT_EQ(student.answered, answeredAny[student.seat]) << "seat " << student.seat;
            if (student.answered) {
                EXPECT_FALSE(student.firstHeard.isEmpty());
            }
            seen.attendance += !student.firstHeard.isEmpty();
        }
    }
    EXPECT_EQ(seen.presses, counts.presses);
    EXPECT_EQ(seen.pictures, counts.pictures);
    EXPECT_EQ(seen.answered, counts.answered);
    EXPECT_EQ(seen.attendance, counts.attendance);
    // About one in ten gives no answer; some always do.
    EXPECT_GT(counts.answered, 120 * 7 / 10);
    EXPECT_LT(counts.answered, 120);
}

TEST(ScaleRecord, SameSeedSameYearOtherSeedAnother) {
    const auto answers = [](uint32_t seed) {
        const DataDir dir;
        QString error;
        EXPECT_TRUE(bench::WriteScaleRecord(dir.Path(), Small(seed), nullptr, &error));
        LessonHistory history;
        EXPECT_TRUE(history.Open(dir.Path(), &error));
        QStringList letters;
        for (int lesson = 1; lesson <= 6; ++lesson) {
            const auto presses = history.Presses(lesson);
            EXPECT_TRUE(presses);
            for (const PressInfo &press : presses.value_or(std::vector<PressInfo>())) {
                letters << QStringLiteral("%1/%2/%3:%4")
                               .arg(lesson)
                               .arg(press.question)
                               .arg(press.seat)
                               .arg(press.answer);
            }
        }
        return letters;
    };
    const QStringList first = answers(7);
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(answers(7), first);
    EXPECT_NE(answers(8), first);
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
