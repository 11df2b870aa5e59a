// A term's export to files (three CSV files together, progress) and the
// program's --export-term end to end: bad input, the default term, --force.
#include "record/Export.h"

#include "RecordTest.h"
#include "TermFixture.h"
#include "record/RecordDatabase.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

const TermRange kSeptember{QDate(2026, 9, 1), QDate(2026, 9, 30)};

TEST(ExportTerm, CsvWritesThreeFilesTogetherAndReportsProgress) {
    test::TermFixture record;
    const QString out = record.File("term.csv");
    const QStringList files = TermExportFiles(ExportFormat::Csv, out);
    // One of them there already: nothing is written without leave to replace.
    QFile existing(record.File("term-presses.csv"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    QString error;
    EXPECT_FALSE(ExportTerm(record.DataDir(), "7B", kSeptember, ExportFormat::Csv, out,
                            ExistingFiles::Keep, &error));
    EXPECT_TRUE(error.contains("already exists")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(files[0]) || QFileInfo::exists(files[1]));

    std::vector<std::pair<int, int>> steps;
    ASSERT_TRUE(ExportTerm(record.DataDir(), "7B", kSeptember, ExportFormat::Csv, out,
                           ExistingFiles::Replace, &error,
                           [&steps](int done, int total) { steps.emplace_back(done, total); }))
        << error.toStdString();
    for (const QString &file : files) {
        EXPECT_GT(QFileInfo(file).size(), 3) << file.toStdString();
    }
    // One heading row, as learning platforms take it: each question led by
    // its lesson, then a row per student.
    QFile gradebook(files[0]);
    ASSERT_TRUE(gradebook.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = gradebook.readAll().split('\n');
    ASSERT_GT(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("\xEF\xBB\xBFSeat,Name,Tablet ID,2026-09-"))
        << lines[0].constData();
    EXPECT_TRUE(lines[0].contains(" · Q1,")) << lines[0].constData();
    EXPECT_FALSE(lines[1].startsWith("Seat")) << lines[1].constData();
    ASSERT_FALSE(steps.empty());
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].second, steps.back().second);
        EXPECT_TRUE(i == 0 || steps[i].first > steps[i - 1].first);
    }
    EXPECT_EQ(steps.back().first, steps.back().second);
}

// Read-only, an older record cannot be brought up to date: it says so.
TEST(ExportTerm, AnOlderRecordOpenedReadOnlyIsRefusedWithAReason) {
    test::TermFixture record;
    test::RawExec(RecordDatabasePath(record.DataDir()), {"PRAGMA user_version = 3"});
    RecordConnection connection;
    QString error;
    ASSERT_TRUE(connection.OpenReadOnly(RecordDatabasePath(record.DataDir()), &error));
    EXPECT_FALSE(ReadTermRecord(connection, record.DataDir(), "7B", kSeptember, &error));
    EXPECT_TRUE(error.contains("earlier version of the program")) << error.toStdString();
}

TEST(ExportTermCommand, RefusesBadInputAndWritesNothing) {
    test::TermFixture record;
    test::DataDir empty;
    const QString data = record.DataDir();
    const QString out = record.File("cli.csv");
    const QStringList tail{"--format", "csv", "--output", out};
    const QStringList term = QStringList{"--data-dir", data, "--export-term", "7B"} + tail;
    const std::pair<QStringList, const char *> bad[] = {
        {term + QStringList{"--from", "2026-13-01"},
         R"(--from must be a day as YYYY-MM-DD, not "2026-13-01")"},
        {term + QStringList{"--to", "2026-9-1"}, "--to must be a day as YYYY-MM-DD"},
        {term + QStringList{"--from", "2026-10-01", "--to", "2026-09-01"},
         "--from 2026-10-01 is after --to 2026-09-01"},
        {term + QStringList{"--from", "2020-01-01", "--to", "2020-01-31"},
         "the class held no lesson from 2020-01-01 to 2020-01-31"},
        {QStringList{"--data-dir", data, "--export-term", "9C"} + tail, R"(no class "9C")"},
        {QStringList{"--data-dir", data, "--export-term", " "} + tail, "no class given"},
        {QStringList{"--data-dir", data, "--export-term", ""} + tail,
         "--export-term CLASS is missing"},
        {QStringList{"--data-dir", empty.Path(), "--export-term", "7B"} + tail,
         "no lesson record in"},
        {term + QStringList{"--export", "1"}, "cannot be given together"},
        {QStringList{"--data-dir", data, "--export", "1", "--from", "2026-09-01"} + tail,
         "--from and --to belong to --export-term"},
        {QStringList{"--data-dir", data, "--export-term", "7B", "--format", "pdf", "--output", out},
         "csv or xlsx"},
        {QStringList{"--data-dir", data, "--export-term", "7B", "--format", "csv"},
         "--output FILE is missing"},
    };
    for (const auto &[arguments, message] : bad) {
        QString output;
        EXPECT_EQ(test::RunWithoutDisplay(QStringLiteral(LUMORA_PROGRAM), arguments, &output), 1)
            << message;
        EXPECT_TRUE(output.startsWith("Lumora: ") && output.count(u'\n') == 1)
            << output.toStdString();
        EXPECT_TRUE(output.contains(QString::fromUtf8(message))) << output.toStdString();
        for (const QString &file : TermExportFiles(ExportFormat::Csv, out)) {
            EXPECT_FALSE(QFileInfo::exists(file)) << message;
        }
    }
}

TEST(ExportTermCommand, TheTermComesFromConfigIniUnlessGiven) {
    test::TermFixture record;
    const QString data = record.DataDir();
    // A term from 2000 to 2098 holds 31 August and 1 October as well, which
    // no usual school term does.
    QFile config(record.File("Config.ini"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[Preferences]\nTermStarts=2000-01-01,2099-01-01\n");
    config.close();
    const QString out = record.File("cli.csv");
    const QStringList arguments{"--data-dir", data,  "--export-term", "year 7 b",
                                "--format",   "csv", "--output",      out};
    QString output;
    ASSERT_EQ(test::RunWithoutDisplay(QStringLiteral(LUMORA_PROGRAM), arguments, &output), 0)
        << output.toStdString();
    EXPECT_EQ(output.split(u'\n', Qt::SkipEmptyParts), TermExportFiles(ExportFormat::Csv, out));
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString lessons = QString::fromUtf8(written.readLine());
    for (const char *day : {"2026-08-31", "2026-09-03", "2026-09-10", "2026-09-30", "2026-10-01"}) {
        EXPECT_TRUE(lessons.contains(QLatin1String(day))) << day;
    }
    written.close();

    // Given days win; the files are there now, so only --force replaces them.
    const QStringList september =
        arguments + QStringList{"--from", "2026-09-01", "--to", "2026-09-30"};
    EXPECT_EQ(test::RunWithoutDisplay(QStringLiteral(LUMORA_PROGRAM), september, &output), 1);
    EXPECT_TRUE(output.contains("already exists: give --force")) << output.toStdString();
    ASSERT_EQ(test::RunWithoutDisplay(QStringLiteral(LUMORA_PROGRAM),
                                      september + QStringList{"--force"}, &output),
              0)
        << output.toStdString();
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString september1 = QString::fromUtf8(written.readAll());
    EXPECT_FALSE(september1.contains("2026-08-31") || september1.contains("2026-10-01"));
    EXPECT_TRUE(september1.contains("2026-09-30 · Late")) << september1.toStdString();
    for (const char *name : {"=1+1", "+x", "-y", "@z"}) { // never a formula
        EXPECT_TRUE(september1.contains(QStringLiteral(",'%1,").arg(name))) << name;
    }
}

} // namespace
} // namespace lumora
