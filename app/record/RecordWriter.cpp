#include "record/RecordWriter.h"

#include "core/Helpers.h"
#include "record/PenStroke.h"
#include "record/RecordTime.h"
#include "session/Question.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlError>
#include <QVariant>

namespace lumora {

namespace {

// Text for a NOT NULL column: Qt SQL binds a null QString as NULL.
QString Text(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QVariant Correctness(std::optional<bool> correct) {
    return correct ? QVariant(*correct ? 1 : 0) : QVariant(QMetaType::fromType<int>());
}

} // namespace

RecordWriter::RecordWriter(const QString &dataDir, const QDateTime &lessonStart,
                           int64_t lessonStartNs)
    : dataDir_(dataDir), lessonStart_(lessonStart), lessonStartNs_(lessonStartNs),
      file_(dataDir, connection_), lessonBeganNs_(lessonStartNs) {}

RecordWriter::~RecordWriter() {
    Close();
}

void RecordWriter::Close() {
    insertPress_.reset();
    updateAnswer_.reset();
    insertStroke_.reset();
    connection_.Close();
}

std::optional<RecordProblem> RecordWriter::Open() {
    return file_.Open([this](QString *error) { return Prepare(error); }, [this] { Close(); });
}

bool RecordWriter::Abandon() {
    const bool damaged = file_.Abandon();
    Rollback();
    Close();
    return damaged;
}

bool RecordWriter::LimitPages(int pages) {
    QSqlQuery query(connection_.Database());
    return pages <= 0 || query.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
}

bool RecordWriter::Prepare(QString *error) {
    QSqlDatabase &db = connection_.Database();
    insertPress_.emplace(db);
    updateAnswer_.emplace(db);
    insertStroke_.emplace(db);
    const bool ok =
        insertPress_->prepare(
            QStringLiteral("INSERT INTO press (student, key, ms, answer) VALUES (?, ?, ?, ?)")) &&
        updateAnswer_->prepare(QStringLiteral(
            "UPDATE student SET answer = ?, letters = ?, correct = ?, carried = ? WHERE id = ?")) &&
        insertStroke_->prepare(
            QStringLiteral("INSERT INTO pen_stroke (student, points, up_ms) VALUES (?, ?, ?)"));
    if (!ok) {
        connection_.Failed(db.lastError(), error);
        return false;
    }
    // A record whose pictures cannot be matched still takes the lesson.
    QString ignored;
    ReconcilePictures(&ignored);
    return true;
}

bool RecordWriter::ReconcilePictures(QString *error) {
    // A picture is written before its row: a run killed between the two
    // left the file, which names its question and seat.
    static const QRegularExpression name(QStringLiteral("^q([0-9]+)-seat([0-9]+)\\.png$"));
    QSqlDatabase &db = connection_.Database();
    QSqlQuery lessons(db);
    if (!lessons.exec(QStringLiteral("SELECT number, folder FROM lesson"))) {
        return connection_.Failed(lessons.lastError(), error);
    }
    std::vector<std::pair<qint64, QString>> folders;
    while (lessons.next()) {
        folders.emplace_back(lessons.value(0).toLongLong(), lessons.value(1).toString());
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral(
        "INSERT OR IGNORE INTO picture (student, path) SELECT s.id, ? FROM student s "
        "JOIN question q ON q.id = s.question WHERE q.lesson = ? AND q.number = ? AND s.seat = ?"));
    for (const auto &[lesson, folder] : folders) {
        const QDir dir(QDir(RecordsFolder(dataDir_)).filePath(folder));
        if (folder.isEmpty() || !dir.exists()) {
            continue;
        }
        for (const QString &file : dir.entryList({QStringLiteral("q*-seat*.png")}, QDir::Files)) {
            const QRegularExpressionMatch match = name.match(file);
            if (!match.hasMatch()) {
                continue;
            }
            insert.bindValue(0, folder + u'/' + file);
            insert.bindValue(1, lesson);
            insert.bindValue(2, match.captured(1).toLongLong());
            insert.bindValue(3, match.captured(2).toLongLong());
            if (!Exec(insert, error)) {
                return false;
            }
        }
    }
    return true;
}

bool RecordWriter::Exec(QSqlQuery &query, QString *error) {
    return query.exec() || connection_.Failed(query.lastError(), error);
}

bool RecordWriter::Begin(QString *error) {
    return connection_.Database().transaction() ||
           connection_.Failed(connection_.Database().lastError(), error);
}

bool RecordWriter::Commit(QString *error) {
    if (!FlushStrokes(error) || !FlushUnknownTablets(error)) {
        return false;
    }
    return connection_.Database().commit() ||
           connection_.Failed(connection_.Database().lastError(), error);
}

void RecordWriter::Rollback() {
    unknown_.clear();
    for (QByteArray &points : strokes_) {
        points.clear();
    }
    connection_.Database().rollback();
}

QString RecordWriter::WallTime(int64_t ns) const {
    return IsoWithOffset(lessonStart_.addMSecs((ns - lessonStartNs_) / 1000000));
}

qint64 RecordWriter::StudentOf(int slot) const {
    return slot >= 0 && slot < kSlotCount ? question_.student[static_cast<size_t>(slot)] : 0;
}

int RecordWriter::Milliseconds(int64_t ns) const {
    return static_cast<int>((ns - question_.startNs) / 1000000);
}

bool RecordWriter::EnsureLesson(QString *error) {
    if (lesson_ != 0) {
        return true;
    }
    QSqlQuery query(connection_.Database());
    if (!query.exec(QStringLiteral("SELECT COALESCE(MAX(number), 0) + 1 FROM lesson")) ||
        !query.next()) {
        return connection_.Failed(query.lastError(), error);
    }
    const qint64 number = query.value(0).toLongLong();
    // Pictures go to Records/<number>/; a folder of that name left by a
    // database that was set aside is not reused.
    const QDir records(RecordsFolder(dataDir_));
    QString folder = QString::number(number);
    for (int n = 2; records.exists(folder); ++n) {
        folder = QStringLiteral("%1-%2").arg(number).arg(n);
    }
    query.prepare(QStringLiteral("INSERT INTO lesson (number, started_at, folder, class_file, "
                                 "class_name) VALUES (?, ?, ?, ?, ?)"));
    query.addBindValue(number);
    query.addBindValue(WallTime(lessonBeganNs_));
    query.addBindValue(folder);
    query.addBindValue(classFile_.isEmpty() ? QVariant(QMetaType(QMetaType::QString))
                                            : QVariant(Text(classFile_)));
    query.addBindValue(className_.isEmpty() ? QVariant(QMetaType(QMetaType::QString))
                                            : QVariant(Text(className_)));
    if (!Exec(query, error)) {
        return false;
    }
    lesson_ = number;
    lessonFolder_ = folder;
    return true;
}

bool RecordWriter::TakeClass(const RecordPayload &payload, int64_t ns, bool renamed,
                             QString *error) {
    if (payload.classFile == classFile_ && payload.className == className_) {
        return true;
    }
    const bool sameClass = renamed || payload.classFile == classFile_;
    classFile_ = payload.classFile;
    className_ = payload.className;
    if (lesson_ == 0) {
        return true;
    }
    QSqlQuery query(connection_.Database());
    if (sameClass || question_.number == 0) {
        query.prepare(
            QStringLiteral("UPDATE lesson SET class_file = ?, class_name = ? WHERE number = ?"));
        query.addBindValue(classFile_.isEmpty() ? QVariant(QMetaType(QMetaType::QString))
                                                : QVariant(Text(classFile_)));
        query.addBindValue(className_.isEmpty() ? QVariant(QMetaType(QMetaType::QString))
                                                : QVariant(Text(className_)));
        query.addBindValue(lesson_);
        return Exec(query, error);
    }
    if (!FlushStrokes(error) || !EndLesson(ns, error)) {
        return false;
    }
    lesson_ = 0;
    lessonFolder_.clear();
    question_ = Question{};
    lessonBeganNs_ = ns;
    return true;
}

bool RecordWriter::Apply(RecordEvent &event, QString *error) {
    switch (event.kind) {
    case RecordEvent::Kind::Key:
        return RecordKey(event, error);
    case RecordEvent::Kind::PenPoint:
    case RecordEvent::Kind::PenUp:
        return RecordPen(event, error);
    case RecordEvent::Kind::UnknownTablet: {
        auto [heard, added] = unknown_.try_emplace(event.value, Heard{event.enqueuedNs, 0, 0});
        heard->second.lastNs = event.enqueuedNs;
        ++heard->second.events;
        return true;
    }
    case RecordEvent::Kind::QuestionStarted:
        return StartQuestion(event, error);
    case RecordEvent::Kind::QuestionEnded:
        return EndQuestion(event, error);
    case RecordEvent::Kind::Picture:
        return SavePicture(event, error);
    case RecordEvent::Kind::QuestionResumed:
        // Its students and their carried letters stay as they were.
        question_.open = question_.id != 0;
        return true;
    case RecordEvent::Kind::Pick:
        return RecordPick(event, error);
    case RecordEvent::Kind::ClassChanged:
        return TakeClass(*event.payload, event.enqueuedNs, event.value == 1, error);
    }
    return true;
}

bool RecordWriter::RecordPick(const RecordEvent &event, QString *error) {
    if (!EnsureLesson(error)) {
        return false;
    }
    const RosterEntry &entry = event.payload->roster.front();
    QSqlQuery query(connection_.Database());
    query.prepare(QStringLiteral("INSERT INTO pick (lesson, question, seat, name, among, "
                                 "picked_at) VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(lesson_);
    query.addBindValue(question_.open ? QVariant(question_.id) : QVariant());
    query.addBindValue(entry.slot + 1);
    query.addBindValue(Text(entry.name));
    query.addBindValue(int(event.value));
    query.addBindValue(WallTime(event.enqueuedNs));
    return Exec(query, error);
}

bool RecordWriter::StartQuestion(const RecordEvent &event, QString *error) {
    // The last question's strokes go to its own students.
    if (!FlushStrokes(error) || !EnsureLesson(error)) {
        return false;
    }
    const RecordPayload &payload = *event.payload;
    QSqlQuery query(connection_.Database());
    query.prepare(QStringLiteral("INSERT INTO question (lesson, number, type, answer_key, "
                                 "started_at, set_name, set_number, text, points) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const int number = question_.number + 1;
    query.addBindValue(lesson_);
    query.addBindValue(number);
    query.addBindValue(payload.questionType);
    query.addBindValue(Text(payload.answerKey));
    query.addBindValue(WallTime(event.enqueuedNs));
    const QuestionPlace &place = payload.place;
    const bool planned = place.number > 0;
    query.addBindValue(planned ? QVariant(Text(place.setName)) : QVariant());
    query.addBindValue(planned ? QVariant(place.number) : QVariant());
    query.addBindValue(planned ? QVariant(Text(place.text)) : QVariant());
    query.addBindValue(planned && place.points ? QVariant(*place.points) : QVariant());
    if (!Exec(query, error)) {
        return false;
    }
    question_ = Question{};
    question_.id = query.lastInsertId().toLongLong();
    question_.number = number;
    question_.type = payload.questionType;
    question_.key = payload.answerKey;
    question_.startNs = event.enqueuedNs;
    question_.open = true;
    for (const RosterEntry &entry : payload.roster) {
        if (entry.slot >= 0 && entry.slot < kSlotCount) {
            question_.carried[static_cast<size_t>(entry.slot)] = entry.answer;
        }
    }
    return WriteRoster(payload.roster, false, error) && WriteAttendance(payload.roster, error);
}

bool RecordWriter::EndQuestion(const RecordEvent &event, QString *error) {
    const RecordPayload &payload = *event.payload;
    if (question_.id == 0) {
        // Ended without a start (answers are taken before a question is under
        // way): the question begins and ends here, its answers are kept.
        RecordEvent start;
        start.kind = RecordEvent::Kind::QuestionStarted;
        start.enqueuedNs = event.enqueuedNs;
        start.payload = std::make_unique<RecordPayload>(payload);
        if (!StartQuestion(start, error)) {
            return false;
        }
    }
    // Ending again (the result rebuilt) updates the same question.
    if (!FlushStrokes(error)) {
        return false;
    }
    question_.open = false;
    question_.type = payload.questionType;
    question_.key = payload.answerKey;
    QSqlQuery query(connection_.Database());
    query.prepare(QStringLiteral("UPDATE question SET type = ?, answer_key = ?, ended_at = ?, "
                                 "time_limit_ms = ?, duration_ms = ? WHERE id = ?"));
    query.addBindValue(payload.questionType);
    query.addBindValue(Text(payload.answerKey));
    query.addBindValue(WallTime(event.enqueuedNs));
    query.addBindValue(payload.place.limitMs > 0 ? QVariant(qint64(payload.place.limitMs))
                                                 : QVariant());
    query.addBindValue(
        qint64(std::max<int64_t>(0, event.enqueuedNs - question_.startNs) / 1000000));
    query.addBindValue(question_.id);
    return Exec(query, error) && WriteRoster(payload.roster, true, error) &&
           WriteAttendance(payload.roster, error);
}

bool RecordWriter::WriteAttendance(const std::vector<RosterEntry> &roster, QString *error) {
    QSqlQuery query(connection_.Database());
    query.prepare(QStringLiteral(
        "INSERT INTO attendance (lesson, seat, name, first_heard, last_heard) VALUES (?, ?, ?, "
        "?, ?) ON CONFLICT (lesson, seat, name) DO UPDATE SET first_heard = "
        "MIN(first_heard, excluded.first_heard), last_heard = MAX(last_heard, "
        "excluded.last_heard)"));
    for (const RosterEntry &entry : roster) {
        if (entry.firstHeardNs == 0) {
            continue;
        }
        query.bindValue(0, lesson_);
        query.bindValue(1, entry.slot + 1);
        query.bindValue(2, Text(entry.name));
        query.bindValue(3, WallTime(entry.firstHeardNs));
        query.bindValue(4, WallTime(entry.lastHeardNs));
        if (!Exec(query, error)) {
            return false;
        }
    }
    return true;
}

QVariant RecordWriter::Correct(int slot, uint32_t answer) const {
    const std::optional<bool> correct = IsCorrect(question_.type, answer, question_.key);
    if (correct && (answer & question_.carried[static_cast<size_t>(slot)]) != 0) {
        return Correctness(false);
    }
    return Correctness(correct);
}

bool RecordWriter::WriteRoster(const std::vector<RosterEntry> &roster, bool final, QString *error) {
    QSqlQuery insert(connection_.Database());
    insert.prepare(QStringLiteral(
        "INSERT INTO student (question, seat, name, card_id, pane_name, pane_id, answer, "
        "letters, correct, carried) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const RosterEntry &entry : roster) {
        if (entry.slot < 0 || entry.slot >= kSlotCount) {
            continue;
        }
        uint32_t &carried = question_.carried[static_cast<size_t>(entry.slot)];
        carried &= entry.answer;
        const QVariant correct = Correct(entry.slot, entry.answer);
        qint64 &student = question_.student[static_cast<size_t>(entry.slot)];
        if (student != 0) {
            if (final) {
                updateAnswer_->bindValue(0, entry.answer);
                updateAnswer_->bindValue(1, Text(AnswerToLetters(entry.answer)));
                updateAnswer_->bindValue(2, correct);
                updateAnswer_->bindValue(3, carried);
                updateAnswer_->bindValue(4, student);
                if (!Exec(*updateAnswer_, error)) {
                    return false;
                }
            }
            continue;
        }
        // A student named during the question joins it here.
        insert.bindValue(0, question_.id);
        insert.bindValue(1, entry.slot + 1);
        insert.bindValue(2, Text(entry.name));
        insert.bindValue(3, entry.cardId);
        insert.bindValue(4, Text(entry.paneName));
        insert.bindValue(5, entry.paneId);
        insert.bindValue(6, entry.answer);
        insert.bindValue(7, Text(AnswerToLetters(entry.answer)));
        insert.bindValue(8, correct);
        insert.bindValue(9, carried);
        if (!Exec(insert, error)) {
            return false;
        }
        student = insert.lastInsertId().toLongLong();
    }
    return true;
}

bool RecordWriter::RecordKey(const RecordEvent &event, QString *error) {
    const qint64 student = question_.open ? StudentOf(event.slot) : 0;
    if (student == 0) {
        ++ignored_;
        return true;
    }
    insertPress_->bindValue(0, student);
    insertPress_->bindValue(1, event.value);
    insertPress_->bindValue(2, Milliseconds(event.enqueuedNs));
    insertPress_->bindValue(3, event.answer);
    if (!Exec(*insertPress_, error)) {
        return false;
    }
    // A letter pressed (or cleared) during the question is the student's own.
    uint32_t &carried = question_.carried[event.slot];
    carried &= event.answer;
    if (event.value >= 1 && event.value <= 31) {
        carried &= ~(1u << event.value);
    }
    // The answer so far, so a question never ended still has its letters.
    updateAnswer_->bindValue(0, event.answer);
    updateAnswer_->bindValue(1, Text(AnswerToLetters(event.answer)));
    updateAnswer_->bindValue(2, Correct(event.slot, event.answer));
    updateAnswer_->bindValue(3, carried);
    updateAnswer_->bindValue(4, student);
    return Exec(*updateAnswer_, error);
}

bool RecordWriter::RecordPen(const RecordEvent &event, QString *error) {
    const qint64 student = question_.open ? StudentOf(event.slot) : 0;
    if (student == 0) {
        ++ignored_;
        return true;
    }
    if (event.kind == RecordEvent::Kind::PenUp) {
        return FlushStroke(event.slot, std::max(0, Milliseconds(event.enqueuedNs)), error);
    }
    AppendPenPoint(strokes_[event.slot], Milliseconds(event.enqueuedNs), event.x, event.y);
    return true;
}

bool RecordWriter::FlushStroke(int slot, int64_t upMs, QString *error) {
    QByteArray &points = strokes_[static_cast<size_t>(slot)];
    if (points.isEmpty() && upMs < 0) {
        return true;
    }
    insertStroke_->bindValue(0, StudentOf(slot));
    // A pen-up alone still ends the stroke written in earlier rows.
    insertStroke_->bindValue(1, points.isNull() ? QByteArray("") : points);
    insertStroke_->bindValue(2, upMs < 0 ? QVariant(QMetaType::fromType<qint64>())
                                         : QVariant(static_cast<qint64>(upMs)));
    points.clear();
    return Exec(*insertStroke_, error);
}

bool RecordWriter::FlushStrokes(QString *error) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!FlushStroke(slot, -1, error)) {
            return false;
        }
    }
    return true;
}

bool RecordWriter::SavePicture(const RecordEvent &event, QString *error) {
    // Pictures come after the end: they belong to the last question.
    const qint64 student = StudentOf(event.slot);
    if (student == 0 || event.payload->picture.isNull()) {
        ++ignored_;
        return true;
    }
    const QString relative = QStringLiteral("%1/q%2-seat%3.png")
                                 .arg(lessonFolder_)
                                 .arg(question_.number)
                                 .arg(event.slot + 1);
    const QString path = QDir(RecordsFolder(dataDir_)).filePath(relative);
    if (!QDir().mkpath(QFileInfo(path).path())) {
        *error = QStringLiteral("%1 cannot be created")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).path()));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !event.payload->picture.save(&file, "PNG") ||
        !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    QSqlQuery query(connection_.Database());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO picture (student, path) VALUES (?, ?)"));
    query.addBindValue(student);
    query.addBindValue(relative);
    return Exec(query, error);
}

bool RecordWriter::FlushUnknownTablets(QString *error) {
    if (unknown_.empty()) {
        return true;
    }
    if (!EnsureLesson(error)) {
        return false;
    }
    QSqlQuery query(connection_.Database());
    query.prepare(QStringLiteral(
        "INSERT INTO unknown_tablet (lesson, tablet_id, first_heard, last_heard, events) "
        "VALUES (?, ?, ?, ?, ?) ON CONFLICT (lesson, tablet_id) DO UPDATE SET "
        "last_heard = excluded.last_heard, events = events + excluded.events"));
    for (const auto &[tablet, heard] : unknown_) {
        query.bindValue(0, lesson_);
        query.bindValue(1, tablet);
        query.bindValue(2, WallTime(heard.firstNs));
        query.bindValue(3, WallTime(heard.lastNs));
        query.bindValue(4, heard.events);
        if (!Exec(query, error)) {
            return false;
        }
    }
    unknown_.clear();
    return true;
}

bool RecordWriter::EndLesson(int64_t ns, QString *error) {
    if (!FlushUnknownTablets(error)) {
        return false;
    }
    if (lesson_ == 0) {
        return true;
    }
    QSqlQuery query(connection_.Database());
    query.prepare(QStringLiteral("UPDATE lesson SET ended_at = ? WHERE number = ?"));
    query.addBindValue(WallTime(ns));
    query.addBindValue(lesson_);
    return Exec(query, error);
}

} // namespace lumora
