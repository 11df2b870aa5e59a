#include "record/LessonHistory.h"
#include "session/Question.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace lumora {

namespace {

// Runs a prepared query with its values; false with *error.
bool Run(QSqlQuery &query, const QString &sql, const QVariantList &values, QString *error) {
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        *error = query.lastError().text();
        return false;
    }
    for (const QVariant &value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

// A query of what a later version of the record added (a column, a table):
// false, and no error, on a record from before it that is read as it is.
bool RunAdded(QSqlQuery &query, const QString &sql, const QVariantList &values) {
    QString missing;
    return Run(query, sql, values, &missing);
}

} // namespace

bool LessonHistory::Open(const QString &dataDir, QString *error) {
    dataDir_ = dataDir;
    const QString path = RecordDatabasePath(dataDir);
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("no lesson record in %1").arg(QDir::toNativeSeparators(dataDir));
        return false;
    }
    if (connection_.Open(path, false, error)) {
        return true;
    }
    // A record this program may not write (read-only media, another user's
    // file, a newer version's) is still read where its tables allow.
    QString readOnlyError;
    if (!connection_.Busy() && connection_.OpenReadOnly(path, &readOnlyError)) {
        return true;
    }
    *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), *error);
    return false;
}

std::optional<std::vector<LessonInfo>> LessonHistory::Lessons() {
    const QString counted =
        QStringLiteral("SELECT l.number, l.started_at, COALESCE(l.ended_at, ''), "
                       "(SELECT COUNT(*) FROM question q WHERE q.lesson = l.number)%1 "
                       "FROM lesson l ORDER BY l.number");
    // Classes, titles and the bin came with the record's fourth version.
    QSqlQuery query(connection_.Database());
    const bool tagged = RunAdded(
        query,
        counted.arg(QStringLiteral(", COALESCE(l.class_file, ''), COALESCE(l.class_name, ''), "
                                   "COALESCE(l.title, ''), COALESCE(l.deleted_at, '')")),
        {});
    if (!tagged && !Run(query, counted.arg(QString()), {}, &error_)) {
        return std::nullopt;
    }
    std::vector<LessonInfo> lessons;
    while (query.next()) {
        LessonInfo lesson;
        lesson.number = query.value(0).toInt();
        lesson.startedAt = query.value(1).toString();
        lesson.endedAt = query.value(2).toString();
        lesson.questionCount = query.value(3).toInt();
        if (tagged) {
            lesson.classFile = query.value(4).toString();
            lesson.className = query.value(5).toString();
            lesson.title = query.value(6).toString();
            lesson.deletedAt = query.value(7).toString();
        }
        lessons.push_back(lesson);
    }
    return lessons;
}

std::optional<std::vector<LessonClass>> LessonHistory::Classes() {
    QSqlQuery query(connection_.Database());
    if (!RunAdded(query,
                  QStringLiteral("SELECT COALESCE(l.class_file, ''), COUNT(*), "
                                 "(SELECT COALESCE(n.class_name, '') FROM lesson n "
                                 " WHERE n.class_file IS l.class_file "
                                 " ORDER BY n.number DESC LIMIT 1) "
                                 "FROM lesson l WHERE l.deleted_at IS NULL "
                                 "GROUP BY COALESCE(l.class_file, '') ORDER BY 3, 1"),
                  {})) {
        // A record from before classes were kept: every lesson is the
        // unnamed class's.
        const auto lessons = Lessons();
        if (!lessons) {
            return std::nullopt;
        }
        if (lessons->empty()) {
            return std::vector<LessonClass>{};
        }
        return std::vector<LessonClass>{{QString(), QString(), int(lessons->size())}};
    }
    std::vector<LessonClass> classes;
    while (query.next()) {
        classes.push_back(
            {query.value(0).toString(), query.value(2).toString(), query.value(1).toInt()});
    }
    return classes;
}

std::optional<std::vector<QuestionInfo>> LessonHistory::Questions(int lesson) {
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral("SELECT number, type, answer_key, started_at, COALESCE(ended_at, '') "
                            "FROM question WHERE lesson = ? ORDER BY number"),
             {lesson}, &error_)) {
        return std::nullopt;
    }
    std::vector<QuestionInfo> questions;
    while (query.next()) {
        questions.push_back({query.value(0).toInt(), query.value(1).toInt(),
                             query.value(2).toString(), query.value(3).toString(),
                             query.value(4).toString()});
    }
    // Points are kept since the record's second version; a record read as
    // it is (read-only, older) may not have them, and its questions score 1.
    QSqlQuery points(connection_.Database());
    if (RunAdded(
            points,
            QStringLiteral("SELECT number, points FROM question WHERE lesson = ? AND points > 0"),
            {lesson})) {
        while (points.next()) {
            for (QuestionInfo &question : questions) {
                if (question.number == points.value(0).toInt()) {
                    question.points = points.value(1).toDouble();
                }
            }
        }
    }
    return questions;
}

std::optional<std::vector<StudentResult>> LessonHistory::Students(int lesson, int question) {
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral(
                 "SELECT s.seat, s.name, s.card_id, s.pane_id, s.answer, s.letters, s.correct, "
                 "(SELECT MIN(p.ms) FROM press p WHERE p.student = s.id) "
                 "FROM student s JOIN question q ON q.id = s.question "
                 "WHERE q.lesson = ? AND q.number = ? ORDER BY s.seat"),
             {lesson, question}, &error_)) {
        return std::nullopt;
    }
    std::vector<StudentResult> students;
    while (query.next()) {
        StudentResult student;
        student.seat = query.value(0).toInt();
        student.name = query.value(1).toString();
        student.cardId = static_cast<uint16_t>(query.value(2).toUInt());
        student.paneId = static_cast<uint16_t>(query.value(3).toUInt());
        student.answer = static_cast<uint32_t>(query.value(4).toLongLong());
        student.letters = query.value(5).toString();
        if (!query.value(6).isNull()) {
            student.correct = query.value(6).toInt() != 0;
        }
        if (!query.value(7).isNull()) {
            student.firstPressMs = query.value(7).toInt();
        }
        students.push_back(student);
    }
    const std::map<int, double> grades = Grades(lesson, question);
    for (StudentResult &student : students) {
        if (const auto grade = grades.find(student.seat); grade != grades.end()) {
            student.grade = grade->second;
        }
    }
    return students;
}

std::optional<Statistics> LessonHistory::Bars(int lesson, int question,
                                              const QString &unansweredText) {
    QSqlQuery query(connection_.Database());
    if (!Run(
            query,
            QStringLiteral("SELECT type, answer_key FROM question WHERE lesson = ? AND number = ?"),
            {lesson, question}, &error_)) {
        return std::nullopt;
    }
    if (!query.next()) {
        return Statistics();
    }
    const int type = query.value(0).toInt();
    const QString key = query.value(1).toString();
    const std::optional<std::vector<StudentResult>> students = Students(lesson, question);
    if (!students) {
        return std::nullopt;
    }
    std::vector<uint32_t> answers;
    for (const StudentResult &student : *students) {
        answers.push_back(student.answer);
    }
    if (type == kQuestionSubjective) {
        Statistics none;
        none.total = static_cast<int>(answers.size());
        return none;
    }
    return BuildStatistics(answers, key, unansweredText);
}

std::optional<std::vector<PictureInfo>> LessonHistory::Pictures(int lesson, int question) {
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral("SELECT s.seat, s.name, p.path FROM picture p "
                            "JOIN student s ON s.id = p.student "
                            "JOIN question q ON q.id = s.question "
                            "WHERE q.lesson = ? AND q.number = ? ORDER BY s.seat"),
             {lesson, question}, &error_)) {
        return std::nullopt;
    }
    const QString records = QDir::cleanPath(QDir(RecordsFolder(dataDir_)).absolutePath());
    std::vector<PictureInfo> pictures;
    while (query.next()) {
        // Only files of the Records folder: a damaged or foreign record
        // never sends a reader elsewhere.
        const QString path = QDir::cleanPath(records + u'/' + query.value(2).toString());
        if (!path.startsWith(records + u'/')) {
            continue;
        }
        pictures.push_back({query.value(0).toInt(), query.value(1).toString(), path, {}});
    }
    const std::map<int, double> grades = Grades(lesson, question);
    for (PictureInfo &picture : pictures) {
        if (const auto grade = grades.find(picture.seat); grade != grades.end()) {
            picture.grade = grade->second;
        }
    }
    return pictures;
}

std::optional<std::vector<PenSample>> LessonHistory::PenPoints(int lesson, int question, int seat) {
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral("SELECT p.points, p.up_ms FROM pen_stroke p "
                            "JOIN student s ON s.id = p.student "
                            "JOIN question q ON q.id = s.question "
                            "WHERE q.lesson = ? AND q.number = ? AND s.seat = ? ORDER BY p.id"),
             {lesson, question, seat}, &error_)) {
        return std::nullopt;
    }
    std::vector<PenSample> samples;
    while (query.next()) {
        const std::vector<PenSample> points = UnpackPenPoints(query.value(0).toByteArray());
        samples.insert(samples.end(), points.begin(), points.end());
        if (!query.value(1).isNull()) {
            samples.push_back({query.value(1).toInt(), 0, 0, false});
        }
    }
    return samples;
}

std::optional<std::vector<PressInfo>> LessonHistory::Presses(int lesson) {
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral("SELECT q.number, s.seat, s.name, s.card_id, p.key, p.ms, p.answer "
                            "FROM press p JOIN student s ON s.id = p.student "
                            "JOIN question q ON q.id = s.question "
                            "WHERE q.lesson = ? ORDER BY q.number, s.seat, p.id"),
             {lesson}, &error_)) {
        return std::nullopt;
    }
    std::vector<PressInfo> presses;
    while (query.next()) {
        presses.push_back({query.value(0).toInt(), query.value(1).toInt(),
                           query.value(2).toString(),
                           static_cast<uint16_t>(query.value(3).toUInt()),
                           static_cast<uint16_t>(query.value(4).toUInt()), query.value(5).toInt(),
                           static_cast<uint32_t>(query.value(6).toLongLong())});
    }
    return presses;
}

std::optional<std::vector<UnknownTabletInfo>> LessonHistory::UnknownTablets(int lesson) {
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral("SELECT tablet_id, first_heard, last_heard, events FROM "
                            "unknown_tablet WHERE lesson = ? ORDER BY tablet_id"),
             {lesson}, &error_)) {
        return std::nullopt;
    }
    std::vector<UnknownTabletInfo> tablets;
    while (query.next()) {
        tablets.push_back({static_cast<uint16_t>(query.value(0).toUInt()),
                           query.value(1).toString(), query.value(2).toString(),
                           query.value(3).toLongLong()});
    }
    return tablets;
}

std::map<int, double> LessonHistory::Grades(int lesson, int question) {
    // Grades are kept since the record's third version; an older record read
    // as it is has none.
    QSqlQuery query(connection_.Database());
    std::map<int, double> grades;
    if (RunAdded(query,
                 QStringLiteral(
                     "SELECT s.seat, s.grade FROM student s JOIN question q ON q.id = "
                     "s.question WHERE q.lesson = ? AND q.number = ? AND s.grade IS NOT NULL"),
                 {lesson, question})) {
        while (query.next()) {
            grades[query.value(0).toInt()] = query.value(1).toDouble();
        }
    }
    return grades;
}

bool LessonHistory::SetGrade(int lesson, int question, int seat, std::optional<double> points) {
    if (points && !(*points >= 0)) { // NaN too
        error_ = QStringLiteral("a grade is 0 points or more");
        return false;
    }
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral(
                 "UPDATE student SET grade = ? WHERE seat = ? AND question = "
                 "(SELECT id FROM question WHERE lesson = ? AND number = ? AND type = 2)"),
             {points ? QVariant(*points) : QVariant(QMetaType(QMetaType::Double)), seat, lesson,
              question},
             &error_)) {
        return false;
    }
    if (query.numRowsAffected() != 1) {
        error_ = QStringLiteral("lesson %1 has no handwritten question %2 with seat %3")
                     .arg(lesson)
                     .arg(question)
                     .arg(seat);
        return false;
    }
    return true;
}

std::optional<std::vector<AttendanceInfo>> LessonHistory::Attendance(int lesson) {
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral(
                 "SELECT s.seat, s.name, MAX(EXISTS (SELECT 1 FROM press p WHERE p.student = s.id) "
                 "OR EXISTS (SELECT 1 FROM picture i WHERE i.student = s.id)) "
                 "FROM student s JOIN question q ON q.id = s.question WHERE q.lesson = ? "
                 "GROUP BY s.seat, s.name ORDER BY s.seat, s.name"),
             {lesson}, &error_)) {
        return std::nullopt;
    }
    std::vector<AttendanceInfo> students;
    while (query.next()) {
        AttendanceInfo student;
        student.seat = query.value(0).toInt();
        student.name = query.value(1).toString();
        student.answered = query.value(2).toInt() != 0;
        students.push_back(student);
    }
    // Heard times are kept since the record's third version.
    QSqlQuery heard(connection_.Database());
    if (RunAdded(heard,
                 QStringLiteral("SELECT seat, name, first_heard, last_heard FROM attendance "
                                "WHERE lesson = ?"),
                 {lesson})) {
        while (heard.next()) {
            for (AttendanceInfo &student : students) {
                if (student.seat == heard.value(0).toInt() &&
                    student.name == heard.value(1).toString()) {
                    student.firstHeard = heard.value(2).toString();
                    student.lastHeard = heard.value(3).toString();
                }
            }
        }
    }
    return students;
}

bool LessonHistory::SetTitle(int lesson, const QString &title) {
    const QString trimmed = title.trimmed();
    QSqlQuery query(connection_.Database());
    if (!Run(query, QStringLiteral("UPDATE lesson SET title = ? WHERE number = ?"),
             {trimmed.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(trimmed),
              lesson},
             &error_)) {
        return false;
    }
    if (query.numRowsAffected() != 1) {
        error_ = QStringLiteral("there is no lesson %1").arg(lesson);
        return false;
    }
    return true;
}

bool LessonHistory::MoveToBin(int lesson, const QString &deletedAt) {
    QSqlQuery query(connection_.Database());
    // The newest lesson without an end may be the one being recorded.
    if (!Run(query,
             QStringLiteral("UPDATE lesson SET deleted_at = ? WHERE number = ? AND NOT "
                            "(ended_at IS NULL AND number = (SELECT MAX(number) FROM lesson))"),
             {deletedAt, lesson}, &error_)) {
        return false;
    }
    if (query.numRowsAffected() != 1) {
        error_ = QStringLiteral("lesson %1 is not in the record or is still under way").arg(lesson);
        return false;
    }
    return true;
}

bool LessonHistory::RestoreFromBin(int lesson) {
    QSqlQuery query(connection_.Database());
    if (!Run(query, QStringLiteral("UPDATE lesson SET deleted_at = NULL WHERE number = ?"),
             {lesson}, &error_)) {
        return false;
    }
    if (query.numRowsAffected() != 1) {
        error_ = QStringLiteral("there is no lesson %1").arg(lesson);
        return false;
    }
    return true;
}

bool LessonHistory::EmptyBin(int *removed) {
    if (removed) {
        *removed = 0;
    }
    QSqlQuery query(connection_.Database());
    if (!Run(query,
             QStringLiteral("SELECT number, folder FROM lesson WHERE deleted_at IS NOT NULL"), {},
             &error_)) {
        return false;
    }
    std::vector<std::pair<int, QString>> binned;
    while (query.next()) {
        binned.emplace_back(query.value(0).toInt(), query.value(1).toString());
    }
    query.finish();
    const QDir records(RecordsFolder(dataDir_));
    QStringList kept;
    for (const auto &[number, folder] : binned) {
        // The rows go first: a folder left behind loses nothing.
        QSqlQuery remove(connection_.Database());
        if (!Run(remove, QStringLiteral("DELETE FROM lesson WHERE number = ?"), {number},
                 &error_)) {
            return false;
        }
        if (removed) {
            ++*removed;
        }
        // Only a folder right inside Records/, whatever a foreign record says.
        if (folder.isEmpty() || folder.contains(u'/') || folder.contains(u'\\') || folder == u"." ||
            folder == u".." || !records.exists(folder)) {
            continue;
        }
        if (!QDir(records.filePath(folder)).removeRecursively()) {
            kept << QDir::toNativeSeparators(records.filePath(folder));
        }
    }
    if (!kept.isEmpty()) {
        error_ = QStringLiteral("these picture folders could not be removed: %1")
                     .arg(kept.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

} // namespace lumora
