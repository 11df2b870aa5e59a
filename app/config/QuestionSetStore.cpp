#include "config/QuestionSetStore.h"

#include "config/TextFile.h"
#include "core/MessageTexts.h"
#include "platform/AtomicFile.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>

namespace lumora {

namespace {

SetFileResult FromRead(const SetReadResult &read, const QString &name) {
    SetFileResult result;
    result.Set = read.Set;
    result.Set.Name = name;
    for (const SetRowProblem &problem : read.Problems) {
        result.Problems.append(problem.Describe());
    }
    return result;
}

SetFileResult ReadSetFile(const QString &path, const QString &pictureFolder, const QString &name) {
    QByteArray bytes;
    FileProblem problem;
    const ReadStatus status = ReadFileBytes(path, &bytes, &problem);
    if (status == ReadStatus::Missing || status == ReadStatus::Failed) {
        SetFileResult result;
        result.Problems.append(status == ReadStatus::Missing
                                   ? FormatMessage(MessageTexts[MessageKey::PlanFileMissing],
                                                   {QDir::toNativeSeparators(path)})
                                   : QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                                         problem.Describe());
        return result;
    }
    return FromRead(ParseQuestionSet(bytes, pictureFolder), name);
}

// Copies every picture of the set from one folder to another, keeping the
// ones already there when keepExisting.
bool CopyPictures(const QuestionSet &set, const QString &from, const QString &to, bool keepExisting,
                  QString *error) {
    for (const PlannedQuestion &question : set.Questions) {
        if (question.Picture.isEmpty()) {
            continue;
        }
        const QString source = QDir(from).filePath(question.Picture);
        const QString target = QDir(to).filePath(question.Picture);
        if (QFileInfo(source) == QFileInfo(target) || (keepExisting && QFile::exists(target))) {
            continue;
        }
        QByteArray bytes;
        FileProblem problem;
        if (ReadFileBytes(source, &bytes, &problem) != ReadStatus::Ok) {
            *error = QDir::toNativeSeparators(source) + QStringLiteral(": ") + problem.Describe();
            return false;
        }
        if (!QDir().mkpath(QFileInfo(target).path())) {
            *error = QDir::toNativeSeparators(QFileInfo(target).path());
            return false;
        }
        QString reason;
        if (!WriteFileAtomically(target, bytes, &reason)) {
            *error = QDir::toNativeSeparators(target) + QStringLiteral(": ") + reason;
            return false;
        }
    }
    return true;
}

} // namespace

QString QuestionSetsFolder(const QString &dataDir) {
    return QDir(dataDir).filePath(kQuestionSetFolder.toString());
}

QString QuestionSetPath(const QString &dataDir, const QString &name) {
    return QDir(QuestionSetsFolder(dataDir)).filePath(name + QStringLiteral(".csv"));
}

QString QuestionSetPictureFolder(const QString &dataDir, const QString &name) {
    return QDir(QuestionSetsFolder(dataDir)).filePath(name);
}

QStringList ListQuestionSets(const QString &dataDir) {
    QStringList names;
    const QDir folder(QuestionSetsFolder(dataDir));
    for (const QFileInfo &file :
         folder.entryInfoList({QStringLiteral("*.csv")}, QDir::Files | QDir::Readable)) {
        names.append(file.completeBaseName());
    }
    // A collator of its own: the one QString keeps for the thread is never freed.
    const QCollator collator;
    std::sort(names.begin(), names.end(),
              [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return names;
}

SetFileResult LoadQuestionSet(const QString &dataDir, const QString &name) {
    return ReadSetFile(QuestionSetPath(dataDir, name), QuestionSetPictureFolder(dataDir, name),
                       name);
}

SetFileResult ImportQuestionSet(const QString &dataDir, const QString &source) {
    const QFileInfo info(source);
    SetFileResult result = ReadSetFile(source, info.absolutePath(), info.completeBaseName());
    if (!result.Ok()) {
        return result;
    }
    QString error;
    if (!CopyPictures(result.Set, info.absolutePath(),
                      QuestionSetPictureFolder(dataDir, result.Set.Name), false, &error) ||
        !SaveQuestionSet(dataDir, result.Set, &error)) {
        result.Problems.append(error);
    }
    return result;
}

bool SaveQuestionSet(const QString &dataDir, const QuestionSet &set, QString *error) {
    if (!QDir().mkpath(QuestionSetsFolder(dataDir))) {
        *error = QDir::toNativeSeparators(QuestionSetsFolder(dataDir));
        return false;
    }
    const QString path = QuestionSetPath(dataDir, set.Name);
    QString reason;
    if (!WriteFileAtomically(path, QuestionSetCsv(set), &reason)) {
        *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
        return false;
    }
    return true;
}

bool ExportQuestionSet(const QString &dataDir, const QuestionSet &set, const QString &target,
                       QString *error) {
    if (!CopyPictures(set, QuestionSetPictureFolder(dataDir, set.Name),
                      QFileInfo(target).absolutePath(), true, error)) {
        return false;
    }
    QString reason;
    if (!WriteFileAtomically(target, QuestionSetCsv(set), &reason)) {
        *error = QDir::toNativeSeparators(target) + QStringLiteral(": ") + reason;
        return false;
    }
    return true;
}

} // namespace lumora
