// A lesson's export as plain sheets of cells, written out as CSV files or as
// the worksheets of one XLSX workbook.
#pragma once

#include <QString>

#include <vector>

namespace lumora {

struct ExportCell {
    enum class Kind { Empty, Text, Number, Percent };
    enum class Tone { None, Correct, Wrong, Heading };
    Kind kind = Kind::Empty;
    QString text;
    double number = 0; // Number, or Percent as a fraction (0.5 = 50 %)
    Tone tone = Tone::None;

    static ExportCell Of(const QString &text, Tone tone = Tone::None) {
        return {Kind::Text, text, 0, tone};
    }
    static ExportCell Of(double number) { return {Kind::Number, QString(), number, Tone::None}; }
    static ExportCell Share(int part, int whole) {
        return {whole > 0 ? Kind::Percent : Kind::Empty, QString(),
                whole > 0 ? static_cast<double>(part) / whole : 0, Tone::None};
    }
};

struct ExportSheet {
    QString name;
    std::vector<std::vector<ExportCell>> rows;
};

} // namespace lumora
