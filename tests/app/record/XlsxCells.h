// The cells of a worksheet in an XLSX file, read back by unzipping the sheet
// XML and its shared strings: "A1" -> text, numbers as written.
#pragma once

#include <QMap>
#include <QString>

namespace lumora::test {

// Empty when the file cannot be unzipped or parsed; sheet counts from 1.
QMap<QString, QString> XlsxCells(const QString &file, int sheet);

} // namespace lumora::test
