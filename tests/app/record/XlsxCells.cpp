#include "XlsxCells.h"

#include <QFile>

#include <cstdio>

#include <pugixml.hpp>

#include <vector>

namespace lumora::test {

namespace {

// Through popen rather than QProcess: the fork then happens in our own code,
// where ThreadSanitizer sees it (it ignores what Qt's libraries call).
QByteArray Unzip(const QString &file, const QString &member) {
    const QByteArray command =
        "unzip -p '" + QFile::encodeName(file) + "' '" + member.toUtf8() + "'";
    FILE *pipe = ::popen(command.constData(), "r");
    if (pipe == nullptr) {
        return QByteArray();
    }
    QByteArray output;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, static_cast<qsizetype>(got));
    }
    return ::pclose(pipe) == 0 ? output : QByteArray();
}

} // namespace

QMap<QString, QString> XlsxCells(const QString &file, int sheet) {
    QMap<QString, QString> cells;
    std::vector<QString> shared;
    const QByteArray strings = Unzip(file, QStringLiteral("xl/sharedStrings.xml"));
    pugi::xml_document stringsXml;
    if (!strings.isEmpty() && stringsXml.load_buffer(strings.constData(), strings.size())) {
        for (const pugi::xml_node &si : stringsXml.child("sst").children("si")) {
            shared.push_back(QString::fromUtf8(si.child("t").text().get()));
        }
    }
    const QByteArray xml = Unzip(file, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet));
    pugi::xml_document sheetXml;
    if (xml.isEmpty() || !sheetXml.load_buffer(xml.constData(), xml.size())) {
        return cells;
    }
    for (const pugi::xml_node &row :
         sheetXml.child("worksheet").child("sheetData").children("row")) {
        for (const pugi::xml_node &c : row.children("c")) {
            const QString ref = QString::fromUtf8(c.attribute("r").value());
            const QString value = QString::fromUtf8(c.child("v").text().get());
            if (QByteArray(c.attribute("t").value()) == "s") {
                const size_t index = value.toULongLong();
                cells[ref] = index < shared.size() ? shared[index] : QStringLiteral("<bad index>");
            } else if (QByteArray(c.attribute("t").value()) == "inlineStr") {
                cells[ref] = QString::fromUtf8(c.child("is").child("t").text().get());
            } else {
                cells[ref] = value;
            }
        }
    }
    return cells;
}

} // namespace lumora::test
