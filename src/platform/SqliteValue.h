#pragma once
#include <QVariant>

struct sqlite3_stmt;

// Internal to the platform layer: values between Qt and the statements of the working database.
namespace zorva::db::detail {

// A value bound as the SQL driver binds it: texts as UTF-16 text (a null text as NULL), whole
// numbers and booleans as integers, other numbers as reals, byte arrays as blobs. A text or byte
// array is bound in place: the value must outlive the step. Returns the SQLite result code.
int bind(sqlite3_stmt* statement, int index, const QVariant& value);

// The value of a column of the current result row, as the SQL driver gives it.
QVariant columnValue(sqlite3_stmt* statement, int column);

}  // namespace zorva::db::detail
