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

// One sheet of typed cells written as an .xlsx workbook: texts stay texts (leading zeros, and a text
// beginning with "=" is never a formula), numbers are numbers, dates are dates. The heading row is
// frozen and carries an auto-filter. Nothing is written until save(), which replaces the file whole
// or raises a Failure and leaves the file as it was.
class Workbook {
public:
    explicit Workbook(const QString& sheetName);
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
