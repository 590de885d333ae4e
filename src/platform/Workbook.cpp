#include "platform/Workbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "common/Failure.h"
#include "common/FileWriting.h"
#include "platform/LibraryHandles.h"

namespace zorva::xlsx {

namespace {

struct Cell {
    enum class Kind {
        Text,
        Number,
        Date
    } kind;
    int row, column;
    QString text;
    double number = 0;
    Shown shown = Shown::Whole;
    QDate date;
};

struct Column {
    QString heading;
    double width = 10;
};

Failure notWritten(const QString& path)
{
    return Failure(err::PathFileAccess, QStringLiteral("Sešit nelze zapsat: %1").arg(QDir::toNativeSeparators(path)));
}

}  // namespace

// The cells are kept until save(): the library writes straight into a file, and the file must be
// whole or not there at all.
struct Workbook::Impl {
    QString sheetName;
    std::vector<Column> columns;
    std::vector<Cell> cells;
    int lastRow = 0;
};

Workbook::Workbook(const QString& sheetName) : d(std::make_unique<Impl>())
{
    d->sheetName = sheetName;
}

Workbook::~Workbook() = default;

void Workbook::heading(int column, const QString& text, double width)
{
    if (int(d->columns.size()) <= column) d->columns.resize(std::size_t(column) + 1);
    d->columns[std::size_t(column)] = {text, width};
}

void Workbook::text(int row, int column, const QString& value)
{
    d->cells.push_back({Cell::Kind::Text, row, column, value, 0, Shown::Whole, QDate()});
    d->lastRow = std::max(d->lastRow, row);
}

void Workbook::number(int row, int column, double value, Shown shown)
{
    d->cells.push_back({Cell::Kind::Number, row, column, {}, value, shown, QDate()});
    d->lastRow = std::max(d->lastRow, row);
}

void Workbook::date(int row, int column, QDate value)
{
    d->cells.push_back({Cell::Kind::Date, row, column, {}, 0, Shown::Whole, value});
    d->lastRow = std::max(d->lastRow, row);
}

void Workbook::save(const QString& path)
{
    // Made in a temporary folder of its own, then copied through the program's checked writer, which
    // replaces the file whole or not at all and tells a full disk as such.
    QTemporaryDir scratch;
    if (!scratch.isValid()) throw notWritten(path);
    const QByteArray made = QFile::encodeName(scratch.filePath(QStringLiteral("sesit.xlsx")));
    const QByteArray tmp = QFile::encodeName(scratch.path());
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(tmp.constData());
    {
        platform::XlsxWorkbookPtr book(workbook_new_opt(made.constData(), &options));
        if (!book) throw notWritten(path);
        lxw_worksheet* sheet = workbook_add_worksheet(book.get(), d->sheetName.toUtf8().constData());
        lxw_format* bold = workbook_add_format(book.get());
        format_set_bold(bold);
        format_set_text_wrap(bold);
        lxw_format* asText = workbook_add_format(book.get());
        format_set_num_format(asText, "@");
        lxw_format* shown[3] = {workbook_add_format(book.get()), workbook_add_format(book.get()),
                                workbook_add_format(book.get())};
        format_set_num_format(shown[0], "0");
        format_set_num_format(shown[1], "0.00");
        format_set_num_format(shown[2], "0.000");
        lxw_format* asDate = workbook_add_format(book.get());
        format_set_num_format(asDate, "d. m. yyyy");
        if (!sheet || !bold || !asText || !shown[0] || !shown[1] || !shown[2] || !asDate) throw notWritten(path);

        for (std::size_t c = 0; c < d->columns.size(); ++c) {
            const auto column = lxw_col_t(c);
            worksheet_set_column(sheet, column, column, d->columns[c].width, nullptr);
            worksheet_write_string(sheet, 0, column, d->columns[c].heading.toUtf8().constData(), bold);
        }
        for (const Cell& cell : d->cells) {
            const auto row = lxw_row_t(cell.row);
            const auto column = lxw_col_t(cell.column);
            lxw_error e = LXW_NO_ERROR;
            switch (cell.kind) {
                case Cell::Kind::Text:
                    // An empty text is an empty cell: the library refuses to store "".
                    e = cell.text.isEmpty()
                            ? worksheet_write_blank(sheet, row, column, asText)
                            : worksheet_write_string(sheet, row, column, cell.text.toUtf8().constData(), asText);
                    break;
                case Cell::Kind::Number:
                    e = worksheet_write_number(sheet, row, column, cell.number, shown[int(cell.shown)]);
                    break;
                case Cell::Kind::Date: {
                    lxw_datetime when{cell.date.year(), cell.date.month(), cell.date.day(), 0, 0, 0};
                    e = worksheet_write_datetime(sheet, row, column, &when, asDate);
                    break;
                }
            }
            if (e != LXW_NO_ERROR) throw notWritten(path);
        }
        if (!d->columns.empty()) {
            worksheet_freeze_panes(sheet, 1, 0);
            worksheet_autofilter(sheet, 0, 0, lxw_row_t(d->lastRow), lxw_col_t(d->columns.size() - 1));
        }
        if (workbook_close(book.release()) != LXW_NO_ERROR) throw notWritten(path);
    }
    QFile madeFile(QString::fromLocal8Bit(made));
    if (!madeFile.open(QIODevice::ReadOnly)) throw notWritten(path);
    writeFileAtomically(path, madeFile.readAll());
}

}  // namespace zorva::xlsx
