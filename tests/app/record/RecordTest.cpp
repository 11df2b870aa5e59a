#include "RecordTest.h"

#include "record/RecordDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace lumora::test {

std::vector<QVariantList> Rows(const QString &databasePath, const QString &sql) {
    RecordConnection connection;
    QString error;
    EXPECT_TRUE(connection.Open(databasePath, false, &error)) << error.toStdString();
    std::vector<QVariantList> rows;
    if (!connection.IsOpen()) {
        return rows;
    }
    QSqlQuery query(connection.Database());
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                 << query.lastError().text().toStdString();
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i) {
            row.append(query.value(i));
        }
        rows.push_back(row);
    }
    return rows;
}

void RawExec(const QString &databasePath, const QStringList &statements) {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(databasePath);
        ASSERT_TRUE(db.open());
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

QVariant Value(const QString &databasePath, const QString &sql) {
    const std::vector<QVariantList> rows = Rows(databasePath, sql);
    return rows.empty() || rows.front().isEmpty() ? QVariant() : rows.front().front();
}

namespace {

QByteArray ShellQuoted(const QString &text) {
    QByteArray bytes = QFile::encodeName(text);
    bytes.replace('\'', "'\\''");
    return '\'' + bytes + '\'';
}

} // namespace

int RunWithoutDisplay(const QString &program, const QStringList &arguments, QString *output) {
    QByteArray command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + ShellQuoted(program);
    for (const QString &argument : arguments) {
        command += ' ' + ShellQuoted(argument);
    }
    command += " 2>&1";
    FILE *pipe = ::popen(command.constData(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    QByteArray bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
    const int status = ::pclose(pipe);
    *output = QString::fromUtf8(bytes);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitForCommits(const Recorder &recorder, uint64_t commits) {
    QElapsedTimer timer;
    timer.start();
    while (recorder.Counters().commits < commits) {
        if (timer.elapsed() > 30000) {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

} // namespace lumora::test
