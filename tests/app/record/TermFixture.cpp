#include "TermFixture.h"

#include "record/RecordDatabase.h"

#include <QSqlError>
#include <QSqlQuery>

namespace lumora::test {

namespace {

// The lessons of the record: 1, 2 and 6 are 7B's September; 3 is in the bin,
// 4 another class's, 5 and 7 on the days either side (7 is 30 September in
// UTC, but 1 October where it was held; 6 the other way round). Each left-out
// lesson has a right answer worth 100 that would show in every total.
const char *const kStatements[] = {
    "INSERT INTO lesson (number, started_at, folder, class_file, class_name, title, deleted_at) "
    "VALUES (1, '2026-09-03T08:00:00.000+08:00', '1', '7B', 'Year 7 B', 'Fractions', NULL),"
    "(2, '2026-09-10T08:00:00.000+08:00', '2', '7B', 'Year 7 B', NULL, NULL),"
    "(3, '2026-09-12T08:00:00.000+08:00', '3', '7B', 'Year 7 B', 'Binned', "
    "'2026-09-13T08:00:00+08:00'),"
    "(4, '2026-09-05T08:00:00.000+08:00', '4', '8A', 'Year 8 A', NULL, NULL),"
    "(5, '2026-08-31T23:59:00.000+08:00', '5', '7B', 'Year 7 B', NULL, NULL),"
    "(6, '2026-09-30T23:30:00.000-05:00', '6', '7B', 'Year 7 B', 'Late', NULL),"
    "(7, '2026-10-01T00:10:00.000+08:00', '7', '7B', 'Year 7 B', NULL, NULL)",
    // id, lesson, number, type (0 single, 1 multiple, 2 handwritten), key, points
    "INSERT INTO question (id, lesson, number, type, answer_key, started_at, ended_at, points) "
    "VALUES (11, 1, 1, 0, 'B', 'x', 'y', NULL), (12, 1, 2, 1, 'AC', 'x', 'y', 2),"
    "(13, 1, 3, 2, '', 'x', 'y', 3), (21, 2, 1, 0, 'A', 'x', 'y', NULL),"
    "(61, 6, 1, 0, 'A', 'x', 'y', 0.5), (31, 3, 1, 0, 'A', 'x', 'y', 100),"
    "(41, 4, 1, 0, 'A', 'x', 'y', 100), (51, 5, 1, 0, 'A', 'x', 'y', 100),"
    "(71, 7, 1, 0, 'A', 'x', 'y', 100)",
    // Masks: A 2, B 4, C 8.
    "INSERT INTO student (id, question, seat, name, card_id, pane_name, pane_id, answer, letters, "
    "correct, carried, grade) VALUES "
    "(111, 11, 1, 'Ann', 11, '', 0, 4, 'B', 1, 0, NULL),"   // right
    "(112, 11, 2, 'Bob', 12, '', 0, 2, 'A', 0, 0, NULL),"   // wrong
    "(113, 11, 3, '=1+1', 13, '', 0, 0, '', 0, 0, NULL),"   // no answer
    "(121, 12, 1, 'Ann', 11, '', 0, 10, 'AC', 1, 0, NULL)," // right, 2 points
    "(122, 12, 2, 'Bob', 12, '', 0, 10, 'AC', 1, 2, NULL)," // right only with a carried A
    "(123, 12, 3, '=1+1', 13, '', 0, 8, 'C', 0, 8, NULL),"  // nothing but a carried C
    "(131, 13, 1, 'Ann', 11, '', 0, 0, '', NULL, 0, 2),"    // graded 2 of 3
    "(132, 13, 2, 'Bob', 12, '', 0, 0, '', NULL, 0, NULL)," // not graded yet
    "(133, 13, 3, '=1+1', 13, '', 0, 0, '', NULL, 0, NULL),"
    "(211, 21, 1, 'Ann', 11, '', 0, 0, '', 0, 0, NULL),"   // heard, never pressed
    "(213, 21, 3, '=1+1', 13, '', 0, 2, 'A', 1, 0, NULL)," // Bob has no seat in lesson 2
    "(214, 21, 4, '+x', 14, '', 0, 4, 'B', 0, 0, NULL),"
    "(611, 61, 1, 'Ann', 11, '', 0, 2, 'A', 1, 0, NULL),"
    "(615, 61, 5, 'Bob', 15, '', 0, 4, 'B', 0, 0, NULL)," // Bob's seat and tablet now
    "(616, 61, 6, '-y', 16, '', 0, 0, '', 0, 0, NULL),"
    "(617, 61, 7, '@z', 17, '', 0, 0, '', 0, 0, NULL),"
    "(311, 31, 1, 'Ann', 11, '', 0, 2, 'A', 1, 0, NULL),"
    "(411, 41, 1, 'Ann', 11, '', 0, 2, 'A', 1, 0, NULL),"
    "(511, 51, 1, 'Ann', 11, '', 0, 2, 'A', 1, 0, NULL),"
    "(711, 71, 1, 'Ann', 11, '', 0, 2, 'A', 1, 0, NULL)",
    "INSERT INTO press (student, key, ms, answer) VALUES (111, 2, 1500, 4), (112, 1, 900, 2),"
    "(121, 1, 2000, 2), (121, 3, 2500, 10), (122, 3, 3000, 10), (213, 1, 700, 2),"
    "(214, 2, 800, 4), (611, 1, 400, 2), (615, 2, 600, 4), (311, 1, 1, 2), (411, 1, 1, 2),"
    "(511, 1, 1, 2), (711, 1, 1, 2)",
    // A picture outside the Records folder is no picture.
    "INSERT INTO picture (student, path) VALUES (131, '1/q3-seat1.png'), (132, '1/q3-seat2.png'),"
    "(133, '../../outside.png')",
    "INSERT INTO attendance (lesson, seat, name, first_heard, last_heard) VALUES "
    "(1, 1, 'Ann', 'x', 'y'), (2, 1, 'Ann', 'x', 'y'), (4, 2, 'Bob', 'x', 'y'),"
    "(3, 2, 'Bob', 'x', 'y')",
};

} // namespace

TermFixture::TermFixture() {
    QDir().mkpath(RecordsFolder(dir_.Path()));
    RecordConnection connection;
    QString error;
    EXPECT_TRUE(connection.Open(RecordDatabasePath(dir_.Path()), true, &error))
        << error.toStdString();
    for (const char *statement : kStatements) {
        QSqlQuery query(connection.Database());
        EXPECT_TRUE(query.exec(QString::fromUtf8(statement)))
            << statement << ": " << query.lastError().text().toStdString();
    }
}

} // namespace lumora::test
