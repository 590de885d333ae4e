#pragma once
#include <QString>

#include "editor/CategorySet.h"

namespace zorva::editor {

// The Czech name of a category as the report calls it ("Skot od 24 měsíců"); the name itself for a
// category the report does not know.
QString reportName(const QString& name);

// The category of the set that a person means: its name ("SKOTOD24"), a column of it
// ("SKOTOD24_POCET"), its report name, window label or meaning; case, blanks and diacritics aside.
// Null when none matches.
const Category* findCategory(const CategorySet& set, const QString& text);

}  // namespace zorva::editor
