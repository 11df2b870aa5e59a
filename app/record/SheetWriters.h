// Writers of export sheets: CSV (UTF-8 with a byte order mark, so spreadsheet
// programs show Chinese names) and XLSX through libxlsxwriter. Both replace
// the target only when the whole file was written.
#pragma once

#include "record/ExportSheet.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace lumora {

// One sheet as CSV: fields separated by commas, rows by CRLF, quoted when
// they hold a comma, quote or line break. A text that a spreadsheet would run
// as a formula (= + - @ first) is written with a leading apostrophe.
bool WriteCsv(const ExportSheet &sheet, const QString &path, QString *error);
QByteArray CsvBytes(const ExportSheet &sheet);

// What ends a text cut to fit a workbook's cell.
inline constexpr QStringView kCutMark = u"[…]";

// The sheets as the worksheets of one workbook, in order. A text longer than
// a cell holds is cut and ends in kCutMark.
bool WriteXlsx(const std::vector<const ExportSheet *> &sheets, const QString &path, QString *error);

} // namespace lumora
