#pragma once
#include <QDate>
#include <QMap>
#include <QString>
#include <vector>

#include "editor/CategorySet.h"

namespace zorva::service {

// The demo rules of the service: coefficients, the categories of the first generation derived from
// the register's categories of 2006, and which validity dates a calculation type answers.

// Livestock units per animal of a category of either generation; 0 for an unknown name.
double coefficient(const QString& category);
// The first-generation category that a category of 2006 falls into (SKOTDO6 -> SKOTML, ...).
QString firstGenerationCategory(const QString& category2006);
// The counts of a herd (categories of 2006) for the categories of a generation; every category of
// the set is present, 0 when the herd has none.
QMap<QString, int> countsFor(const editor::CategorySet& set, const QMap<QString, int>& herd2006);

// Validity dates of the rows: the date itself for types 1 to 3, the first day of every month of
// the year for types 4 to 6.
std::vector<QDate> validityDates(int type, const QDate& date, int year);

}  // namespace zorva::service
