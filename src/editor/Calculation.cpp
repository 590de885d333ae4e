#include "editor/Calculation.h"

#include <QVariant>
#include <cmath>

#include "common/ModAll.h"

namespace zorva::editor {

std::optional<QString> unitsText(const CategoryInput& input, QChar decimalPoint)
{
    if (!input.coefficient) return std::nullopt;
    return fixedText(*input.coefficient * input.count, 5, decimalPoint);
}

double unitsValue(const std::optional<QString>& text, const DecimalSigns& signs)
{
    return text ? leadingNumberOfNormalised(*text, signs) : 0.0;
}

double unitsValue(const CategoryInput& input, QChar decimalPoint, const DecimalSigns& signs)
{
    return unitsValue(unitsText(input, decimalPoint), signs);
}

double acreageValue(double acreage)
{
    return roundTo15Digits(acreage);
}

SumOrder::SumOrder(const CategorySet& set, bool eco)
{
    auto places = [&](const QStringList& names, std::vector<int>& out) {
        for (const QString& name : names)
            if (const Category* c = set.find(name)) out.push_back(int(c - set.categories.data()));
    };
    if (eco) {
        places(set.horseAddition, a);
        places(set.ecoAddition, a);
        places(set.ecoAddition, b);
    } else {
        places(set.conventionalAddition, a);
        places(set.horseAddition, a);
        places(set.conventionalAddition, b);
    }
}

RowSums sumUnits(const std::vector<double>& units, const SumOrder& order)
{
    RowSums sums;
    for (int k : order.a) sums.vdjA = sums.vdjA + units[std::size_t(k)];
    for (int k : order.b) sums.vdjB = sums.vdjB + units[std::size_t(k)];
    return sums;
}

Intensities intensities(const RowSums& sums, double acreage)
{
    if (!(acreage > 0)) return {};
    return {sums.vdjA / acreage, sums.vdjB / acreage};
}

std::optional<YearlyFigure> yearlyFigure(double total, int counted, QChar decimalPoint)
{
    if (counted == 0) return std::nullopt;
    const double average = total / counted;
    const double rounded = leadingNumber(CisloSTeckou(QVariant(average)));
    const double cut = std::floor(rounded * 1000) / 1000;
    YearlyFigure figure;
    figure.text = CisloSTeckou(QVariant(fixedText(cut, 3, decimalPoint)));
    figure.value = leadingNumber(figure.text);
    return figure;
}

}  // namespace zorva::editor
