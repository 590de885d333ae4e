#pragma once
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <vector>

#include "DemoData.h"
#include "ServiceRequest.h"
#include "editor/CategorySet.h"

namespace zorva::service {

// One row of the answer before its figures are computed: a validity date, the acreage and the
// counts of every category of the generation.
struct ResponseRow {
    QDate date;
    double acreage = 0;
    QMap<QString, int> counts;
};

struct ResponseContent {
    QDateTime stamp;
    Applicant applicant;
    RequestFields asked;  // echoed: type, variant, validity and acreage as sent
    QString variant;      // "A", "B" or "C"
    const editor::CategorySet* set = nullptr;
    std::vector<ResponseRow> rows;
};

// The response document with the counts and coefficients, and every figure (units, sums,
// intensities, yearly intensities) still "0".
QByteArray composeResponse(const ResponseContent& content);

// Computes every figure of a composed response with the editor's own calculation, in a temporary
// program folder, and returns the document as the editor leaves it. Raises a Failure when the
// calculation reports one.
QByteArray computeFigures(const QByteArray& composed, const editor::CategorySet& set);

QByteArray faultDocument(const Fault& fault);

}  // namespace zorva::service
