#pragma once
#include <QLocale>
#include <QString>
#include <optional>

namespace zorva {

// The numbers the program reads from texts, one reader per meaning, so that the window, the batch
// and the headless commands take the same text as the same number.

// A year as typed into the year box: a number as the regional settings read numbers; its value is
// the text's leading number (0 when it has none that the classic reader takes).
std::optional<double> yearAsTyped(const QString& text, const QLocale& locale = QLocale());

// An acreage as typed: "60.5" and "60,5" alike, whatever the regional settings. The request carries
// the text with its commas as points and without blanks, so a text grouped as some regional
// settings group ("1,234.5", "1.234,5") would reach the service as "1.234.5": no acreage. The value
// is the one the request carries.
std::optional<double> acreageAsTyped(const QString& text, const QLocale& locale = QLocale());

// A number as a document or a request writes it: a decimal point, no grouping.
std::optional<double> documentNumber(const QString& text);

}  // namespace zorva
