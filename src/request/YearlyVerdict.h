#pragma once
#include <QString>
#include <optional>

#include "editor/Limits.h"

namespace zorva::request {

// How an answer's yearly figures stand against the limits of its type.
struct YearlyVerdict {
    QString verdict;               // "vyhovuje", "pod limitem", "nad limitem"; empty without limits or figures
    QString limit;                 // the limits and where they came from
    std::optional<double> margin;  // VDJ/ha to the nearer limit: positive within, negative outside
};

// Of PICHROKA and PICHROKB the one nearest its limits, or furthest outside, speaks for the answer;
// a text that is no number is left out.
YearlyVerdict judgeYearly(const QString& pichA, const QString& pichB, const editor::Limits& limits);

}  // namespace zorva::request
