// Export of a known lesson to CSV and XLSX, checked cell by cell, bad input,
// and the export command of the program end to end.
#include "record/Export.h"

#include "LessonFixture.h"
#include "RecordTest.h"
#include "XlsxCells.h"
#include "record/ExportName.h"
#include "record/ExportSheet.h"
#include "record/RecordDatabase.h"
#include "record/SheetWriters.h"
#include "support/CrashHelper.h"
#include "support/TestFiles.h"

#include <QDirIterator>
#include <QRegularExpression>

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#endif

#include <gtest/gtest.h>

#include <cmath>

namespace lumora {
namespace {

using test::U;

const char *const kGradebookCsv = "\xEF\xBB\xBF"
                                  "Seat,Name,Q1,Q2,Q3,Correct,Graded,Percent\r\n"
                                  ",Type,Single choice,Multiple choice,Subjective\r\n"
                                  ",Answer key,B,AC,\r\n"
                                  "1,张三,B ✓,AC ✓,,2,2,100.00%\r\n"
                                  "2,\"Li, Mei\",✗,A ✗,1/q3-seat2.png,0,2,0.00%\r\n"
                                  "3,'=cmd,✗,AC ✓,,1,2,50.00%\r\n"
                                  ",Correct,1,2,,3,6,50.00%\r\n"
                                  ",Percent,33.33%,66.67%,\r\n";

// The presses with their times replaced by T (times depend on the machine).
const char *const kPressesCsv = "\xEF\xBB\xBF"
                                "Question,Seat,Name,Tablet ID,Key,Letter,Time (ms),Answer after\r\n"
                                "1,1,张三,11,1,A,T,A\r\n"
                                "1,1,张三,11,2,B,T,B\r\n"
                                "1,2,\"Li, Mei\",12,2,B,T,B\r\n"
                                "1,2,\"Li, Mei\",12,9,clear,T,\r\n"
                                "2,1,张三,11,1,A,T,A\r\n"
                                "2,1,张三,11,3,C,T,AC\r\n"
                                "2,2,\"Li, Mei\",12,1,A,T,A\r\n"
                                "2,3,'=cmd,13,3,C,T,C\r\n"
                                "2,3,'=cmd,13,1,A,T,AC\r\n";

QString WithoutTimes(const QByteArray &csv) {
    QStringList lines = QString::fromUtf8(csv).split(QStringLiteral("\r\n"));
    static const QRegularExpression time(QStringLiteral(",\\d+,([A-Z]*)$"));
    for (QString &line : lines) {
        line.replace(time, QStringLiteral(",T,\\1"));
    }
    return lines.join(QStringLiteral("\r\n"));
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Export, CsvGradebookAndPressesHoldTheExpectedCells) {
    test::LessonFixture lesson;
    QString error;
    const QString out = lesson.File(QStringLiteral("out/lesson.csv"));
    QDir().mkpath(lesson.File(QStringLiteral("out")));
    ASSERT_TRUE(ExportLesson(lesson.DataDir(), QStringLiteral("1"), ExportFormat::Csv, out,
                             ExistingFiles::Keep, &error))
        << error.toStdString();
    EXPECT_EQ(QString::fromUtf8(ReadFile(out)), U(kGradebookCsv));
    const QByteArray presses = ReadFile(lesson.File(QStringLiteral("out/lesson-presses.csv")));
    EXPECT_EQ(WithoutTimes(presses), U(kPressesCsv));
    // Times are milliseconds since the question started, in order per student.
    EXPECT_TRUE(
        QString::fromUtf8(presses).contains(QRegularExpression(QStringLiteral(",[0-9]+,A\r\n"))));
}

// Numbers compare as numbers (the workbook keeps full precision).
void ExpectCells(const QMap<QString, QString> &actual, const QMap<QString, QString> &expected) {
    EXPECT_EQ(actual.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        bool isNumber = false;
        const double number = it.value().toDouble(&isNumber);
        if (isNumber && it.value() != QStringLiteral("1/q3-seat2.png")) {
            EXPECT_NEAR(actual.value(it.key()).toDouble(), number, 1e-9) << it.key().toStdString();
        } else {
            EXPECT_EQ(actual.value(it.key()), it.value()) << it.key().toStdString();
        }
    }
}

TEST(Export, XlsxHoldsTheGradebookAndThePressesSheet) {
    test::LessonFixture lesson;
    QString error;
    const QString out = lesson.File(QStringLiteral("lesson.xlsx"));
    ASSERT_TRUE(ExportLesson(lesson.DataDir(), QStringLiteral("last"), ExportFormat::Xlsx, out,
                             ExistingFiles::Keep, &error))
        << error.toStdString();
    EXPECT_TRUE(ReadFile(out).startsWith("PK"));
    ExpectCells(test::XlsxCells(out, 1), {{"A1", "Seat"},
                                          {"B1", "Name"},
                                          {"C1", "Q1"},
                                          {"D1", "Q2"},
                                          {"E1", "Q3"},
                                          {"F1", "Correct"},
                                          {"G1", "Graded"},
                                          {"H1", "Percent"},
                                          {"B2", "Type"},
                                          {"C2", "Single choice"},
                                          {"D2", "Multiple choice"},
                                          {"E2", "Subjective"},
                                          {"B3", "Answer key"},
                                          {"C3", "B"},
                                          {"D3", "AC"},
                                          {"A4", "1"},
                                          {"B4", U("张三")},
                                          {"C4", U("B ✓")},
                                          {"D4", U("AC ✓")},
                                          {"F4", "2"},
                                          {"G4", "2"},
                                          {"H4", "1"},
                                          {"A5", "2"},
                                          {"B5", "Li, Mei"},
                                          {"C5", U("✗")},
                                          {"D5", U("A ✗")},
                                          {"E5", "1/q3-seat2.png"},
                                          {"F5", "0"},
                                          {"G5", "2"},
                                          {"H5", "0"},
                                          {"A6", "3"},
                                          {"B6", "=cmd"},
                                          {"C6", U("✗")},
                                          {"D6", U("AC ✓")},
                                          {"F6", "1"},
                                          {"G6", "2"},
                                          {"H6", "0.5"},
                                          {"B7", "Correct"},
                                          {"C7", "1"},
                                          {"D7", "2"},
                                          {"F7", "3"},
                                          {"G7", "6"},
                                          {"H7", "0.5"},
                                          {"B8", "Percent"},
                                          {"C8", "0.333333333333"},
                                          {"D8", "0.666666666667"}});
    const QMap<QString, QString> presses = test::XlsxCells(out, 2);
    EXPECT_EQ(presses.size(), 8 * 10 - 1); // the clear press leaves no answer: a blank cell
    EXPECT_EQ(presses.value("G1"), QStringLiteral("Time (ms)"));
    EXPECT_EQ(presses.value("C3"), U("张三"));
    EXPECT_EQ(presses.value("F5"), QStringLiteral("clear"));
    EXPECT_EQ(presses.value("H10"), QStringLiteral("AC"));
    EXPECT_EQ(presses.value("C10"), QStringLiteral("=cmd"));
    bool isNumber = false;
    EXPECT_GE(presses.value("G10").toDouble(&isNumber), 0);
    EXPECT_TRUE(isNumber);

    // The item analysis of the two choice questions. Scores 张三 1 1,
    // Li Mei 0 0, =cmd 0 1: totals 2, 0, 1, each item right for 1 or 2 of 3
    // and correlated 0.5 with the rest; KR-20 = 2 (1 - (2/9 + 2/9) / (2/3)).
    const QMap<QString, QString> statistics = test::XlsxCells(out, 3);
    const std::pair<const char *, double> numbers[] = {
        {"A2", 1},      {"D2", 1},       {"E2", 3},   {"F2", 1.0 / 3},
        {"G2", 0.5},                                                              // question 1
        {"J2", 0},      {"K2", 1},       {"L2", 0},   {"M2", 0},                  // options A..D
        {"A3", 2},      {"F3", 2.0 / 3}, {"G3", 0.5},                             // question 2
        {"J3", 3},      {"K3", 0},       {"L3", 2},   {"M3", 0},                  //
        {"B5", 3},      {"B6", 2},       {"B7", 1},   {"B8", std::sqrt(2.0 / 3)}, // the lesson
        {"B9", 2.0 / 3}};
    for (const auto &[cell, number] : numbers) {
        EXPECT_NEAR(statistics.value(cell).toDouble(&isNumber), number, 1e-9) << cell;
        EXPECT_TRUE(isNumber) << cell;
    }
    EXPECT_EQ(statistics.value("C3"), QStringLiteral("AC"));
    EXPECT_EQ(statistics.value("K1"), QStringLiteral("B"));
    EXPECT_EQ(statistics.value("A9"), QStringLiteral("Reliability (KR-20)"));
    EXPECT_FALSE(statistics.contains("A4")); // the handwritten question has no scores
    // Options A, C and D of question 1 drew nobody: each is named.
    for (const char *letter : {"A", "C", "D"}) {
        EXPECT_TRUE(statistics.value("N2").contains(QLatin1String(letter))) << letter;
    }
}

TEST(Export, RefusesBadInputWithAClearMessage) {
    test::LessonFixture lesson;
    test::DataDir empty;
    QDir().mkpath(empty.File("Records"));
    struct Case {
        QString dataDir;
        QString lesson;
        QString output;
        const char *message;
    };
    const QString db = RecordDatabasePath(lesson.DataDir());
    const Case cases[] = {
        {lesson.DataDir(), "2", lesson.File("a.csv"),
         "there is no lesson 2: the record holds lessons 1 to 1"},
        {lesson.DataDir(), "0", lesson.File("a.csv"), "\"0\" is not a lesson"},
        {lesson.DataDir(), "first", lesson.File("a.csv"), "\"first\" is not a lesson"},
        {lesson.DataDir(), " 1", lesson.File("a.csv"), "is not a lesson"},
        {lesson.DataDir(), "1", lesson.File("missing/a.csv"), "does not exist"},
        {lesson.DataDir(), "1", lesson.Path(), "is a folder"},
        {lesson.DataDir(), "1", db, "is the lesson record itself"},
        {lesson.DataDir(), "1", db + "-wal", "is the lesson record itself"},
        {lesson.DataDir(), "1", QString(), "no output file"},
        {empty.Path(), "last", empty.File("a.csv"), "no lesson record in"},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_FALSE(ExportLesson(c.dataDir, c.lesson, ExportFormat::Csv, c.output,
                                  ExistingFiles::Keep, &error))
            << c.message;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.message)))
            << error.toStdString() << " / " << c.message;
    }
    EXPECT_EQ(ReadFile(db).left(15), QByteArray("SQLite format 3"));
    EXPECT_FALSE(QFileInfo::exists(lesson.File("a.csv")));
    EXPECT_FALSE(ParseExportFormat(QStringLiteral("pdf")));
    EXPECT_EQ(ParseExportFormat(QStringLiteral("XLSX")), ExportFormat::Xlsx);
}

TEST(Export, PressesFileSitsBesideTheGradebook) {
    const std::pair<const char *, const char *> cases[] = {
        {"/x/lesson.csv", "/x/lesson-presses.csv"},
        {"/x/a.b/grades", "/x/a.b/grades-presses"},
        {"/x/grades.v2.csv", "/x/grades.v2-presses.csv"},
        {"/x/.csv", "/x/.csv-presses"},
        {"rel.csv", "rel-presses.csv"},
    };
    for (const auto &[in, out] : cases) {
        EXPECT_EQ(PressesFilePath(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
    }
}

TEST(Export, CsvQuotesWhatNeedsIt) {
    ExportSheet sheet;
    ExportCell linked = ExportCell::Of(2.0);
    linked.link = QStringLiteral("/r/Records/1/q3-seat1.png"); // CSV has no links
    sheet.rows = {{ExportCell::Of(QStringLiteral("say \"hi\"")),
                   ExportCell::Of(QStringLiteral("two\nlines")),
                   ExportCell::Of(QStringLiteral("+1")), ExportCell::Of(QStringLiteral("-2,3")),
                   ExportCell::Of(QStringLiteral("@x")), ExportCell::Of(2.5),
                   ExportCell::Share(1, 3), ExportCell::Share(1, 0),
                   ExportCell::Day(QDate(2026, 9, 3)), linked, ExportCell::Share(0.5, 1.5)}};
    EXPECT_EQ(CsvBytes(sheet),
              QByteArray("\xEF\xBB\xBF\"say \"\"hi\"\"\",\"two\nlines\",'+1,\"'-2,3\","
                         "'@x,2.5,33.33%,,2026-09-03,2,33.33%\r\n"));
}

// Days are numbers in a date format, links hyperlinks beside their value,
// and the heading stays in view.
TEST(Export, XlsxWritesDaysLinksAndFrozenHeadings) {
    test::DataDir dir;
    ExportCell graded = ExportCell::Of(2.0);
    graded.link = dir.File("Records/1/q3 seat1.png");
    ExportCell ungraded;
    ungraded.link = dir.File("Records/1/q3-seat2.png");
    ExportSheet sheet{
        QStringLiteral("Term"),
        {{ExportCell::Of(QStringLiteral("Day")), ExportCell::Of(QStringLiteral("Q1"))},
         {ExportCell::Day(QDate(2026, 9, 3)), graded, ungraded}},
        1,
        1,
        {11, 0, 8}};
    QString error;
    ASSERT_TRUE(WriteXlsx({&sheet}, dir.File("t.xlsx"), &error)) << error.toStdString();
    const QMap<QString, QString> cells = test::XlsxCells(dir.File("t.xlsx"), 1);
    EXPECT_EQ(cells.value("A2"), "46268"); // 2026-09-03 as a workbook counts days
    EXPECT_EQ(cells.value("B2"), "2");
    EXPECT_EQ(cells.value("C2"), "q3-seat2.png");
    QString xml;
    ASSERT_EQ(test::RunWithoutDisplay("unzip", {"-p", dir.File("t.xlsx")}, &xml), 0);
    for (const char *part :
         {R"(formatCode="yyyy-mm-dd")", R"(state="frozen")", R"(<col min="1" max="1" width=)",
          R"(<col min="3" max="3" width=)", R"(<hyperlink ref="B2")", R"(<hyperlink ref="C2")",
          "/Records/1/q3%20seat1.png"}) {
        EXPECT_TRUE(xml.contains(QLatin1String(part))) << part;
    }
    EXPECT_FALSE(xml.contains(R"(<col min="2")")); // no width: the default
}

// A file that cannot be written leaves no partial file and says why.
TEST(Export, AFailedWriteKeepsTheOldFile) {
    test::DataDir dir;
    dir.Write("old.xlsx", "previous export");
    ExportSheet sheet{QStringLiteral("Bad/Name"), {{ExportCell::Of(1.0)}}};
    QString error;
    EXPECT_FALSE(WriteXlsx({&sheet}, dir.File("old.xlsx"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.Read("old.xlsx"), QByteArray("previous export"));
    EXPECT_EQ(dir.Entries(), QStringList{QStringLiteral("old.xlsx")}); // no temporary left
}

#ifdef __linux__
// What stands at path, as the system sees it: its type and, for a file, its bytes.
QByteArray Kind(const QString &path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return "none";
    }
    if (S_ISREG(info.st_mode)) {
        return "file:" + ReadFile(path);
    }
    return S_ISCHR(info.st_mode)    ? "char device"
           : S_ISFIFO(info.st_mode) ? "pipe"
           : S_ISSOCK(info.st_mode) ? "socket"
           : S_ISDIR(info.st_mode)  ? "folder"
                                    : "other";
}

// Makes a named pipe, a socket or a character device (like the system's
// null device); false when this machine does not allow it.
bool MakeSpecial(const QString &path, mode_t type) {
    const QByteArray name = QFile::encodeName(path);
    if (type == S_IFSOCK) {
        const int handle = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        const bool ok =
            ::bind(handle, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        ::close(handle);
        return ok;
    }
    return ::mknod(name.constData(), type | 0666, type == S_IFCHR ? makedev(1, 3) : 0) == 0;
}

// Whatever is not the export's own file stays exactly as it was, even with
// replacing allowed; an existing file of the teacher's needs that permission.
TEST(Export, NeverReplacesWhatIsNotItsOwn) {
    test::LessonFixture lesson;
    const QString data = lesson.DataDir();
    QDir().mkpath(lesson.File("Language/English"));
    QDir().mkpath(lesson.File("Classes"));
    QDir().mkpath(lesson.File("elsewhere"));
    for (const char *name : {"StudentInfo.ini", "Config.ini", "Language/English/Language.xml",
                             "Classes/3-2.ini", "StudentInfo-kept-20261208-080000.ini", "mine.csv",
                             "mine-presses.csv", "elsewhere/target.xlsx"}) {
        QFile file(lesson.File(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("teacher's ") + name);
    }
    QString picture;
    for (QDirIterator it(lesson.File("Records"), {"*.png"}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        picture = it.next();
    }
    ASSERT_FALSE(picture.isEmpty());
    ASSERT_EQ(::symlink(QFile::encodeName(lesson.File("StudentInfo.ini")).constData(),
                        QFile::encodeName(lesson.File("roster-link.csv")).constData()),
              0);
    struct Case {
        const char *name;
        mode_t make; // 0: already there
        ExistingFiles existing;
        ExportFormat format;
        const char *message;
    };
    const Case cases[] = {
        {"pipe.csv", S_IFIFO, ExistingFiles::Replace, ExportFormat::Csv, "not an ordinary file"},
        {"socket.xlsx", S_IFSOCK, ExistingFiles::Replace, ExportFormat::Xlsx,
         "not an ordinary file"},
        {"null.csv", S_IFCHR, ExistingFiles::Replace, ExportFormat::Csv, "not an ordinary file"},
        // The presses file of a CSV export is checked like the gradebook.
        {"x-presses.csv", S_IFIFO, ExistingFiles::Replace, ExportFormat::Csv,
         "not an ordinary file"},
        {"StudentInfo.ini", 0, ExistingFiles::Replace, ExportFormat::Csv, "program's own files"},
        {"Config.ini", 0, ExistingFiles::Replace, ExportFormat::Xlsx, "program's own files"},
        {"Language/English/Language.xml", 0, ExistingFiles::Replace, ExportFormat::Xlsx,
         "program's own files"},
        {"Classes/3-2.ini", 0, ExistingFiles::Replace, ExportFormat::Xlsx, "program's own files"},
        {"StudentInfo-kept-20261208-080000.ini", 0, ExistingFiles::Replace, ExportFormat::Xlsx,
         "program's own files"},
        {"Classes/new.csv", 0, ExistingFiles::Replace, ExportFormat::Csv, "program's own files"},
        {"roster-link.csv", 0, ExistingFiles::Replace, ExportFormat::Xlsx, "program's own files"},
        {"mine.csv", 0, ExistingFiles::Keep, ExportFormat::Csv, "already exists: give --force"},
        {"elsewhere/target.xlsx", 0, ExistingFiles::Keep, ExportFormat::Xlsx, "already exists"},
    };
    for (const Case &c : cases) {
        const QString path = lesson.File(c.name);
        const QString target = c.name == QByteArray("x-presses.csv") ? lesson.File("x.csv") : path;
        if (c.make != 0 && !MakeSpecial(path, c.make)) {
            std::printf("skipped %s: this machine does not allow making it\n", c.name);
            continue;
        }
        const QByteArray before = Kind(path);
        QString error;
        EXPECT_FALSE(ExportLesson(data, "1", c.format, target, c.existing, &error)) << c.name;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.message))) << error.toStdString();
        EXPECT_EQ(Kind(path), before) << c.name;
    }
    QString error;
    EXPECT_FALSE(
        ExportLesson(data, "1", ExportFormat::Csv, picture, ExistingFiles::Replace, &error));
    EXPECT_TRUE(Kind(picture).startsWith("file:\x89PNG")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(lesson.File("x.csv")));
    EXPECT_FALSE(QFileInfo::exists(lesson.File("Classes/new.csv")));
    // Allowed to, an export replaces the teacher's own file, also through a link.
    ASSERT_EQ(::symlink(QFile::encodeName(lesson.File("elsewhere/target.xlsx")).constData(),
                        QFile::encodeName(lesson.File("link.xlsx")).constData()),
              0);
    EXPECT_TRUE(ExportLesson(data, "1", ExportFormat::Xlsx, lesson.File("link.xlsx"),
                             ExistingFiles::Replace, &error))
        << error.toStdString();
    EXPECT_EQ(test::XlsxCells(lesson.File("elsewhere/target.xlsx"), 1).value("B4"), U("张三"));
    EXPECT_TRUE(QFileInfo(lesson.File("link.xlsx")).isSymLink());
}

// A disk that has room for the gradebook but not for the presses: neither
// file appears, and the message gives the system's reason.
TEST(Export, AFullDiskChangesNeitherCsvFile) {
    test::LessonFixture lesson;
    const QString out = lesson.File("out");
    QDir().mkpath(out);
    const int result = test::RunInChild([&] {
        const QByteArray target = QFile::encodeName(out);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", target.constData(), "tmpfs", 0, "size=64k") != 0) {
            return 77;
        }
        QFile filler(out + "/filler");
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return 10;
        }
        while (filler.write(QByteArray(1024, 'f')) == 1024) {
        }
        // One page free: the gradebook fits, the presses do not.
        filler.resize((filler.size() / 4096 - 1) * 4096);
        filler.close();
        QString error;
        if (ExportLesson(lesson.DataDir(), "1", ExportFormat::Csv, out + "/a.csv",
                         ExistingFiles::Keep, &error)) {
            return 11;
        }
        const QStringList left = QDir(out).entryList(QDir::Files | QDir::Hidden);
        return left != QStringList{"filler"}                     ? 12
               : !error.contains(qt_error_string(ENOSPC))        ? 13
               : error.contains(QStringLiteral("Unknown error")) ? 14
                                                                 : 0;
    });
    if (result == 77) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    EXPECT_EQ(result, 0);
}

// A record on media that takes no writes (a backup, a share) is exported
// all the same: it is opened read-only, nothing is made beside it.
TEST(Export, ARecordOnReadOnlyMediaExports) {
    test::LessonFixture lesson;
    const QString media = lesson.File("media");
    QDir().mkpath(media);
    const int result = test::RunInChild([&] {
        const QByteArray target = QFile::encodeName(media);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", target.constData(), "tmpfs", 0, "size=4m") != 0) {
            return 77;
        }
        QDir().mkpath(media + "/Records");
        for (const char *extra : {"", "-wal"}) {
            const QString from = RecordDatabasePath(lesson.DataDir()) + extra;
            if (QFileInfo::exists(from) && !QFile::copy(from, RecordDatabasePath(media) + extra)) {
                return 10;
            }
        }
        if (::mount(nullptr, target.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            return 77;
        }
        QString error;
        const QString out = lesson.File("from-media.csv");
        if (!ExportLesson(media, "last", ExportFormat::Csv, out, ExistingFiles::Keep, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 11;
        }
        return QString::fromUtf8(ReadFile(out)) == U(kGradebookCsv) ? 0 : 12;
    });
    if (result == 77) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    EXPECT_EQ(result, 0);
}
#endif

// Texts a workbook's cell cannot hold as they are: cut with a mark, NUL escaped.
TEST(Export, XlsxKeepsTextsACellCannotHold) {
    test::DataDir dir;
    const QString longText = QString(40000, u'名');
    const std::pair<QString, QString> cases[] = {
        {longText, longText.left(32767 - kCutMark.size()) + kCutMark.toString()},
        {QString(32767, u'x'), QString(32767, u'x')},
        {QStringLiteral("a") + QChar(u'\0') +
             QStringLiteral("b\x01"
                            "c"),
         QStringLiteral("a_x0000_b_x0001_c")},
    };
    ExportSheet sheet{QStringLiteral("Texts"), {}};
    for (const auto &[text, expected] : cases) {
        sheet.rows.push_back({ExportCell::Of(text)});
    }
    QString error;
    ASSERT_TRUE(WriteXlsx({&sheet}, dir.File("t.xlsx"), &error)) << error.toStdString();
    const QMap<QString, QString> cells = test::XlsxCells(dir.File("t.xlsx"), 1);
    int row = 1;
    for (const auto &[text, expected] : cases) {
        EXPECT_EQ(cells.value(QStringLiteral("A%1").arg(row++)), expected);
    }
}

// The program itself: no window and no display, exit status and messages.
TEST(ExportCommand, RunsWithoutADisplayAndReportsBadInput) {
    test::LessonFixture lesson;
    const auto run = [](const QStringList &arguments, QString *output) {
        return test::RunWithoutDisplay(QStringLiteral(LUMORA_PROGRAM), arguments, output);
    };
    const QString data = lesson.DataDir();
    QString err;
    const QString csv = lesson.File(QStringLiteral("cli.csv"));
    EXPECT_EQ(run({"--data-dir", data, "--export", "1", "--format", "csv", "--output", csv}, &err),
              0)
        << err.toStdString();
    EXPECT_EQ(QString::fromUtf8(ReadFile(csv)), U(kGradebookCsv));
    EXPECT_TRUE(QFileInfo::exists(lesson.File(QStringLiteral("cli-presses.csv"))));
    const QString xlsx = lesson.File(QStringLiteral("cli.xlsx"));
    EXPECT_EQ(
        run({"--export", "last", "--format", "xlsx", "--output", xlsx, "--data-dir", data}, &err),
        0)
        << err.toStdString();
    EXPECT_EQ(test::XlsxCells(xlsx, 1).value("B4"), U("张三"));

    const std::pair<QStringList, const char *> bad[] = {
        {{"--data-dir", data, "--export", "1", "--output", csv}, "--format FORMAT is missing"},
        {{"--data-dir", data, "--export", "1", "--format", "pdf", "--output", csv}, "csv or xlsx"},
        {{"--data-dir", data, "--export", "7", "--format", "csv", "--output", csv}, "no lesson 7"},
        {{"--data-dir", data, "--export", "1", "--format", "csv"}, "--output FILE is missing"},
        {{"--data-dir", data, "--export", "1", "--format", "csv", "--output", csv, "--tour", "x"},
         "Unknown option 'tour'"},
        {{"--data-dir", data, "--export", "1", "--format", "csv", "--output", csv, "extra"},
         "unexpected argument"},
        {{"--data-dir", lesson.File("nothing"), "--export", "last", "--format", "csv", "--output",
          csv},
         "the data folder"},
    };
    for (const auto &[arguments, message] : bad) {
        EXPECT_EQ(run(arguments, &err), 1) << message;
        EXPECT_TRUE(err.startsWith(QStringLiteral("Lumora: ")) && err.count(u'\n') == 1)
            << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(message))) << err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(lesson.File("nothing"))); // nothing made by a failed export

    // An existing file is replaced only with --force.
    const QStringList again{"--data-dir", data,  "--export", "1",
                            "--format",   "csv", "--output", csv};
    QFile::remove(lesson.File("cli-presses.csv"));
    {
        QFile teachers(csv);
        ASSERT_TRUE(teachers.open(QIODevice::WriteOnly | QIODevice::Truncate));
        teachers.write("the teacher's");
    }
    EXPECT_EQ(run(again, &err), 1);
    EXPECT_TRUE(err.contains("already exists: give --force to replace it")) << err.toStdString();
    EXPECT_EQ(ReadFile(csv), QByteArray("the teacher's"));
    EXPECT_FALSE(QFileInfo::exists(lesson.File("cli-presses.csv")));
    EXPECT_EQ(run(again + QStringList{"--force"}, &err), 0) << err.toStdString();
    EXPECT_EQ(QString::fromUtf8(ReadFile(csv)), U(kGradebookCsv));
}

TEST(ExportName, TheDayAndTheLessonInTheTeachersLanguage) {
    const QDate day(2026, 12, 8);
    const struct {
        const char *pattern;
        const char *suffix;
        const char *name;
    } cases[] = {
        {"%1 lesson %2", "xlsx", "2026-12-08 lesson 3.xlsx"},
        {"%1 第%2节课", "csv", "2026-12-08 第3节课.csv"},
        // What no file name may hold becomes a blank; no dot or blank at the end.
        {"%1/lesson:%2 ...", "xlsx", "2026-12-08 lesson 3.xlsx"},
        // A translation without the places still names both.
        {"", "csv", "2026-12-08 3.csv"},
        {"lesson", "csv", "lesson 2026-12-08 3.csv"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SuggestedExportName(U(c.pattern), day, 3, QLatin1String(c.suffix)), U(c.name))
            << c.pattern;
    }
    // In the teacher's documents while they are there, else in home.
    test::DataDir dir;
    dir.Write("Documents/.keep", "");
    const QString documents = dir.File("Documents");
    EXPECT_EQ(SuggestedExportPath(documents, u"/home/t"_qs, u"%1 lesson %2"_qs, day, 12, u"csv"_qs),
              documents + u"/2026-12-08 lesson 12.csv"_qs);
    for (const QString &missing : {dir.File("None"), QString()}) {
        EXPECT_EQ(
            SuggestedExportPath(missing, u"/home/t"_qs, u"%1 lesson %2"_qs, day, 12, u"csv"_qs),
            u"/home/t/2026-12-08 lesson 12.csv"_qs);
    }
}

} // namespace
} // namespace lumora
