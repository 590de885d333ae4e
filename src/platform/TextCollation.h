#pragma once
#include <QString>

struct sqlite3;

// The text collation of a working database, shared by every connection that opens the file.
// Private to the platform layer.
namespace zorva::db::detail {

// The language id of a Jet locale string (";LANGID=0x0405;CP=1250;COUNTRY=0" gives 0x0405); Jet's
// general order (0x0409) when the string names none.
int languageIdOf(const QString& locale);

// Registers the collation named kTextCollation on the connection: ICU collation for the language id
// (0x0405: Czech, "ch" after "h", "č" after "c"), equal keys ordered by their bytes so that the order
// is total and deterministic. Raises a Failure.
void registerTextCollation(sqlite3* handle, int languageId);

}  // namespace zorva::db::detail
