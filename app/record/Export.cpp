#include "record/Export.h"

#include "platform/AtomicFile.h"
#include "platform/DataFiles.h"
#include "record/LessonExport.h"
#include "record/LessonHistory.h"
#include "record/SheetWriters.h"
#include "record/TermGradebook.h"

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

QString SiblingFilePath(const QString &path, const QString &suffix) {
    qsizetype slash = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf(u'\\'));
#endif
    const QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    // A leading dot is part of the name, not an extension.
    return dot > 0 ? folder + name.left(dot) + suffix + name.mid(dot) : folder + name + suffix;
}

QString PressesFilePath(const QString &path) {
    return SiblingFilePath(path, QStringLiteral("-presses"));
}

QStringList TermExportFiles(ExportFormat format, const QString &output) {
    if (format == ExportFormat::Xlsx) {
        return {output};
    }
    return {output, SiblingFilePath(output, QStringLiteral("-statistics")),
            PressesFilePath(output)};
}

namespace {

// Why an export may not write path (empty when it may). A link is judged by
// what it points to, which is what the export replaces.
QString RefusedTarget(const QString &dataDir, const QString &path, ExistingFiles existing) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (info.isSymLink() && !info.exists()) {
        return QStringLiteral("%1 is a link to nothing").arg(shown);
    }
    if (info.isDir()) {
        return QStringLiteral("%1 is a folder, not a file").arg(shown);
    }
    if (info.exists() && !info.isFile()) {
        return QStringLiteral("%1 is not an ordinary file (a device, a pipe or a socket): an "
                              "export never replaces it")
            .arg(shown);
    }
    if (!info.absoluteDir().exists()) {
        return QStringLiteral("the folder %1 does not exist")
            .arg(QDir::toNativeSeparators(info.absolutePath()));
    }
    const QString database = RecordDatabasePath(dataDir);
    for (const QString &record :
         {database, database + QStringLiteral("-wal"), database + QStringLiteral("-shm")}) {
        if (SameFile(path, record)) {
            return QStringLiteral("%1 is the lesson record itself").arg(shown);
        }
    }
    if (BelongsToDataFolder(dataDir, path)) {
        return QStringLiteral("%1 is one of the program's own files in its data folder").arg(shown);
    }
    if (info.exists() && existing == ExistingFiles::Keep) {
        return QStringLiteral("%1 already exists: give --force to replace it").arg(shown);
    }
    return QString();
}

// Where the export writes for path: through a link, to the file it points to.
QString WritePath(const QString &path) {
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
}

// False with *error naming the first target the export may not write.
bool TargetsAllowed(const QString &dataDir, const QStringList &targets, ExistingFiles existing,
                    QString *error) {
    for (const QString &file : targets) {
        *error = RefusedTarget(dataDir, file, existing);
        if (!error->isEmpty()) {
            return false;
        }
    }
    return true;
}

// XLSX: the sheets as one workbook at files' first. CSV: each sheet to its
// file, all of them or none.
bool WriteSheets(ExportFormat format, const QStringList &files,
                 const std::vector<const ExportSheet *> &sheets, QString *error) {
    if (format == ExportFormat::Xlsx) {
        return WriteXlsx(sheets, WritePath(files.front()), error);
    }
    std::vector<std::pair<QString, QByteArray>> contents;
    for (size_t i = 0; i < sheets.size() && i < static_cast<size_t>(files.size()); ++i) {
        contents.emplace_back(WritePath(files[static_cast<qsizetype>(i)]), CsvBytes(*sheets[i]));
    }
    QString failed;
    QString reason;
    if (!WriteFilesAtomically(contents, &reason, &failed)) {
        *error = QStringLiteral("%1 cannot be written: %2")
                     .arg(QDir::toNativeSeparators(failed), reason);
        return false;
    }
    return true;
}

} // namespace

bool ExportLesson(const QString &dataDir, const QString &lessonText, ExportFormat format,
                  const QString &output, ExistingFiles existing, QString *error) {
    if (output.isEmpty()) {
        *error = QStringLiteral("no output file given");
        return false;
    }
    QStringList targets{output};
    if (format == ExportFormat::Csv) {
        targets.append(PressesFilePath(output));
    }
    LessonHistory history;
    if (!history.Open(dataDir, error)) {
        return false;
    }
    const std::optional<int> lesson = ResolveLesson(history, lessonText, error);
    if (!lesson) {
        return false;
    }
    if (!TargetsAllowed(dataDir, targets, existing, error)) {
        return false;
    }
    const std::optional<LessonExport> sheets = BuildLessonExport(history, *lesson, error);
    if (!sheets) {
        return false;
    }
    if (format == ExportFormat::Xlsx) {
        return WriteSheets(format, targets,
                           {&sheets->gradebook, &sheets->presses, &sheets->statistics}, error);
    }
    return WriteSheets(format, targets, {&sheets->gradebook, &sheets->presses}, error);
}

bool ExportTerm(const QString &dataDir, const QString &classFile, const TermRange &range,
                ExportFormat format, const QString &output, ExistingFiles existing, QString *error,
                const TermProgress &progress) {
    if (output.isEmpty()) {
        *error = QStringLiteral("no output file given");
        return false;
    }
    const QStringList targets = TermExportFiles(format, output);
    if (!TargetsAllowed(dataDir, targets, existing, error)) {
        return false;
    }
    // Reading is most of the work; writing is one more step.
    int steps = 0;
    const std::optional<TermExport> sheets =
        BuildTermExport(dataDir, classFile, range, error, [&](int done, int total) {
            steps = total + 1;
            if (progress) {
                progress(done, steps);
            }
        });
    if (!sheets) {
        return false;
    }
    if (sheets->lessons == 0) {
        *error = QStringLiteral("the class held no lesson from %1 to %2")
                     .arg(range.from.toString(Qt::ISODate), range.to.toString(Qt::ISODate));
        return false;
    }
    // CSV goes to learning platforms, which take one heading row.
    const ExportSheet flat = WithOneHeadingRow(sheets->gradebook);
    const ExportSheet *gradebook = format == ExportFormat::Csv ? &flat : &sheets->gradebook;
    if (!WriteSheets(format, targets, {gradebook, &sheets->statistics, &sheets->presses}, error)) {
        return false;
    }
    if (progress) {
        progress(steps, steps);
    }
    return true;
}

} // namespace lumora
