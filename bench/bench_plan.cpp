// The limit plan of a 2006-generation answer of 365 and 3 650 rows, every category filled: prints the
// time of one plan per yearly figure when the figure lies below, above and within its limits.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "editor/Plan.h"

using namespace zorva;
using namespace zorva::editor;

namespace {

PlanInput generate(int rows)
{
    const CategorySet& set = CategorySet::gen2006();
    PlanInput input{&set, false, {}};
    for (int i = 0; i < rows; ++i) {
        PlanRow row{QStringLiteral("1990-01-01"), acreageValue(100 + i % 50 + 0.25), {}};
        int k = 0;
        for (std::size_t c = 0; c < set.categories.size(); ++c, ++k)
            row.categories.push_back({0.1 * (1 + k % 9), double((i * 7 + k * 13) % 900)});
        input.rows.push_back(std::move(row));
    }
    return input;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%8s %8s %10s %10s %10s %12s\n", "rows", "figure", "value", "below_ms", "above_ms", "within_ms");
    for (const int rows : {365, 3650}) {
        const PlanInput input = generate(rows);
        for (const Figure figure : {Figure::A, Figure::B}) {
            const double value = planFigure(input, figure, {}).value->value;
            auto time = [&](const Limits& limits) {
                QElapsedTimer t;
                t.start();
                const FigurePlan plan = planFigure(input, figure, limits);
                (void)plan;
                return double(t.nsecsElapsed()) / 1e6;
            };
            std::printf("%8d %8s %10.3f %10.1f %10.1f %12.1f\n", rows, qPrintable(figureName(figure)), value,
                        time({value * 1.5, std::nullopt}), time({std::nullopt, value / 2}),
                        time({value / 2, value * 1.5}));
        }
    }
    return 0;
}
