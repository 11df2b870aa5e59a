// A class's term export at a school's scale: 40 students, 200 lessons of 8
// questions (six single choice, a multiple choice, a graded handwritten one),
// a press or two per answer, written as a workbook and as CSV files.
#include "record/Export.h"
#include "record/RecordDatabase.h"
#include "record/TermGradebook.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using namespace lumora;

constexpr int kStudents = 40;
constexpr int kLessons = 200;
constexpr int kQuestions = 8;

bool Exec(QSqlQuery &query, const QVariantList &values) {
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values[i]);
    }
    return query.exec();
}

// The term's record in dataDir; false when it cannot be made.
bool MakeTerm(const QString &dataDir) {
    QDir().mkpath(RecordsFolder(dataDir));
    RecordConnection connection;
    QString error;
    if (!connection.Open(RecordDatabasePath(dataDir), true, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    QSqlDatabase &db = connection.Database();
    db.transaction();
    QSqlQuery lesson(db);
    QSqlQuery question(db);
    QSqlQuery student(db);
    QSqlQuery press(db);
    QSqlQuery picture(db);
    QSqlQuery heard(db);
    lesson.prepare("INSERT INTO lesson (number, started_at, folder, class_file, class_name, title) "
                   "VALUES (?, ?, ?, '7B', '7B', ?)");
    question.prepare("INSERT INTO question (id, lesson, number, type, answer_key, started_at, "
                     "ended_at, points) VALUES (?, ?, ?, ?, ?, 'x', 'y', ?)");
    student.prepare("INSERT INTO student (id, question, seat, name, card_id, pane_name, pane_id, "
                    "answer, letters, correct, grade) VALUES (?, ?, ?, ?, ?, '', 0, ?, '', ?, ?)");
    press.prepare("INSERT INTO press (student, key, ms, answer) VALUES (?, ?, ?, ?)");
    picture.prepare("INSERT INTO picture (student, path) VALUES (?, ?)");
    heard.prepare("INSERT INTO attendance (lesson, seat, name, first_heard, last_heard) "
                  "VALUES (?, ?, ?, 'x', 'y')");
    const QDate first(2026, 9, 1);
    bool ok = true;
    qint64 studentId = 0;
    for (int l = 1; ok && l <= kLessons; ++l) {
        const QString day = first.addDays(l).toString(Qt::ISODate);
        ok = Exec(lesson, {l, day + "T08:00:00.000+08:00", QString::number(l),
                           QStringLiteral("Lesson of %1").arg(day)});
        for (int q = 1; ok && q <= kQuestions; ++q) {
            const int id = l * 100 + q;
            const int type = q == kQuestions ? 2 : q == kQuestions - 1 ? 1 : 0;
            ok = Exec(question, {id, l, q, type,
                                 type == 2   ? ""
                                 : type == 1 ? "AC"
                                             : "B",
                                 type == 2 ? 3.0 : 1.0});
            for (int s = 1; ok && s <= kStudents; ++s) {
                const int mask = 2 << ((s + q + l) % 4);
                const bool right = type == 0 ? mask == 4 : type == 1 ? mask == 2 : false;
                ok = Exec(student,
                          {++studentId, id, s, QStringLiteral("student %1").arg(s), s,
                           type == 2 ? 0 : mask, type == 2 ? QVariant() : QVariant(right ? 1 : 0),
                           type == 2 ? QVariant((s + l) % 4) : QVariant()}) &&
                     (type == 2 ? Exec(picture,
                                       {studentId,
                                        QStringLiteral("%1/q%2-seat%3.png").arg(l).arg(q).arg(s)})
                                : Exec(press, {studentId, 1, 500 + s * 40, 2}) &&
                                      Exec(press, {studentId, 2, 900 + s * 40, mask}));
            }
        }
        for (int s = 1; ok && s <= kStudents; ++s) {
            ok = Exec(heard, {l, s, QStringLiteral("student %1").arg(s)});
        }
    }
    return db.commit() && ok;
}

void BM_ExportTerm(benchmark::State &state) {
    QTemporaryDir dir;
    if (!MakeTerm(dir.path())) {
        state.SkipWithError("the term's record cannot be made");
        return;
    }
    const ExportFormat format = state.range(0) == 0 ? ExportFormat::Xlsx : ExportFormat::Csv;
    const QString output =
        QDir(dir.path()).filePath(format == ExportFormat::Xlsx ? "t.xlsx" : "t.csv");
    const TermRange range{QDate(2026, 9, 1), QDate(2027, 8, 31)};
    for (auto _ : state) {
        QString error;
        if (!ExportTerm(dir.path(), "7B", range, format, output, ExistingFiles::Replace, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    state.SetLabel(format == ExportFormat::Xlsx ? "xlsx" : "csv");
}
BENCHMARK(BM_ExportTerm)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Reading and building the sheets alone, without writing them.
void BM_BuildTerm(benchmark::State &state) {
    QTemporaryDir dir;
    if (!MakeTerm(dir.path())) {
        state.SkipWithError("the term's record cannot be made");
        return;
    }
    for (auto _ : state) {
        QString error;
        const auto term =
            BuildTermExport(dir.path(), "7B", {QDate(2026, 9, 1), QDate(2027, 8, 31)}, &error);
        if (!term) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        state.counters["press_rows"] = static_cast<double>(term->presses.rows.size());
    }
}
BENCHMARK(BM_BuildTerm)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
