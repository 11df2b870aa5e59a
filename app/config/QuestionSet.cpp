#include "config/QuestionSet.h"

#include "config/TextFile.h"
#include "core/Helpers.h"
#include "core/MessageTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <array>

namespace lumora {

namespace {

enum Column { kType, kKey, kText, kPicture, kSeconds, kPoints, kColumnCount };

struct ColumnName {
    const char16_t *english;
    const char16_t *chinese;
};
constexpr std::array<ColumnName, kColumnCount> kColumnNames = {{
    {u"type", u"题型"},
    {u"key", u"答案"},
    {u"text", u"题目"},
    {u"picture", u"图片"},
    {u"seconds", u"秒数"},
    {u"points", u"分值"},
}};

struct TypeName {
    int type;
    const char16_t *english;
    const char16_t *chinese;
};
constexpr std::array<TypeName, 3> kTypeNames = {{
    {0, u"single", u"单选"},
    {1, u"multiple", u"多选"},
    {2, u"handwritten", u"主观"},
}};

// A record of cells and the line it starts on.
struct CsvRow {
    int Line = 0;
    QStringList Cells;
    bool OpenQuote = false;
};

// Splits text into rows as spreadsheets write them: quoted cells may hold
// the separator, doubled quotes and line breaks.
std::vector<CsvRow> SplitRows(const QString &text, QChar separator) {
    std::vector<CsvRow> rows;
    CsvRow row;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    int line = 1;
    row.Line = 1;
    const auto endRow = [&] {
        row.Cells.append(cell);
        rows.push_back(std::move(row));
        row = CsvRow{};
        cell.clear();
        cellStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    cell += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n') {
                    ++line;
                }
                cell += c;
            }
            continue;
        }
        if (c == u'"' && !cellStarted) {
            quoted = true;
            cellStarted = true;
        } else if (c == separator) {
            row.Cells.append(cell);
            cell.clear();
            cellStarted = false;
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
        } else if (c == u'\n' || c == u'\r') {
            endRow();
            row.Line = ++line;
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (quoted) {
        row.OpenQuote = true;
    }
    if (quoted || cellStarted || !row.Cells.isEmpty() || !cell.isEmpty()) {
        endRow();
    }
    return rows;
}

bool IsBlank(const CsvRow &row) {
    for (const QString &cell : row.Cells) {
        if (!cell.trimmed().isEmpty()) {
            return false;
        }
    }
    return true;
}

int ColumnOf(const QString &name) {
    const QString folded = name.trimmed().toLower();
    for (int c = 0; c < kColumnCount; ++c) {
        const ColumnName &names = kColumnNames[static_cast<size_t>(c)];
        if (folded == QStringView(names.english) || folded == QStringView(names.chinese)) {
            return c;
        }
    }
    return -1;
}

std::optional<int> TypeOf(const QString &name) {
    const QString folded = name.trimmed().toLower();
    for (const TypeName &type : kTypeNames) {
        if (folded == QStringView(type.english) || folded == QStringView(type.chinese)) {
            return type.type;
        }
    }
    return std::nullopt;
}

// A cell a spreadsheet would take for a formula starts with one of these.
bool StartsLikeFormula(QStringView text) {
    return !text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front());
}

QString DropFormulaGuard(const QString &cell) {
    if (cell.startsWith(u'\'') && StartsLikeFormula(QStringView(cell).mid(1))) {
        return cell.mid(1);
    }
    return cell;
}

// A picture path that stays inside its folder.
bool IsInsideFolder(const QString &picture) {
    if (QDir::isAbsolutePath(picture) || picture.startsWith(u'/') || picture.startsWith(u'\\') ||
        (picture.size() > 1 && picture[1] == u':')) {
        return false;
    }
    const QStringList parts = QString(picture).replace(u'\\', u'/').split(u'/');
    return !parts.contains(QStringLiteral(".."));
}

void ReadRow(const CsvRow &row, const std::array<int, kColumnCount> &at, qsizetype columns,
             const QString &pictureFolder, QuestionSet *set, std::vector<SetRowProblem> *problems) {
    const qsizetype before = static_cast<qsizetype>(problems->size());
    const auto problem = [&](SetRowProblem::Kind kind, const QString &value = QString()) {
        problems->push_back({row.Line, kind, value});
    };
    if (row.OpenQuote) {
        problem(SetRowProblem::OpenQuote);
        return;
    }
    if (row.Cells.size() > columns) {
        bool extra = false;
        for (qsizetype i = columns; i < row.Cells.size(); ++i) {
            extra = extra || !row.Cells[i].trimmed().isEmpty();
        }
        if (extra) {
            problem(SetRowProblem::TooManyCells);
            return;
        }
    }
    const auto cell = [&](Column column) {
        const int index = at[static_cast<size_t>(column)];
        return index >= 0 && index < row.Cells.size() ? row.Cells[index].trimmed() : QString();
    };
    PlannedQuestion question;
    const std::optional<int> type = TypeOf(cell(kType));
    if (!type) {
        problem(SetRowProblem::BadType, cell(kType));
    } else {
        question.Type = *type;
    }
    const QString key = cell(kKey);
    if (type && *type == 2) {
        if (!key.isEmpty()) {
            problem(SetRowProblem::KeyOnHandwritten, key);
        }
    } else if (type) {
        const QString letters = NormalizeAnswerKey(key);
        bool valid = true;
        for (const QChar c : letters) {
            valid = valid && c >= u'A' && c <= kPlanLastKeyLetter;
        }
        if (key.isEmpty()) {
            problem(SetRowProblem::KeyMissing);
        } else if (!valid) {
            problem(SetRowProblem::BadKey, key);
        } else if (*type == 0 && letters.size() > 1) {
            problem(SetRowProblem::KeyTooLong, key);
        }
        question.Key = letters;
    }
    question.Text = DropFormulaGuard(cell(kText));
    question.Picture = QString(cell(kPicture)).replace(u'\\', u'/');
    if (!question.Picture.isEmpty()) {
        if (!IsInsideFolder(question.Picture) ||
            (!pictureFolder.isEmpty() &&
             !QFileInfo(QDir(pictureFolder).filePath(question.Picture)).isFile())) {
            problem(SetRowProblem::BadPicture, question.Picture);
        }
    }
    if (const QString seconds = cell(kSeconds); !seconds.isEmpty()) {
        bool ok = false;
        question.Seconds = seconds.toInt(&ok);
        if (!ok || question.Seconds < 1 || question.Seconds > kPlanMaxSeconds) {
            problem(SetRowProblem::BadSeconds, seconds);
        }
    }
    if (const QString points = cell(kPoints); !points.isEmpty()) {
        bool ok = false;
        const double value = QLocale::c().toDouble(points, &ok);
        if (!ok || value < 0 || value > kPlanMaxPoints) {
            problem(SetRowProblem::BadPoints, points);
        }
        question.Points = value;
    }
    if (static_cast<qsizetype>(problems->size()) == before) {
        set->Questions.push_back(std::move(question));
    }
}

QString CsvCell(QString text) {
    if (StartsLikeFormula(text)) {
        text.prepend(u'\'');
    }
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
        text.contains(u'\r') || text.contains(u';') || text.contains(u'\t') ||
        text != text.trimmed()) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return u'"' + text + u'"';
    }
    return text;
}

} // namespace

QString SetRowProblem::Describe() const {
    if (Row <= 0) {
        return DescribeWhat();
    }
    return FormatMessage(MessageTexts[MessageKey::PlanRow], {QString::number(Row), DescribeWhat()});
}

QString SetRowProblem::DescribeWhat() const {
    static constexpr std::array<MessageKey, 14> kTexts = {
        MessageKey::PlanNoColumn,         MessageKey::PlanUnknownColumn, MessageKey::PlanBadType,
        MessageKey::PlanKeyMissing,       MessageKey::PlanBadKey,        MessageKey::PlanKeyTooLong,
        MessageKey::PlanKeyOnHandwritten, MessageKey::PlanBadSeconds,    MessageKey::PlanBadPoints,
        MessageKey::PlanBadPicture,       MessageKey::PlanTooManyCells,  MessageKey::PlanOpenQuote,
        MessageKey::PlanNotText,          MessageKey::PlanNoQuestions,
    };
    return FormatMessage(MessageTexts[kTexts[static_cast<size_t>(What)]], {Value});
}

SetReadResult ReadQuestionRows(const std::vector<QStringList> &rows, const QString &pictureFolder) {
    SetReadResult result;
    std::array<int, kColumnCount> at;
    for (int c = 0; c < kColumnCount; ++c) {
        at[static_cast<size_t>(c)] = c;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const CsvRow row{static_cast<int>(i + 1), rows[i], false};
        ReadRow(row, at, kColumnCount, pictureFolder, &result.Set, &result.Problems);
    }
    if (result.Problems.empty() && result.Set.Questions.empty()) {
        result.Problems.push_back({0, SetRowProblem::NoQuestions, {}});
    }
    if (!result.Ok()) {
        result.Set.Questions.clear();
    }
    return result;
}

QString QuestionTypeName(int type) {
    return QString::fromUtf16(kTypeNames[static_cast<size_t>(std::clamp(type, 0, 2))].english);
}

SetReadResult ParseQuestionSet(const QByteArray &bytes, const QString &pictureFolder) {
    SetReadResult result;
    const DecodedText decoded = DecodeTextFile(bytes);
    for (const int line : decoded.ZeroLines) {
        result.Problems.push_back({line, SetRowProblem::NotText, {}});
    }
    for (const int line : decoded.NotTextLines) {
        if (!decoded.ZeroLines.contains(line)) {
            result.Problems.push_back({line, SetRowProblem::NotText, {}});
        }
    }
    // The separator: the first of comma, semicolon and tab in the header.
    const QString header = decoded.Text.section(u'\n', 0, 0);
    QChar separator = u',';
    for (const QChar candidate : {u',', u';', u'\t'}) {
        if (header.contains(candidate)) {
            separator = candidate;
            break;
        }
    }
    std::vector<CsvRow> rows = SplitRows(decoded.Text, separator);
    std::erase_if(rows, IsBlank);
    if (rows.empty()) {
        result.Problems.push_back({0, SetRowProblem::NoQuestions, {}});
        return result;
    }
    std::array<int, kColumnCount> at;
    at.fill(-1);
    const size_t beforeHeader = result.Problems.size();
    const CsvRow &head = rows.front();
    for (qsizetype i = 0; i < head.Cells.size(); ++i) {
        const QString name = head.Cells[i].trimmed();
        const int column = ColumnOf(name);
        if (column >= 0 && at[static_cast<size_t>(column)] < 0) {
            at[static_cast<size_t>(column)] = static_cast<int>(i);
        } else if (!name.isEmpty()) {
            result.Problems.push_back({head.Line, SetRowProblem::UnknownColumn, name});
        }
    }
    for (const Column needed : {kType, kKey}) {
        if (at[static_cast<size_t>(needed)] < 0) {
            result.Problems.push_back({head.Line, SetRowProblem::NoColumn,
                                       QString::fromUtf16(kColumnNames[needed].english)});
        }
    }
    // Without the columns no row can be read.
    if (result.Problems.size() != beforeHeader) {
        return result;
    }
    for (size_t r = 1; r < rows.size(); ++r) {
        ReadRow(rows[r], at, head.Cells.size(), pictureFolder, &result.Set, &result.Problems);
    }
    if (result.Problems.empty() && result.Set.Questions.empty()) {
        result.Problems.push_back({0, SetRowProblem::NoQuestions, {}});
    }
    std::stable_sort(result.Problems.begin(), result.Problems.end(),
                     [](const SetRowProblem &a, const SetRowProblem &b) { return a.Row < b.Row; });
    if (!result.Ok()) {
        result.Set.Questions.clear();
    }
    return result;
}

QByteArray QuestionSetCsv(const QuestionSet &set) {
    QString text;
    for (int c = 0; c < kColumnCount; ++c) {
        text += (c > 0 ? QStringLiteral(",") : QString()) +
                QString::fromUtf16(kColumnNames[static_cast<size_t>(c)].english);
    }
    text += QStringLiteral("\r\n");
    for (const PlannedQuestion &question : set.Questions) {
        const size_t type = static_cast<size_t>(std::clamp(question.Type, 0, 2));
        const QStringList cells = {
            QString::fromUtf16(kTypeNames[type].english),
            question.Key,
            CsvCell(question.Text),
            CsvCell(question.Picture),
            question.Seconds > 0 ? QString::number(question.Seconds) : QString(),
            question.Points ? QLocale::c().toString(*question.Points, 'g', 12) : QString(),
        };
        text += cells.join(u',') + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace lumora
