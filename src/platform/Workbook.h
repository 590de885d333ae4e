#pragma once
#include <QDate>
#include <QString>
#include <memory>

namespace zorva::xlsx {

// How a number cell shows its value; the file keeps the whole value, a Czech spreadsheet shows it
// with a decimal comma.
enum class Shown {
    Whole,          // 12
    TwoDecimals,    // 12,50
    ThreeDecimals,  // 0,942
};

// How the cells wait for save(). Held: the library keeps them, texts in one shared table (the usual
// form of a workbook). Streamed: every row goes to a scratch file as soon as the next one begins, so
// that memory stays flat however many rows come; rows must then come in order, and texts are kept
// in their cells.
enum class Writing {
    Held,
    Streamed,
};

// One sheet of typed cells written as an .xlsx workbook: texts stay texts (leading zeros, and a text
// beginning with "=" is never a formula), numbers are numbers, dates are dates. The heading row is
// frozen and carries an auto-filter. The headings come first. Nothing is written to the path until
// save(), which replaces the file whole or raises a Failure and leaves the file as it was.
class Workbook {
public:
    explicit Workbook(const QString& sheetName, Writing writing = Writing::Held);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    void heading(int column, const QString& text, double width);
    void text(int row, int column, const QString& value);
    void number(int row, int column, double value, Shown shown);
    void date(int row, int column, QDate value);

    void save(const QString& path);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace zorva::xlsx
