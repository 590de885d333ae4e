#pragma once
#include <QString>
#include <vector>

#include "request/BatchResult.h"

namespace zorva::request {

// The summary files of a batch folder.
inline const QString kSummaryCsv = QStringLiteral("souhrn.csv");
inline const QString kSummaryHtml = QStringLiteral("souhrn.htm");

// "souhrn.csv": a header and one line per row of the list, separated by semicolons, UTF-8 with a
// byte order mark so that spreadsheets read the Czech letters. Written atomically; raises a Failure
// when the file cannot be written.
void writeSummaryCsv(const QString& path, const std::vector<BatchResult>& results);
// "souhrn.htm": the same as a page in the report's style, each answered line's state linking to its
// applicant's page.
void writeSummaryHtml(const QString& path, const std::vector<BatchResult>& results,
                      const QString& reportStyle = QString());

}  // namespace zorva::request
