#include "request/YearlyVerdict.h"

#include "common/TypedNumbers.h"
#include "editor/PlanReport.h"

namespace zorva::request {

YearlyVerdict judgeYearly(const QString& pichA, const QString& pichB, const editor::Limits& limits)
{
    YearlyVerdict v;
    if (!limits.any()) return v;
    for (const QString& text : {pichA, pichB}) {
        const std::optional<double> value = documentNumber(text);
        if (!value) continue;
        const double margin = editor::marginOf(*value, limits);
        if (v.margin && *v.margin <= margin) continue;
        v.margin = margin;
        v.verdict = editor::verdictText(editor::verdictOf(*value, limits));
    }
    if (v.margin)
        v.limit = editor::limitsText(limits) + QStringLiteral(" (") + editor::kLimitsFromSettings + QLatin1Char(')');
    return v;
}

}  // namespace zorva::request
