#include "editor/Plan.h"

#include <algorithm>
#include <cmath>

namespace zorva::editor {

QString figureName(Figure figure)
{
    return figure == Figure::A ? QStringLiteral("PICHROKA") : QStringLiteral("PICHROKB");
}

QString rowFigureName(Figure figure)
{
    return figure == Figure::A ? QStringLiteral("PICHA") : QStringLiteral("PICHB");
}

double changedAcreage(double acreage, long long steps)
{
    return acreageValue(acreage + double(steps) / 100.0);
}

namespace {

// The rows' units computed once; a trial recomputes only what it changes, with the calculation's
// own functions, and averages as a run does.
class Model {
public:
    Model(const PlanInput& input, Figure figure) : input_(input), order_(*input.set, input.eco), figure_(figure)
    {
        for (const PlanRow& row : input.rows) {
            std::vector<double> units;
            units.reserve(row.categories.size());
            for (const CategoryInput& c : row.categories) units.push_back(unitsValue(c, point_, signs_));
            sums_.push_back(sumUnits(units, order_));
            units_.push_back(std::move(units));
        }
    }

    double rowFigure(std::size_t row) const { return pick(intensities(sums_[row], input_.rows[row].acreage)); }
    std::optional<YearlyFigure> base() const
    {
        YearTotals totals;
        for (std::size_t r = 0; r < sums_.size(); ++r) totals.add(intensities(sums_[r], input_.rows[r].acreage));
        return yearly(totals);
    }
    std::optional<YearlyFigure> withHeads(int category, long long heads) const
    {
        YearTotals totals;
        std::vector<double> units;
        for (std::size_t r = 0; r < units_.size(); ++r) {
            const PlanRow& row = input_.rows[r];
            units = units_[r];
            CategoryInput changed = row.categories[std::size_t(category)];
            changed.count = std::max(0.0, changed.count + double(heads));
            units[std::size_t(category)] = unitsValue(changed, point_, signs_);
            totals.add(intensities(sumUnits(units, order_), row.acreage));
        }
        return yearly(totals);
    }
    std::optional<YearlyFigure> withAcreage(long long steps) const
    {
        YearTotals totals;
        for (std::size_t r = 0; r < sums_.size(); ++r) {
            const double acreage = input_.rows[r].acreage;
            totals.add(intensities(sums_[r], acreage > 0 ? changedAcreage(acreage, steps) : acreage));
        }
        return yearly(totals);
    }
    double totalUnits(int category) const
    {
        double total = 0;
        for (const auto& units : units_) total += units[std::size_t(category)];
        return total;
    }
    const std::vector<int>& counted() const { return figure_ == Figure::A ? order_.a : order_.b; }

private:
    double pick(const Intensities& i) const { return figure_ == Figure::A ? i.pichA : i.pichB; }
    std::optional<YearlyFigure> yearly(const YearTotals& t) const
    {
        return yearlyFigure(figure_ == Figure::A ? t.a : t.b, t.counted, point_);
    }

    const PlanInput& input_;
    SumOrder order_;
    Figure figure_;
    QChar point_ = regionalDecimalSign();
    DecimalSigns signs_;
    std::vector<std::vector<double>> units_;
    std::vector<RowSums> sums_;
};

// The smallest n of [lo, hi] for which `holds` (false up to some n, true from there on); none when it
// holds nowhere.
template <typename Holds>
std::optional<long long> firstHolding(long long lo, long long hi, Holds&& holds)
{
    if (lo > hi || !holds(hi)) return std::nullopt;
    while (lo < hi) {
        const long long mid = lo + (hi - lo) / 2;
        if (holds(mid)) hi = mid;
        else lo = mid + 1;
    }
    return lo;
}

bool within(const std::optional<YearlyFigure>& f, const Limits& limits)
{
    return f && verdictOf(f->value, limits) == Verdict::Within;
}

// The most hundredths of a hectare that every row with land can lose and keep some.
long long mostStepsToTake(const PlanInput& input)
{
    std::optional<long long> most;
    for (const PlanRow& row : input.rows) {
        if (!(row.acreage > 0)) continue;
        long long steps = std::max(0LL, std::llround(std::ceil(row.acreage * 100)) - 1);
        while (steps > 0 && !(changedAcreage(row.acreage, -steps) > 0)) --steps;
        while (changedAcreage(row.acreage, -(steps + 1)) > 0) ++steps;
        most = most ? std::min(*most, steps) : steps;
    }
    return most.value_or(0);
}

}  // namespace

int largestCategory(const PlanInput& input, Figure figure)
{
    const Model model(input, figure);
    // Without units anywhere, the first category that has a coefficient can still take head.
    auto priced = [&](int k) {
        return std::any_of(input.rows.begin(), input.rows.end(),
                           [&](const PlanRow& r) { return r.categories[std::size_t(k)].coefficient.has_value(); });
    };
    int best = -1;
    double most = 0;
    for (int k : model.counted()) {
        const double units = model.totalUnits(k);
        if (best < 0 || units > most || (most == 0 && units == 0 && !priced(best) && priced(k))) best = k, most = units;
    }
    return best < 0 ? 0 : best;
}

std::optional<YearlyFigure> figureWithHeads(const PlanInput& input, Figure figure, int category, int heads)
{
    return Model(input, figure).withHeads(category, heads);
}

std::optional<YearlyFigure> figureWithAcreage(const PlanInput& input, Figure figure, long long acreageSteps)
{
    return Model(input, figure).withAcreage(acreageSteps);
}

FigurePlan planFigure(const PlanInput& input, Figure figure, const Limits& limits, std::optional<int> category)
{
    FigurePlan plan;
    plan.figure = figure;
    plan.category = category ? *category : largestCategory(input, figure);
    const Model model(input, figure);
    plan.value = model.base();
    if (!plan.value) return plan;
    plan.verdict = verdictOf(plan.value->value, limits);
    plan.margin = marginOf(plan.value->value, limits);

    RowsOutside outside;
    for (std::size_t r = 0; r < input.rows.size(); ++r) outside.note(input.rows[r].date, model.rowFigure(r), limits);
    plan.rowsOutside = outside.count;
    plan.firstDateOutside = outside.firstDate;

    double mostCounted = 0;
    for (const PlanRow& row : input.rows)
        mostCounted = std::max(mostCounted, row.categories[std::size_t(plan.category)].count);
    const long long removable = std::llround(std::ceil(mostCounted));
    const long long addable = std::max(0LL, kMaxCount - removable);
    auto heads = [&](long long k) { return model.withHeads(plan.category, k); };
    auto land = [&](long long steps) { return model.withAcreage(steps); };
    const double low = limits.min.value_or(0), high = limits.max.value_or(0);
    const long long takeable = mostStepsToTake(input);
    const long long addableSteps = std::llround(kMaxAddedHectares * 100);
    const bool anyLand =
        std::any_of(input.rows.begin(), input.rows.end(), [](const PlanRow& r) { return r.acreage > 0; });
    // Head of a category that the figure does not count change nothing: there is no head plan.
    const auto& counted = model.counted();
    const bool counts = std::find(counted.begin(), counted.end(), plan.category) != counted.end();
    plan.categoryCounts = counts;

    switch (plan.verdict) {
        case Verdict::Within: {
            plan.acreageChange = 0.0;
            if (!counts) break;
            plan.headChange = 0;
            const auto tooMany =
                firstHolding(1, addable, [&](long long k) { return limits.max && heads(k)->value > high; });
            plan.canAdd = int(tooMany ? *tooMany - 1 : addable);
            const auto tooFew =
                firstHolding(1, removable, [&](long long r) { return limits.min && heads(-r)->value < low; });
            plan.canRemove = int(tooFew ? *tooFew - 1 : removable);
            break;
        }
        case Verdict::Below: {
            if (const auto k =
                    firstHolding(1, counts ? addable : 0, [&](long long n) { return heads(n)->value >= low; }))
                if (within(heads(*k), limits)) plan.headChange = int(*k);
            if (anyLand)
                if (const auto s = firstHolding(1, takeable, [&](long long n) { return land(-n)->value >= low; }))
                    if (within(land(-*s), limits)) plan.acreageChange = -double(*s) / 100.0;
            break;
        }
        case Verdict::Above: {
            if (const auto r =
                    firstHolding(1, counts ? removable : 0, [&](long long n) { return heads(-n)->value <= high; }))
                if (within(heads(-*r), limits)) plan.headChange = -int(*r);
            if (anyLand)
                if (const auto s = firstHolding(1, addableSteps, [&](long long n) { return land(n)->value <= high; }))
                    if (within(land(*s), limits)) plan.acreageChange = double(*s) / 100.0;
            break;
        }
    }
    return plan;
}

}  // namespace zorva::editor
