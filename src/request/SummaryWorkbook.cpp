#include "request/SummaryWorkbook.h"

#include <QDate>

#include "common/TypedNumbers.h"
#include "platform/Workbook.h"

namespace zorva::request {

namespace {

enum Column {
    Line,
    Jisubrux,
    Ico,
    Rc,
    Applicant,
    Type,
    Variant,
    Period,
    Acreage,
    PichA,
    PichB,
    Limit,
    Verdict,
    Margin,
    State,
    Columns
};

const struct {
    const char* heading;
    double width;
} kColumns[Columns] = {
    {"Řádek", 7},
    {"JISUBRUX", 13},
    {"IČ", 11},
    {"RČ", 12},
    {"Žadatel", 32},
    {"Typ", 5},
    {"Varianta", 9},
    {"Datum nebo rok", 14},
    {"Výměra (ha)", 11},
    {"PICHROKA (VDJ/ha)", 12},
    {"PICHROKB (VDJ/ha)", 12},
    {"Limit (VDJ/ha)", 26},
    {"Posouzení", 13},
    {"Rezerva (VDJ/ha)", 11},
    {"Stav", 40},
};

// A figure of the answer as a number; a text that is none stays what it is.
void figure(xlsx::Workbook& book, int row, int column, const QString& text, xlsx::Shown shown)
{
    if (const auto value = documentNumber(text)) book.number(row, column, *value, shown);
    else book.text(row, column, text);
}

}  // namespace

void writeSummaryXlsx(const QString& path, const BatchLines& lines)
{
    writeSummaryXlsx(path, lines, lines.counts().all > kStreamedFrom ? xlsx::Writing::Streamed : xlsx::Writing::Held);
}

void writeSummaryXlsx(const QString& path, const BatchLines& lines, xlsx::Writing writing)
{
    xlsx::Workbook book(QStringLiteral("Souhrn"), writing);
    for (int c = 0; c < Columns; ++c) book.heading(c, QString::fromUtf8(kColumns[c].heading), kColumns[c].width);
    int row = 0;
    lines.forEach([&](const BatchResult& r) {
        ++row;
        book.number(row, Line, r.number, xlsx::Shown::Whole);
        book.text(row, Jisubrux, r.jisubrux);
        book.text(row, Ico, r.ico);
        book.text(row, Rc, r.rc);
        book.text(row, Applicant, r.name);
        figure(book, row, Type, r.type, xlsx::Shown::Whole);
        book.text(row, Variant, r.variant);
        // A date as the request carried it (types 1 to 3), else the year.
        if (const QDate date = QDate::fromString(r.year, QStringLiteral("dd.MM.yyyy")); date.isValid())
            book.date(row, Period, date);
        else figure(book, row, Period, r.year, xlsx::Shown::Whole);
        figure(book, row, Acreage, r.acreage, xlsx::Shown::TwoDecimals);
        figure(book, row, PichA, r.pichA, xlsx::Shown::ThreeDecimals);
        figure(book, row, PichB, r.pichB, xlsx::Shown::ThreeDecimals);
        book.text(row, Limit, r.limit);
        book.text(row, Verdict, r.verdict);
        if (r.margin) book.number(row, Margin, *r.margin, xlsx::Shown::ThreeDecimals);
        book.text(row, State, r.state.text());
    });
    book.save(path);
}

void writeSummaryXlsx(const QString& path, const std::vector<BatchResult>& results)
{
    writeSummaryXlsx(path, HeldLines(results));
}

}  // namespace zorva::request
