// A lesson's export as plain sheets of cells, written out as CSV files or as
// the worksheets of one XLSX workbook.
#pragma once

#include <QDate>
#include <QString>

#include <vector>

namespace lumora {

struct ExportCell {
    enum class Kind { Empty, Text, Number, Percent, Date };
    enum class Tone { None, Correct, Wrong, Heading };
    Kind kind = Kind::Empty;
    QString text;
    double number = 0; // Number, or Percent as a fraction (0.5 = 50 %)
    Tone tone = Tone::None;
    QDate date = {}; // Date
    // A file the cell links to (absolute); a workbook makes the cell a
    // hyperlink to it, CSV has no links and writes the value alone.
    QString link = {};

    static ExportCell Of(const QString &text, Tone tone = Tone::None) {
        return {Kind::Text, text, 0, tone};
    }
    static ExportCell Of(double number) { return {Kind::Number, QString(), number, Tone::None}; }
    static ExportCell Share(int part, int whole) {
        return {whole > 0 ? Kind::Percent : Kind::Empty, QString(),
                whole > 0 ? static_cast<double>(part) / whole : 0, Tone::None};
    }
    static ExportCell Share(double part, double whole) {
        return {whole > 0 ? Kind::Percent : Kind::Empty, QString(), whole > 0 ? part / whole : 0,
                Tone::None};
    }
    static ExportCell Day(const QDate &date) {
        return {date.isValid() ? Kind::Date : Kind::Empty, QString(), 0, Tone::None, date};
    }
};

struct ExportSheet {
    QString name;
    std::vector<std::vector<ExportCell>> rows;
    // Heading rows and first columns that stay in view in a workbook.
    int frozenRows = 0;
    int frozenColumns = 0;
    // Column widths in characters, by column; 0 or none leaves the default.
    std::vector<double> widths = {};
};

} // namespace lumora
