#include "platform/Workbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/Failure.h"
#include "common/FileWriting.h"
#include "platform/LibraryHandles.h"

namespace zorva::xlsx {

namespace {

Failure notWritten(const QString& path)
{
    return Failure(err::PathFileAccess, QStringLiteral("Sešit nelze zapsat: %1").arg(QDir::toNativeSeparators(path)));
}

}  // namespace

// The library writes straight into a file, and the file must be whole or not there at all: it is
// made in a scratch folder of its own and copied through the program's checked writer at save().
struct Workbook::Impl {
    QTemporaryDir scratch;
    QByteArray made, tmp;
    platform::XlsxWorkbookPtr book;
    lxw_worksheet* sheet = nullptr;
    lxw_format *bold = nullptr, *asText = nullptr, *asDate = nullptr;
    lxw_format* shown[3] = {};
    int columns = 0;
    int lastRow = 0;
    bool failed = false;  // a cell the library refused: save() fails

    void check(lxw_error e)
    {
        if (e != LXW_NO_ERROR) failed = true;
    }
};

Workbook::Workbook(const QString& sheetName, Writing writing) : d(std::make_unique<Impl>())
{
    if (!d->scratch.isValid()) {
        d->failed = true;
        return;
    }
    d->made = QFile::encodeName(d->scratch.filePath(QStringLiteral("sesit.xlsx")));
    d->tmp = QFile::encodeName(d->scratch.path());
    lxw_workbook_options options{};
    options.tmpdir = d->tmp.data();
    options.constant_memory = writing == Writing::Streamed ? LXW_TRUE : LXW_FALSE;
    d->book.reset(workbook_new_opt(d->made.constData(), &options));
    if (!d->book) {
        d->failed = true;
        return;
    }
    d->sheet = workbook_add_worksheet(d->book.get(), sheetName.toUtf8().constData());
    d->bold = workbook_add_format(d->book.get());
    d->asText = workbook_add_format(d->book.get());
    for (lxw_format*& f : d->shown) f = workbook_add_format(d->book.get());
    d->asDate = workbook_add_format(d->book.get());
    if (!d->sheet || !d->bold || !d->asText || !d->shown[0] || !d->shown[1] || !d->shown[2] || !d->asDate) {
        d->failed = true;
        return;
    }
    format_set_bold(d->bold);
    format_set_text_wrap(d->bold);
    format_set_num_format(d->asText, "@");
    format_set_num_format(d->shown[0], "0");
    format_set_num_format(d->shown[1], "0.00");
    format_set_num_format(d->shown[2], "0.000");
    format_set_num_format(d->asDate, "d. m. yyyy");
}

Workbook::~Workbook() = default;

void Workbook::heading(int column, const QString& text, double width)
{
    if (!d->sheet) return;
    const auto c = lxw_col_t(column);
    d->check(worksheet_set_column(d->sheet, c, c, width, nullptr));
    d->check(worksheet_write_string(d->sheet, 0, c, text.toUtf8().constData(), d->bold));
    d->columns = std::max(d->columns, column + 1);
}

void Workbook::text(int row, int column, const QString& value)
{
    if (!d->sheet) return;
    d->lastRow = std::max(d->lastRow, row);
    // An empty text is an empty cell: the library refuses to store "".
    d->check(value.isEmpty() ? worksheet_write_blank(d->sheet, lxw_row_t(row), lxw_col_t(column), d->asText)
                             : worksheet_write_string(d->sheet, lxw_row_t(row), lxw_col_t(column),
                                                      value.toUtf8().constData(), d->asText));
}

void Workbook::number(int row, int column, double value, Shown shown)
{
    if (!d->sheet) return;
    d->lastRow = std::max(d->lastRow, row);
    d->check(worksheet_write_number(d->sheet, lxw_row_t(row), lxw_col_t(column), value, d->shown[int(shown)]));
}

void Workbook::date(int row, int column, QDate value)
{
    if (!d->sheet) return;
    d->lastRow = std::max(d->lastRow, row);
    lxw_datetime when{value.year(), value.month(), value.day(), 0, 0, 0};
    d->check(worksheet_write_datetime(d->sheet, lxw_row_t(row), lxw_col_t(column), &when, d->asDate));
}

void Workbook::save(const QString& path)
{
    if (d->failed || !d->book) throw notWritten(path);
    if (d->columns > 0) {
        worksheet_freeze_panes(d->sheet, 1, 0);
        worksheet_autofilter(d->sheet, 0, 0, lxw_row_t(d->lastRow), lxw_col_t(d->columns - 1));
    }
    if (workbook_close(d->book.release()) != LXW_NO_ERROR) throw notWritten(path);
    QFile madeFile(QString::fromLocal8Bit(d->made));
    if (!madeFile.open(QIODevice::ReadOnly)) throw notWritten(path);
    writeFileAtomically(path, madeFile.readAll());
}

}  // namespace zorva::xlsx
