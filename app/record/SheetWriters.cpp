#include "record/SheetWriters.h"

#include "platform/AtomicFile.h"
#include "platform/NativePath.h"
#include "platform/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QUrl>

#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>

namespace lumora {

namespace {

QString Native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString NumberText(double number) {
    return std::floor(number) == number && std::fabs(number) < 1e15
               ? QString::number(static_cast<qint64>(number))
               : QString::number(number, 'g', 15);
}

QString CsvField(const ExportCell &cell) {
    QString text;
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        return QString();
    case ExportCell::Kind::Number:
        return NumberText(cell.number);
    case ExportCell::Kind::Percent:
        return QString::number(cell.number * 100, 'f', 2) + u'%';
    case ExportCell::Kind::Date:
        return cell.date.toString(Qt::ISODate);
    case ExportCell::Kind::Text:
        text = cell.text;
        break;
    }
    // Names come from roster files: never let one become a formula.
    if (!text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front())) {
        text.prepend(u'\'');
    }
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
        text.contains(u'\r')) {
        text.replace(u'"', QStringLiteral("\"\""));
        text = u'"' + text + u'"';
    }
    return text;
}

} // namespace

QByteArray CsvBytes(const ExportSheet &sheet) {
    QString text;
    for (const std::vector<ExportCell> &row : sheet.rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0) {
                text += u',';
            }
            text += CsvField(row[i]);
        }
        text += QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool WriteCsv(const ExportSheet &sheet, const QString &path, QString *error) {
    const QByteArray bytes = CsvBytes(sheet);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("%1 cannot be written: %2").arg(Native(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

namespace {

class Workbook {
public:
    explicit Workbook(const QByteArray &path) : book_(workbook_new(path.constData())) {}
    ~Workbook() {
        if (book_ != nullptr) {
            workbook_close(book_); // frees it; the file is discarded by the caller
        }
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_workbook *Get() const { return book_; }
    lxw_error Close() {
        const lxw_error result = workbook_close(book_);
        book_ = nullptr;
        return result;
    }

private:
    lxw_workbook *book_;
};

// The most characters a workbook's cell holds.
constexpr qsizetype kCellTextLimit = 32767;

// A text as a workbook cell holds it: a NUL (which would end the text) is
// escaped as the library escapes the other control characters, and a text
// longer than a cell may hold is cut, ending in a visible mark.
QByteArray CellText(const QString &text) {
    QString escaped = text;
    escaped.replace(QChar(u'\0'), QStringLiteral("_x0000_"));
    QList<uint> points = escaped.toUcs4();
    if (points.size() > kCellTextLimit) {
        const QList<uint> mark = kCutMark.toString().toUcs4();
        points.resize(kCellTextLimit - mark.size());
        points.append(mark);
        escaped = QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()),
                                    points.size());
    }
    return escaped.toUtf8();
}

struct Formats {
    lxw_format *heading;
    lxw_format *correct;
    lxw_format *wrong;
    lxw_format *percent;
    lxw_format *date;
};

lxw_error WriteValue(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t col, const ExportCell &cell,
                     const Formats &formats) {
    lxw_format *format = nullptr;
    switch (cell.tone) {
    case ExportCell::Tone::Heading:
        format = formats.heading;
        break;
    case ExportCell::Tone::Correct:
        format = formats.correct;
        break;
    case ExportCell::Tone::Wrong:
        format = formats.wrong;
        break;
    case ExportCell::Tone::None:
        break;
    }
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        return LXW_NO_ERROR;
    case ExportCell::Kind::Number:
        return worksheet_write_number(sheet, row, col, cell.number, format);
    case ExportCell::Kind::Percent:
        return worksheet_write_number(sheet, row, col, cell.number, formats.percent);
    case ExportCell::Kind::Date: {
        lxw_datetime day{};
        day.year = cell.date.year();
        day.month = cell.date.month();
        day.day = cell.date.day();
        return worksheet_write_datetime(sheet, row, col, &day, formats.date);
    }
    case ExportCell::Kind::Text:
        // Always a string cell: a text is never read as a formula.
        return worksheet_write_string(sheet, row, col, CellText(cell.text).constData(), format);
    }
    return LXW_NO_ERROR;
}

// A cell with a link: the hyperlink first, its shown text the cell's text
// (the file's name for a cell without one), then a value over it, which keeps
// the link. A link the workbook cannot hold (too long, too many) is left out.
lxw_error WriteCell(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t col, const ExportCell &cell,
                    const Formats &formats, int *links) {
    if (cell.link.isEmpty() || *links >= LXW_MAX_NUMBER_URLS) {
        return WriteValue(sheet, row, col, cell, formats);
    }
    const QByteArray url = QUrl::fromLocalFile(cell.link).toString(QUrl::FullyEncoded).toUtf8();
    const QString shown =
        cell.kind == ExportCell::Kind::Text ? cell.text : QFileInfo(cell.link).fileName();
    if (worksheet_write_url_opt(sheet, row, col, url.constData(), nullptr,
                                CellText(shown).constData(), nullptr) == LXW_NO_ERROR) {
        ++*links;
        if (cell.kind == ExportCell::Kind::Empty || cell.kind == ExportCell::Kind::Text) {
            return LXW_NO_ERROR;
        }
    }
    return WriteValue(sheet, row, col, cell, formats);
}

// A file of its own beside path, made empty (never one that exists), removed
// again when the object goes unless Keep() was called.
class FileBeside {
public:
    explicit FileBeside(const QString &path) {
        const QFileInfo target(path);
        for (int attempt = 0; attempt < 16 && path_.isEmpty(); ++attempt) {
            const QString name = target.absoluteDir().filePath(QStringLiteral(".%1.%2").arg(
                target.fileName(), QString::number(QRandomGenerator::global()->generate64(), 36)));
            QFile file(name);
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                path_ = name;
            } else if (!file.exists()) {
                error_ = file.errorString();
                return;
            }
        }
    }
    ~FileBeside() {
        if (!path_.isEmpty()) {
            QFile::remove(path_);
        }
    }
    FileBeside(const FileBeside &) = delete;
    FileBeside &operator=(const FileBeside &) = delete;
    // Empty when no file could be made (ErrorString() says why).
    const QString &Path() const { return path_; }
    const QString &ErrorString() const { return error_; }
    void Keep() { path_.clear(); }

private:
    QString path_;
    QString error_;
};

} // namespace

bool WriteXlsx(const std::vector<const ExportSheet *> &sheets, const QString &path,
               QString *error) {
    // The workbook is written beside the target and renamed over it at the
    // end. Not through QTemporaryFile: it keeps its file open after close(),
    // and Windows renames no open file.
    FileBeside temporary(path);
    if (temporary.Path().isEmpty()) {
        *error =
            QStringLiteral("%1 cannot be written: %2").arg(Native(path), temporary.ErrorString());
        return false;
    }
    // libxlsxwriter takes UTF-8 names on Windows (and opens them wide there).
    const QByteArray temporaryName = Utf8FileNameOnWindows(temporary.Path());

    lxw_error result = LXW_NO_ERROR;
    {
        Workbook book(temporaryName);
        if (book.Get() == nullptr) {
            *error = QStringLiteral("%1 cannot be written: out of memory").arg(Native(path));
            return false;
        }
        Formats formats{workbook_add_format(book.Get()), workbook_add_format(book.Get()),
                        workbook_add_format(book.Get()), workbook_add_format(book.Get()),
                        workbook_add_format(book.Get())};
        if (!formats.heading || !formats.correct || !formats.wrong || !formats.percent ||
            !formats.date) {
            *error = QStringLiteral("%1 cannot be written: out of memory").arg(Native(path));
            return false;
        }
        format_set_bold(formats.heading);
        format_set_font_color(formats.correct, 0x008000);
        format_set_font_color(formats.wrong, 0xFF0000);
        format_set_num_format(formats.percent, "0.00%");
        format_set_num_format(formats.date, "yyyy-mm-dd");
        for (const ExportSheet *sheet : sheets) {
            lxw_worksheet *worksheet =
                workbook_add_worksheet(book.Get(), sheet->name.toUtf8().constData());
            if (worksheet == nullptr) {
                *error = QStringLiteral("%1: the sheet %2 cannot be added")
                             .arg(Native(path), sheet->name);
                return false;
            }
            if (sheet->frozenRows > 0 || sheet->frozenColumns > 0) {
                worksheet_freeze_panes(worksheet, static_cast<lxw_row_t>(sheet->frozenRows),
                                       static_cast<lxw_col_t>(sheet->frozenColumns));
            }
            for (size_t c = 0; c < sheet->widths.size() && result == LXW_NO_ERROR; ++c) {
                if (sheet->widths[c] > 0) {
                    result =
                        worksheet_set_column(worksheet, static_cast<lxw_col_t>(c),
                                             static_cast<lxw_col_t>(c), sheet->widths[c], nullptr);
                }
            }
            int links = 0;
            for (size_t r = 0; r < sheet->rows.size() && result == LXW_NO_ERROR; ++r) {
                const std::vector<ExportCell> &row = sheet->rows[r];
                for (size_t c = 0; c < row.size() && result == LXW_NO_ERROR; ++c) {
                    result = WriteCell(worksheet, static_cast<lxw_row_t>(r),
                                       static_cast<lxw_col_t>(c), row[c], formats, &links);
                }
            }
            if (result != LXW_NO_ERROR) {
                *error = QStringLiteral("%1: %2").arg(Native(path),
                                                      QString::fromUtf8(lxw_strerror(result)));
                return false;
            }
        }
        // The library says only that it failed; the system says why.
        errno = 0;
        result = book.Close();
    }
    if (result != LXW_NO_ERROR) {
        const int reason = errno;
        *error = QStringLiteral("%1 cannot be written: %2")
                     .arg(Native(path), reason != 0 ? ErrnoText(reason)
                                                    : QString::fromUtf8(lxw_strerror(result)));
        return false;
    }
    QString reason;
    if (!MoveFileOver(temporary.Path(), path, &reason)) {
        *error = QStringLiteral("%1 cannot be written: %2").arg(Native(path), reason);
        return false;
    }
    temporary.Keep();
    // The temporary file was private to its owner; an export is an ordinary file.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
    return true;
}

} // namespace lumora
