#pragma once
#include <QString>
#include <optional>
#include <vector>

#include "platform/XmlDocument.h"

namespace zorva::request {

// One figure of two results side by side: the texts as the documents hold them (empty where one has
// none) and, where both are numbers, how much the second is above the first.
struct ComparedFigure {
    QString first, second;
    std::optional<double> difference;
};

// The intensities of one validity date in both results. Rows that share a date are paired in the
// order of the documents, so that none is lost.
struct ComparedDate {
    QString date;
    ComparedFigure pichA, pichB;
};

struct Comparison {
    ComparedFigure yearlyA, yearlyB;  // PICHROKA, PICHROKB
    std::vector<ComparedDate> dates;  // in the order of the dates
};

// Two results of one applicant compared: "this year against last year", or "the service's answer
// against my edited one". Dates that only one of them has are listed with the other side empty.
Comparison compareResults(const xml::Document& first, const xml::Document& second);

}  // namespace zorva::request
