#pragma once
#include <QString>
#include <vector>

#include "platform/Workbook.h"
#include "request/BatchResult.h"
#include "request/BatchSummary.h"

namespace zorva::request {

inline const QString kSummaryXlsx = QStringLiteral("souhrn.xlsx");

// "souhrn.xlsx": the batch's lines as a spreadsheet opens them without an import dialog: one sheet,
// Czech headings, identifiers as texts with their leading zeros, names never formulas, dates as
// dates, intensities and acreage as numbers. Written whole or not at all; raises a Failure. A list of
// more than kStreamedFrom lines is streamed (texts in their cells), so that memory stays flat.
void writeSummaryXlsx(const QString& path, const BatchLines& lines);
void writeSummaryXlsx(const QString& path, const BatchLines& lines, xlsx::Writing writing);
inline constexpr int kStreamedFrom = 10000;
void writeSummaryXlsx(const QString& path, const std::vector<BatchResult>& results);

}  // namespace zorva::request
