#pragma once
#include <QString>
#include <optional>
#include <vector>

#include "common/NumberText.h"
#include "editor/CategorySet.h"

namespace zorva::editor {

// The arithmetic of "Počítej" on plain values. The editor's run applies it to the working table row
// by row; the planner tries figures out in memory with the very same functions, so that a plan can
// never disagree with what the program then computes.

// One category of a row as the calculation reads it: the coefficient (none when the service sent
// none) and the numeric value of the count.
struct CategoryInput {
    std::optional<double> coefficient;
    double count = 0;
};

// The units text of a category: coefficient x count with five decimals and the given decimal sign;
// none where the coefficient is empty.
std::optional<QString> unitsText(const CategoryInput& input, QChar decimalPoint);
// What a units text adds to the sums: the text is what is added, not the unrounded product.
double unitsValue(const std::optional<QString>& text, const DecimalSigns& signs);
double unitsValue(const CategoryInput& input, QChar decimalPoint, const DecimalSigns& signs);

// The acreage as the calculation takes it: its value read back through its 15-digit text.
double acreageValue(double acreage);

// Which categories each sum adds, by their place in the set, in the order of addition for the type.
struct SumOrder {
    SumOrder(const CategorySet& set, bool eco);
    std::vector<int> a, b;
};

struct RowSums {
    double vdjA = 0, vdjB = 0;
};
// `units`: the units value of every category, in the order of the set.
RowSums sumUnits(const std::vector<double>& units, const SumOrder& order);

struct Intensities {
    double pichA = 0, pichB = 0;
};
// Units per hectare. A row without positive acreage has none, yet still counts in the year.
Intensities intensities(const RowSums& sums, double acreage);

// The rows that count towards the yearly intensities, and the sums of their intensities.
struct YearTotals {
    int counted = 0;
    double a = 0, b = 0;
    void add(const Intensities& row)
    {
        ++counted;
        a += row.pichA;
        b += row.pichB;
    }
};

// A yearly intensity: the average read back through its 15-digit text and cut (never rounded) to
// three decimals. `text` is what the header box and the document show ("0.544"), `value` its number.
struct YearlyFigure {
    QString text;
    double value = 0;
};
// Nothing when no row counted: the division has nothing to divide by.
std::optional<YearlyFigure> yearlyFigure(double total, int counted, QChar decimalPoint = regionalDecimalSign());

}  // namespace zorva::editor
