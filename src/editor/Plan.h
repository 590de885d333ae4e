#pragma once
#include <QString>
#include <optional>

#include "editor/Limits.h"
#include "editor/PlanInput.h"

namespace zorva::editor {

// The yearly figures a response can hold, each with the row figure its average is made of.
enum class Figure {
    A,  // PICHROKA, from the rows' PICHA (horses counted)
    B   // PICHROKB, from the rows' PICHB
};
QString figureName(Figure figure);     // "PICHROKA"
QString rowFigureName(Figure figure);  // "PICHA"

// The highest count the editor lets a user type.
inline constexpr int kMaxCount = 99999;
// The land plan looks no further than this many hectares added to every row.
inline constexpr double kMaxAddedHectares = 1'000'000;

// What it takes for one yearly figure to meet its limits.
struct FigurePlan {
    Figure figure = Figure::A;
    std::optional<YearlyFigure> value;  // none: no row counts, there is nothing to check
    Verdict verdict = Verdict::Within;
    double margin = 0;
    int category = -1;  // the place in the set of the category the head plan changes
    // Head to add to the count of every row (negative: remove, a row never below 0); 0 when within;
    // none when no whole number brings the figure within.
    std::optional<int> headChange;
    // Within: the most head that every row can still gain, or lose, with the figure staying within.
    // All three are none for a category that the figure does not count.
    std::optional<int> canAdd, canRemove;
    // Hectares to add to the acreage of every row that has land (negative: take away), in steps of
    // 0.01 ha; rows without land keep none, and no row loses all of its land.
    std::optional<double> acreageChange;
    bool categoryCounts = true;
    // The rows whose own figure lies outside the limits: the first in time, and how many.
    QString firstDateOutside;
    int rowsOutside = 0;
};

// `category`: the place in the set; none takes the counted category with the most units.
FigurePlan planFigure(const PlanInput& input, Figure figure, const Limits& limits,
                      std::optional<int> category = std::nullopt);

// The category that the figure counts with the most units over all rows (when no row holds any
// units, the first counted one that has a coefficient in some row).
int largestCategory(const PlanInput& input, Figure figure);

// The yearly figure with `heads` added to every row's count of `category` (a row never below 0),
// or with `acreageSteps` hundredths of a hectare added to every row that has land.
std::optional<YearlyFigure> figureWithHeads(const PlanInput& input, Figure figure, int category, int heads);
std::optional<YearlyFigure> figureWithAcreage(const PlanInput& input, Figure figure, long long acreageSteps);
// The acreage of a row with that many hundredths of a hectare added, as the calculation takes it.
double changedAcreage(double acreage, long long steps);

}  // namespace zorva::editor
