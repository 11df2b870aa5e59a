#include "record/Export.h"

#include "record/LessonExport.h"
#include "record/LessonHistory.h"
#include "record/SheetWriters.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace lumora {

namespace {

bool SameFile(const QString &a, const QString &b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists()) {
        return first.canonicalFilePath() == second.canonicalFilePath();
    }
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

} // namespace

std::optional<ExportFormat> ParseExportFormat(const QString &text) {
    if (text.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0) {
        return ExportFormat::Csv;
    }
    if (text.compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0) {
        return ExportFormat::Xlsx;
    }
    return std::nullopt;
}

std::optional<int> ResolveLesson(LessonHistory &history, const QString &text, QString *error) {
    const auto lessons = history.Lessons();
    if (!lessons) {
        *error = history.Error();
        return std::nullopt;
    }
    if (text == QLatin1String("last")) {
        if (lessons->empty()) {
            *error = QStringLiteral("the record holds no lessons yet");
            return std::nullopt;
        }
        return lessons->back().number;
    }
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number <= 0 || text.trimmed() != text || text.startsWith(u'+')) {
        *error = QStringLiteral("\"%1\" is not a lesson: give its number or last").arg(text);
        return std::nullopt;
    }
    for (const LessonInfo &lesson : *lessons) {
        if (lesson.number == number) {
            return number;
        }
    }
    *error = lessons->empty()
                 ? QStringLiteral("there is no lesson %1: the record holds no lessons").arg(number)
                 : QStringLiteral("there is no lesson %1: the record holds lessons %2 to %3")
                       .arg(number)
                       .arg(lessons->front().number)
                       .arg(lessons->back().number);
    return std::nullopt;
}

QString PressesFilePath(const QString &path) {
    qsizetype slash = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf(u'\\'));
#endif
    const QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    // A leading dot is part of the name, not an extension.
    return dot > 0 ? folder + name.left(dot) + QStringLiteral("-presses") + name.mid(dot)
                   : folder + name + QStringLiteral("-presses");
}

bool ExportLesson(const QString &dataDir, const QString &lessonText, ExportFormat format,
                  const QString &output, QString *error) {
    if (output.isEmpty()) {
        *error = QStringLiteral("no output file given");
        return false;
    }
    const QFileInfo target(output);
    if (target.isDir()) {
        *error = QStringLiteral("%1 is a folder, not a file").arg(QDir::toNativeSeparators(output));
        return false;
    }
    if (!target.absoluteDir().exists()) {
        *error = QStringLiteral("the folder %1 does not exist")
                     .arg(QDir::toNativeSeparators(target.absolutePath()));
        return false;
    }
    // Never overwrite the record itself (or its WAL) with an export.
    const QString presses = PressesFilePath(output);
    const QString database = RecordDatabasePath(dataDir);
    for (const QString &file : {output, presses}) {
        for (const QString &record :
             {database, database + QStringLiteral("-wal"), database + QStringLiteral("-shm")}) {
            if (SameFile(file, record)) {
                *error = QStringLiteral("%1 is the lesson record itself")
                             .arg(QDir::toNativeSeparators(file));
                return false;
            }
        }
    }
    LessonHistory history;
    if (!history.Open(dataDir, error)) {
        return false;
    }
    const std::optional<int> lesson = ResolveLesson(history, lessonText, error);
    if (!lesson) {
        return false;
    }
    const std::optional<LessonExport> sheets = BuildLessonExport(history, *lesson, error);
    if (!sheets) {
        return false;
    }
    if (format == ExportFormat::Xlsx) {
        return WriteXlsx({&sheets->gradebook, &sheets->presses}, output, error);
    }
    return WriteCsv(sheets->gradebook, output, error) && WriteCsv(sheets->presses, presses, error);
}

} // namespace lumora
