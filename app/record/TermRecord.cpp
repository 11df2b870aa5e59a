#include "record/TermRecord.h"

#include "record/RecordDatabase.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <map>

namespace lumora {

namespace {

// The lessons of the term, as a condition on lesson l and its values. Days
// compare as the start's text: ISO 8601 begins with the local day.
struct LessonFilter {
    QString sql;
    QVariantList values;
};

LessonFilter Filter(const QString &classFile, const TermRange &range) {
    LessonFilter filter;
    filter.sql = QStringLiteral("l.deleted_at IS NULL AND l.started_at >= ? AND l.started_at < ? "
                                "AND ");
    filter.values = {range.from.toString(Qt::ISODate), range.to.addDays(1).toString(Qt::ISODate)};
    if (classFile.isEmpty()) {
        filter.sql += QStringLiteral("(l.class_file IS NULL OR l.class_file = '')");
    } else {
        filter.sql += QStringLiteral("l.class_file = ?");
        filter.values.append(classFile);
    }
    return filter;
}

bool Run(QSqlQuery &query, const QString &sql, const LessonFilter &filter, QString *error) {
    query.setForwardOnly(true);
    if (!query.prepare(sql.arg(filter.sql))) {
        *error = query.lastError().text();
        return false;
    }
    for (const QVariant &value : filter.values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

std::optional<double> OptionalDouble(const QVariant &value) {
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

template <typename Key> std::optional<size_t> Find(const std::map<Key, size_t> &index, Key key) {
    const auto found = index.find(key);
    return found == index.end() ? std::nullopt : std::optional<size_t>(found->second);
}

// One read transaction: every query sees the same commit, whatever the
// writer adds meanwhile.
class Snapshot {
public:
    explicit Snapshot(QSqlDatabase &db) : db_(db), open_(db.transaction()) {}
    ~Snapshot() {
        if (open_) {
            db_.rollback(); // nothing was written
        }
    }
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;

private:
    QSqlDatabase &db_;
    bool open_;
};

} // namespace

std::optional<TermRecord> ReadTermRecord(RecordConnection &connection, const QString &dataDir,
                                         const QString &classFile, const TermRange &range,
                                         QString *error, const TermProgress &progress) {
    const LessonFilter filter = Filter(classFile, range);
    const auto step = [&progress](int done) {
        if (progress) {
            progress(done, kTermReadSteps);
        }
    };
    TermRecord term;
    const Snapshot snapshot(connection.Database());
    QSqlQuery query(connection.Database());
    // A record opened read-only is read as it is; one from before classes
    // were kept has none of the columns the term needs.
    if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next() &&
        query.value(0).toInt() < RecordSchemaVersion()) {
        *error = QStringLiteral("the record was written by an earlier version of the program "
                                "and cannot be brought up to date here (it is read-only); "
                                "export its lessons one by one");
        return std::nullopt;
    }
    if (!Run(query,
             QStringLiteral("SELECT l.number, substr(l.started_at, 1, 10), COALESCE(l.title, '') "
                            "FROM lesson l WHERE %1 ORDER BY l.started_at, l.number"),
             filter, error)) {
        return std::nullopt;
    }
    std::map<int, size_t> lessonIndex;
    while (query.next()) {
        lessonIndex[query.value(0).toInt()] = term.lessons.size();
        term.lessons.push_back({query.value(0).toInt(),
                                QDate::fromString(query.value(1).toString(), Qt::ISODate),
                                query.value(2).toString()});
    }
    step(1);

    if (!Run(query,
             QStringLiteral("SELECT q.id, q.lesson, q.number, q.type, q.answer_key, q.points, "
                            "q.ended_at IS NOT NULL FROM question q "
                            "JOIN lesson l ON l.number = q.lesson WHERE %1 "
                            "ORDER BY l.started_at, l.number, q.number"),
             filter, error)) {
        return std::nullopt;
    }
    std::map<qint64, size_t> questionIndex;
    while (query.next()) {
        const auto lesson = Find(lessonIndex, query.value(1).toInt());
        if (!lesson) {
            continue;
        }
        TermQuestion question;
        question.lesson = *lesson;
        question.number = query.value(2).toInt();
        question.type = query.value(3).toInt();
        question.answerKey = query.value(4).toString();
        const double points = query.value(5).toDouble();
        question.points = points > 0 ? points : 1;
        question.ended = query.value(6).toBool();
        questionIndex[query.value(0).toLongLong()] = term.questions.size();
        term.questions.push_back(question);
    }
    step(2);

    if (!Run(query,
             QStringLiteral("SELECT s.question, s.seat, s.name, s.card_id, s.answer, s.carried, "
                            "s.correct, s.grade, "
                            "(SELECT MIN(p.ms) FROM press p WHERE p.student = s.id), "
                            "(SELECT i.path FROM picture i WHERE i.student = s.id) "
                            "FROM student s JOIN question q ON q.id = s.question "
                            "JOIN lesson l ON l.number = q.lesson WHERE %1"),
             filter, error)) {
        return std::nullopt;
    }
    const QString records = QDir::cleanPath(QDir(RecordsFolder(dataDir)).absolutePath());
    while (query.next()) {
        const auto question = Find(questionIndex, query.value(0).toLongLong());
        if (!question) {
            continue;
        }
        TermAnswer answer;
        answer.question = *question;
        answer.seat = query.value(1).toInt();
        answer.name = query.value(2).toString();
        answer.cardId = static_cast<uint16_t>(query.value(3).toUInt());
        answer.answer = static_cast<uint32_t>(query.value(4).toLongLong());
        answer.carried = static_cast<uint32_t>(query.value(5).toLongLong());
        if (!query.value(6).isNull()) {
            answer.correct = query.value(6).toInt() != 0;
        }
        answer.grade = OptionalDouble(query.value(7));
        if (!query.value(8).isNull()) {
            answer.firstPressMs = query.value(8).toInt();
        }
        if (!query.value(9).isNull()) {
            // Only files of the Records folder, whatever a foreign record says.
            const QString path = QDir::cleanPath(records + u'/' + query.value(9).toString());
            if (path.startsWith(records + u'/')) {
                answer.picture = path;
            }
        }
        term.answers.push_back(answer);
    }
    step(3);

    if (!Run(query,
             QStringLiteral("SELECT s.question, s.seat, s.name, s.card_id, p.key, p.ms "
                            "FROM press p JOIN student s ON s.id = p.student "
                            "JOIN question q ON q.id = s.question "
                            "JOIN lesson l ON l.number = q.lesson WHERE %1 "
                            "ORDER BY l.started_at, l.number, q.number, s.seat, p.id"),
             filter, error)) {
        return std::nullopt;
    }
    while (query.next()) {
        const auto question = Find(questionIndex, query.value(0).toLongLong());
        if (!question) {
            continue;
        }
        term.presses.push_back({*question, query.value(1).toInt(), query.value(2).toString(),
                                static_cast<uint16_t>(query.value(3).toUInt()),
                                static_cast<uint16_t>(query.value(4).toUInt()),
                                query.value(5).toInt()});
    }
    step(4);

    if (!Run(query,
             QStringLiteral("SELECT a.lesson, a.name FROM attendance a "
                            "JOIN lesson l ON l.number = a.lesson WHERE %1"),
             filter, error)) {
        return std::nullopt;
    }
    while (query.next()) {
        if (const auto lesson = Find(lessonIndex, query.value(0).toInt())) {
            term.heard.emplace_back(*lesson, query.value(1).toString());
        }
    }
    step(5);
    return term;
}

} // namespace lumora
