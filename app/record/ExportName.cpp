#include "record/ExportName.h"

#include "core/MessageTexts.h"

#include <QDir>
#include <QFileInfo>

namespace lumora {

namespace {

bool ForbiddenInFileName(QChar c) {
    return c.category() == QChar::Other_Control || QStringView(u"/\\:*?\"<>|").contains(c);
}

} // namespace

QString SuggestedExportName(const QString &pattern, QDate date, int lesson, const QString &suffix) {
    return SuggestedExportName(pattern, date, QString::number(lesson), suffix);
}

QString SuggestedExportName(const QString &pattern, QDate date, const QString &what,
                            const QString &suffix) {
    // A pattern without a place still names both: FormatMessage adds them.
    QString name = FormatMessage(pattern, {date.toString(QStringLiteral("yyyy-MM-dd")), what});
    for (QChar &c : name) {
        if (ForbiddenInFileName(c)) {
            c = u' ';
        }
    }
    name = name.simplified();
    while (name.endsWith(u'.') || name.endsWith(u' ')) {
        name.chop(1);
    }
    return name + u'.' + suffix;
}

QString SuggestedExportPath(const QString &documents, const QString &home, const QString &pattern,
                            QDate date, int lesson, const QString &suffix) {
    return SuggestedExportPath(documents, home, pattern, date, QString::number(lesson), suffix);
}

QString SuggestedExportPath(const QString &documents, const QString &home, const QString &pattern,
                            QDate date, const QString &what, const QString &suffix) {
    const QString folder = !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : home;
    return QDir(folder).filePath(SuggestedExportName(pattern, date, what, suffix));
}

} // namespace lumora
