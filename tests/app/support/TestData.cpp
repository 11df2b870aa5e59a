#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

namespace lumora::test {

void FillTable(SlotTable &table, const std::vector<Student> &students) {
    table.Clear();
    for (size_t i = 0; i < students.size(); ++i) {
        StudentSlot &slot = table[static_cast<int>(i)];
        slot.Name = students[i].Name;
        slot.CardID = students[i].CardID;
        slot.CardSplitID = students[i].CardID;
    }
    table.SetCount(static_cast<int>(students.size()));
}

std::vector<Student> NumberedClass(int count) {
    std::vector<Student> students;
    for (int i = 1; i <= count; ++i) {
        students.push_back({QStringLiteral("Student %1").arg(i), static_cast<uint16_t>(i)});
    }
    return students;
}

void WriteTextFile(const QString &path, const QString &text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(text.toUtf8());
}

void WriteConfigFile(const QString &dataDir, int line, int row, int split, const QString &language,
                     int languageType) {
    WriteTextFile(QDir(dataDir).filePath(QStringLiteral("Config.ini")),
                  QStringLiteral("[Public]\nLanguageType=%5\nMainLine=%1\nMainRow=%2\nSplit=%3\n"
                                 "Count=5\nLanguageName=%4\n")
                      .arg(line)
                      .arg(row)
                      .arg(split)
                      .arg(language)
                      .arg(languageType));
}

void WriteRosterFile(const QString &dataDir, const std::vector<Student> &students) {
    QString text;
    for (size_t i = 0; i < students.size(); ++i) {
        const Student &s = students[i];
        text += QStringLiteral("[%1]\nCardID=%2\nName=%3\n")
                    .arg(i + 1, 4, 10, QLatin1Char('0'))
                    .arg(s.CardID)
                    .arg(s.Name);
        if (!s.SplitName.isEmpty()) {
            text += QStringLiteral("CardSplitID=%1\nCardSplitName=%2\n")
                        .arg(s.SplitID)
                        .arg(s.SplitName);
        }
        text += QLatin1Char('\n');
    }
    WriteTextFile(QDir(dataDir).filePath(QStringLiteral("StudentInfo.ini")), text);
}

void ExpectWrittenAtExit(const QString &dataDir, int line, int row, const QString &student) {
    const QDir dir(dataDir);
    const QString config = ReadTextFile(dir.filePath(QStringLiteral("Config.ini")));
    for (const QString &key :
         {QStringLiteral("LanguageType="), QStringLiteral("MainLine=%1").arg(line),
          QStringLiteral("MainRow=%1").arg(row), QStringLiteral("Split="), QStringLiteral("Count="),
          QStringLiteral("LanguageName=zh_CN")}) {
        EXPECT_TRUE(config.contains(key)) << key.toStdString() << " missing in\n"
                                          << config.toStdString();
    }
    const QString roster = ReadTextFile(dir.filePath(QStringLiteral("StudentInfo.ini")));
    EXPECT_TRUE(roster.contains(QStringLiteral("Name=") + student)) << roster.toStdString();
    EXPECT_TRUE(roster.contains(QStringLiteral("CardSplitName=") + student))
        << roster.toStdString();
}

QString ReadTextFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::vector<QVariantList> RecordRows(const QString &file, const QString &sql) {
    std::vector<QVariantList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "test-rows");
        db.setDatabaseName(file);
        EXPECT_TRUE(db.open()) << file.toStdString();
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(sql))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
        while (query.next()) {
            rows.emplace_back();
            for (int i = 0; i < query.record().count(); ++i) {
                rows.back() << query.value(i);
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-rows"));
    return rows;
}

} // namespace lumora::test
