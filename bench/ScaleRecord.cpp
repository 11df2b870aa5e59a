#include "ScaleRecord.h"

#include "core/Helpers.h"
#include "record/PenStroke.h"
#include "record/RecordDatabase.h"
#include "session/Question.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>

#include <array>
#include <random>
#include <vector>

namespace lumora::bench {

namespace {

// A run of lessons per transaction: few commits, a write-ahead log of some
// megabytes at most.
constexpr int kLessonsPerCommit = 100;

// mt19937's output is the same everywhere; the standard distributions are not.
class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    int Below(int n) { return static_cast<int>(engine_() % static_cast<uint32_t>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::mt19937 engine_;
};

QString StudentName(int classIndex, int seat) {
    static const std::array<const char *, 20> given = {
        "Anna", "Ben", "Chloe", "David", "Emma", "Felix", "Grace", "Henry", "Iris", "Jack",
        "Kate", "Leo", "Mia",   "Noah",  "Olga", "Paul",  "Rosa",  "Sam",   "Tara", "Victor"};
    static const std::array<const char *, 10> family = {
        "Adler", "Brandt", "Chen", "Dubois", "Eriksen", "Fontaine", "王", "Haas", "李", "Novak"};
    return QString::fromUtf8(given[static_cast<size_t>(seat % 20)]) + u' ' +
           QString::fromUtf8(family[static_cast<size_t>((seat / 20 + classIndex) % 10)]);
}

// ISO 8601 with the offset the time was made with (a fixed one, whatever
// the machine's zone), as the record spells times.
QString Moment(const QDateTime &time) {
    return time.toString(Qt::ISODateWithMs);
}

// An ink picture as the program saves one: a small PNG with a stroke on it.
QByteArray InkPng() {
    QImage image(160, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 10; x < 150; ++x) {
        const int y = 50 + (x % 40 < 20 ? x % 20 : 20 - x % 20) - 10;
        image.setPixel(x, y, qRgb(20, 20, 120));
        image.setPixel(x, y + 1, qRgb(20, 20, 120));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A null string binds as NULL; the record's text columns are never null.
QString Text(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

bool Exec(QSqlQuery &query, QString *error) {
    if (query.exec()) {
        return true;
    }
    *error = query.lastError().text();
    return false;
}

struct Statements {
    explicit Statements(QSqlDatabase &db)
        : lesson(db), question(db), student(db), press(db), stroke(db), picture(db),
          attendance(db) {}
    bool Prepare(QString *error) {
        const std::pair<QSqlQuery *, const char *> all[] = {
            {&lesson, "INSERT INTO lesson (number, started_at, ended_at, folder, class_file, "
                      "class_name, title) VALUES (?, ?, ?, ?, ?, ?, ?)"},
            {&question, "INSERT INTO question (id, lesson, number, type, answer_key, started_at, "
                        "ended_at, set_name, set_number, text, points, duration_ms) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"},
            {&student, "INSERT INTO student (id, question, seat, name, card_id, pane_name, "
                       "pane_id, answer, letters, correct, grade) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"},
            {&press, "INSERT INTO press (student, key, ms, answer) VALUES (?, ?, ?, ?)"},
            {&stroke, "INSERT INTO pen_stroke (student, points, up_ms) VALUES (?, ?, ?)"},
            {&picture, "INSERT INTO picture (student, path) VALUES (?, ?)"},
            {&attendance, "INSERT INTO attendance (lesson, seat, name, first_heard, last_heard) "
                          "VALUES (?, ?, ?, ?, ?)"},
        };
        for (const auto &[query, sql] : all) {
            if (!query->prepare(QString::fromLatin1(sql))) {
                *error = query->lastError().text();
                return false;
            }
        }
        return true;
    }
    QSqlQuery lesson, question, student, press, stroke, picture, attendance;
};

// Writes the year; the caller commits or rolls back around it.
class YearWriter {
public:
    YearWriter(const QString &records, const RecordShape &shape, Statements &sql,
               RecordCounts &counts)
        : records_(records), shape_(shape), sql_(sql), counts_(counts), random_(shape.seed),
          ink_(InkPng()) {}

    // Lesson number (from 1), held with class classIndex.
    bool Lesson(int number, int classIndex, const QDateTime &start, QString *error);

private:
    struct Pupil {
        int seat = 0;
        QString name;
        bool heard = false;
    };
    bool Question(int lesson, const QString &folder, int number, bool fromSet, bool graded,
                  const QDateTime &start, const std::vector<Pupil> &pupils, QString *error);
    bool Choice(qint64 student, int type, const QString &key, QString *error);
    bool Writing(qint64 student, const QString &picture, QString *error);

    const QString records_;
    const RecordShape shape_;
    Statements &sql_;
    RecordCounts &counts_;
    Random random_;
    const QByteArray ink_;
    qint64 questionId_ = 0;
    qint64 studentId_ = 0;
};

bool YearWriter::Lesson(int number, int classIndex, const QDateTime &start, QString *error) {
    // One picture file per lesson folder, which every picture row of the
    // lesson names: a file per row (100 000 in a year) would take the
    // generator minutes on a slow disk, and the history reads only paths.
    const QString folder = QString::number(number);
    QFile png(QDir(records_).filePath(folder + QStringLiteral("/ink.png")));
    if (!QDir(records_).mkpath(folder) || !png.open(QIODevice::WriteOnly) ||
        png.write(ink_) != ink_.size()) {
        *error = QStringLiteral("%1: %2").arg(png.fileName(), png.errorString());
        return false;
    }
    png.close();
    const QDateTime end = start.addSecs(45 * 60);
    QSqlQuery &lesson = sql_.lesson;
    lesson.bindValue(0, number);
    lesson.bindValue(1, Moment(start));
    lesson.bindValue(2, Moment(end));
    lesson.bindValue(3, folder);
    lesson.bindValue(4, ScaleClassFile(classIndex));
    lesson.bindValue(5, ScaleClassName(classIndex));
    lesson.bindValue(6, number % 5 == 0 ? QVariant(QStringLiteral("Unit test %1").arg(number))
                                        : QVariant(QMetaType(QMetaType::QString)));
    if (!Exec(lesson, error)) {
        return false;
    }
    ++counts_.lessons;

    // A few students miss a lesson: their tablets are never heard.
    std::vector<Pupil> pupils;
    for (int seat = 1; seat <= shape_.studentsPerClass; ++seat) {
        pupils.push_back({seat, StudentName(classIndex, seat), !random_.Chance(4)});
        if (!pupils.back().heard) {
            continue;
        }
        QSqlQuery &heard = sql_.attendance;
        heard.bindValue(0, number);
        heard.bindValue(1, seat);
        heard.bindValue(2, pupils.back().name);
        heard.bindValue(3, Moment(start.addSecs(random_.Between(0, 120))));
        heard.bindValue(4, Moment(end.addSecs(-random_.Between(0, 120))));
        if (!Exec(heard, error)) {
            return false;
        }
        ++counts_.attendance;
    }
    // Every other lesson runs a question set (points kept); half of those
    // have their handwriting graded.
    const bool fromSet = number % 2 == 0;
    const bool graded = fromSet && number % 4 == 0;
    for (int q = 1; q <= shape_.questionsPerLesson; ++q) {
        if (!Question(number, folder, q, fromSet, graded, start.addSecs(180 + (q - 1) * 300),
                      pupils, error)) {
            return false;
        }
    }
    return true;
}

bool YearWriter::Question(int lesson, const QString &folder, int number, bool fromSet, bool graded,
                          const QDateTime &start, const std::vector<Pupil> &pupils,
                          QString *error) {
    const int type = number % 4 == 0   ? kQuestionSubjective
                     : number % 4 == 3 ? kQuestionMultiple
                                       : kQuestionSingle;
    QString key;
    if (type == kQuestionSingle) {
        key = QChar(char16_t(u'A' + random_.Below(4)));
    } else if (type == kQuestionMultiple) {
        const int first = random_.Below(3);
        key = AnswerToLetters((2u << first) | (2u << random_.Between(first + 1, 3)));
    }
    const double points = type == kQuestionSubjective ? 5 : 1 + random_.Below(2);
    const QVariant none;
    QSqlQuery &question = sql_.question;
    question.bindValue(0, ++questionId_);
    question.bindValue(1, lesson);
    question.bindValue(2, number);
    question.bindValue(3, type);
    question.bindValue(4, Text(key));
    question.bindValue(5, Moment(start));
    question.bindValue(6, Moment(start.addSecs(240)));
    question.bindValue(7,
                       fromSet ? QVariant(QStringLiteral("Unit %1").arg(lesson / 20 + 1)) : none);
    question.bindValue(8, fromSet ? QVariant(number) : none);
    question.bindValue(9, fromSet ? QVariant(QStringLiteral("Question %1").arg(number)) : none);
    question.bindValue(10, fromSet ? QVariant(points) : none);
    question.bindValue(11, 240000);
    if (!Exec(question, error)) {
        return false;
    }
    ++counts_.questions;

    for (const Pupil &pupil : pupils) {
        // About one student in ten gives no answer: away, or silent.
        const bool answers = pupil.heard && !random_.Chance(6);
        QSqlQuery &student = sql_.student;
        student.bindValue(0, ++studentId_);
        student.bindValue(1, questionId_);
        student.bindValue(2, pupil.seat);
        student.bindValue(3, pupil.name);
        student.bindValue(4, pupil.seat);
        student.bindValue(5, QStringLiteral("Group %1").arg((pupil.seat - 1) / 10 + 1));
        student.bindValue(6, pupil.seat);
        uint32_t answer = 0;
        if (answers && type != kQuestionSubjective) {
            // Right about seven times in ten; else one letter off.
            answer = LettersToAnswer(key);
            if (random_.Chance(30)) {
                const int right = key.at(0).unicode() - u'A';
                answer = type == kQuestionSingle ? 2u << ((right + 1 + random_.Below(3)) % 4)
                                                 : answer ^ 2u << random_.Below(4);
            }
        }
        student.bindValue(7, answer);
        student.bindValue(8, Text(AnswerToLetters(answer)));
        const std::optional<bool> correct = IsCorrect(type, answer, key);
        student.bindValue(9, correct ? QVariant(int(*correct)) : none);
        student.bindValue(10, graded && answers && type == kQuestionSubjective
                                  ? QVariant(random_.Below(11) / 2.0)
                                  : none);
        if (!Exec(student, error)) {
            return false;
        }
        ++counts_.students;
        if (!answers) {
            continue;
        }
        ++counts_.answered;
        const bool ok = type == kQuestionSubjective
                            ? Writing(studentId_, folder + QStringLiteral("/ink.png"), error)
                            : Choice(studentId_, type, AnswerToLetters(answer), error);
        if (!ok) {
            return false;
        }
    }
    return true;
}

// The presses that led to the final answer: a letter at a time, and for a
// single choice now and then a change of mind first.
bool YearWriter::Choice(qint64 student, int type, const QString &letters, QString *error) {
    std::vector<int> keys;
    if (type == kQuestionSingle && random_.Chance(25)) {
        keys.push_back(1 + (letters.at(0).unicode() - u'A' + 1) % 4);
    }
    for (const QChar letter : letters) {
        keys.push_back(letter.unicode() - u'A' + 1);
    }
    uint32_t answer = 0;
    int ms = random_.Between(3000, 60000);
    for (const int key : keys) {
        answer = type == kQuestionSingle ? 1u << key : answer | 1u << key;
        QSqlQuery &press = sql_.press;
        press.bindValue(0, student);
        press.bindValue(1, key);
        press.bindValue(2, ms);
        press.bindValue(3, answer);
        if (!Exec(press, error)) {
            return false;
        }
        ++counts_.presses;
        ms += random_.Between(500, 5000);
    }
    return true;
}

bool YearWriter::Writing(qint64 student, const QString &picture, QString *error) {
    int ms = random_.Between(5000, 60000);
    int x = random_.Between(50, 300);
    int y = random_.Between(50, 200);
    for (int s = 0; s < shape_.strokesPerWriter; ++s) {
        QByteArray points;
        for (int p = 0; p < shape_.pointsPerStroke; ++p) {
            AppendPenPoint(points, ms, x, y);
            ms += 5;
            x += random_.Between(-3, 6);
            y += random_.Between(-4, 4);
        }
        QSqlQuery &stroke = sql_.stroke;
        stroke.bindValue(0, student);
        stroke.bindValue(1, points);
        stroke.bindValue(2, ms);
        if (!Exec(stroke, error)) {
            return false;
        }
        ++counts_.strokes;
        ms += random_.Between(200, 2000);
    }
    QSqlQuery &row = sql_.picture;
    row.bindValue(0, student);
    row.bindValue(1, picture);
    if (!Exec(row, error)) {
        return false;
    }
    ++counts_.pictures;
    return true;
}

} // namespace

QString ScaleClassFile(int index) {
    return QStringLiteral("Class_%1%2").arg(7 + index / 3).arg(QChar(u'A' + index % 3));
}

QString ScaleClassName(int index) {
    return QStringLiteral("Class %1%2").arg(7 + index / 3).arg(QChar(u'A' + index % 3));
}

bool WriteScaleRecord(const QString &dataDir, const RecordShape &shape, RecordCounts *counts,
                      QString *error) {
    const QString path = RecordDatabasePath(dataDir);
    if (QFileInfo::exists(path)) {
        *error = QStringLiteral("%1 exists already").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!QDir().mkpath(RecordsFolder(dataDir))) {
        *error = QStringLiteral("%1 cannot be created").arg(RecordsFolder(dataDir));
        return false;
    }
    RecordConnection connection;
    if (!connection.Open(path, true, error)) {
        return false;
    }
    QSqlDatabase &db = connection.Database();
    RecordCounts written;
    bool ok = true;
    {
        Statements sql(db);
        ok = sql.Prepare(error);
        YearWriter writer(RecordsFolder(dataDir), shape, sql, written);
        // School days from the first Monday of September; each class has
        // its lesson at its own hour, every day.
        QDate day(2025, 9, 1);
        int number = 0;
        for (int d = 0; ok && d < shape.lessonsPerClass; ++d, day = day.addDays(1)) {
            while (day.dayOfWeek() > 5) {
                day = day.addDays(1);
            }
            for (int c = 0; ok && c < shape.classes; ++c) {
                if (number % kLessonsPerCommit == 0 && !db.transaction()) {
                    *error = db.lastError().text();
                    ok = false;
                    break;
                }
                const QDateTime start(day, QTime(8, 0).addSecs(c * 50 * 60), QTimeZone(8 * 3600));
                ok = writer.Lesson(++number, c, start, error);
                if (ok && number % kLessonsPerCommit == 0 && !db.commit()) {
                    *error = db.lastError().text();
                    ok = false;
                }
            }
        }
        if (ok && number % kLessonsPerCommit != 0 && !db.commit()) {
            *error = db.lastError().text();
            ok = false;
        }
    }
    if (!ok) {
        db.rollback();
    }
    if (counts) {
        *counts = written;
    }
    return ok;
}

} // namespace lumora::bench
