#pragma once
#include <QString>
#include <optional>

#include "platform/Recordset.h"

// The few pieces of the Jet SQL dialect that the working database has to understand itself.
// Private to the platform layer.
namespace zorva::db::detail {

// The name under which every connection registers the database's text collation; every text column
// of a table created through WorkingDatabase::execute is declared with it.
inline constexpr char kTextCollation[] = "LOCALE_TEXT";

// A "CREATE TABLE name(...)" statement with every text column (TEXT, TEXT(n), CHAR(n), MEMO ...)
// given "COLLATE LOCALE_TEXT" right after its type, unless it names a collation itself. The column
// names, their order, their declared types and everything else stay as written. Any other statement
// is returned unchanged.
QString withTextCollation(const QString& sql);

// The column as the recordset treats it, from its declared type as written in CREATE TABLE:
// TEXT(n)/CHAR(n)/VARCHAR(n) -> Text of at most n characters, TEXT alone -> Text(255) as Jet's DDL
// has it, MEMO/LONGTEXT -> Text without limit, DOUBLE/FLOAT/REAL/SINGLE -> Double, else Other.
Column columnFromDeclaration(const QString& name, const QString& declaredType);

// "SELECT * FROM T [ORDER BY ...]": the table name (brackets or quotes removed) and the order text.
struct SelectAll {
    QString table;
    QString orderBy;
};
std::optional<SelectAll> parseSelectAll(const QString& sql);

// A name quoted for SQLite.
QString quoted(const QString& name);

}  // namespace zorva::db::detail
