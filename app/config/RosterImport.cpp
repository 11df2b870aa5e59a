#include "config/RosterImport.h"

#include "config/TextFile.h"
#include "core/MessageTexts.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace lumora {

namespace {

// Line numbers named in one notice at most.
constexpr qsizetype kLinesNamed = 10;

} // namespace

PreparedImport PrepareRosterImport(const QString &path) {
    PreparedImport prepared;
    QByteArray bytes;
    FileProblem problem;
    if (ReadFileBytes(path, &bytes, &problem) != ReadStatus::Ok) {
        if (!problem.IsProblem()) { // gone since it was chosen
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            problem = {FileProblem::Unreadable, 0, file.errorString()};
        }
        prepared.Notices.push_back(
            {ImportNotice::Kind::Error,
             QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), problem.Describe())});
        return prepared;
    }
    prepared.Parsed = ParseImportFile(bytes);
    // A file with a line that is no student changes nothing: the teacher
    // corrects it and imports again.
    if (prepared.Parsed.Failed) {
        prepared.Notices.push_back(
            {ImportNotice::Kind::Error,
             FormatMessage(MessageTexts[MessageKey::ImportBadLine],
                           {QString::number(prepared.Parsed.FailedLineIndex + 1),
                            prepared.Parsed.FailedLine, MessageTexts[MessageKey::ImportFormat]})});
        return prepared;
    }
    prepared.Ready = true;
    return prepared;
}

std::vector<ImportNotice> ApplyRosterImport(const PreparedImport &import, SlotTable &table,
                                            int mainLine, int mainRow) {
    const ImportParseResult &result = import.Parsed;
    ApplyImport(table, result, mainLine, mainRow);
    // Pen points route by the pane layer.
    for (int i = 0; i < table.Count.load(); ++i) {
        if (table[i].CardSplitName.IsEmpty()) {
            table[i].CardSplitName = table[i].Name.ToString();
            table[i].CardSplitID = table[i].CardID.load();
        }
    }

    std::vector<ImportNotice> notices;
    if (result.Failed) {
        notices.push_back(
            {ImportNotice::Kind::Error, result.FailedLine + MessageTexts[MessageKey::Error1]});
    }
    if (const int beyond = LinesBeyondLastSeat(result, table.Count.load()); beyond > 0) {
        notices.push_back({ImportNotice::Kind::Warning,
                           FormatMessage(MessageTexts[MessageKey::ImportLinesIgnored],
                                         {QString::number(beyond)})});
    }
    if (!result.NotTextLines.isEmpty()) {
        // The first few tell the teacher where to look.
        QStringList lines;
        for (const int line : result.NotTextLines.first(
                 std::min<qsizetype>(result.NotTextLines.size(), kLinesNamed))) {
            lines.append(QString::number(line));
        }
        if (result.NotTextLines.size() > kLinesNamed) {
            lines.append(QStringLiteral("…"));
        }
        notices.push_back(
            {ImportNotice::Kind::Warning, FormatMessage(MessageTexts[MessageKey::ImportNotText],
                                                        {lines.join(QStringLiteral(", "))})});
    }
    return notices;
}

} // namespace lumora
