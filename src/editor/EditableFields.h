#pragma once
#include <QString>

namespace zorva::editor {

// What a user may put into the working table: the counts of animals and the acreage. The window's
// boxes and the headless edits keep to the same rules, so that no front end can store what the
// other refuses.

// A count of animals: digits only, at most five (0 to 99 999); an empty box counts as 0.
inline const QString kCountPattern = QStringLiteral("[0-9]{0,5}");
inline const QString kCountRule = QStringLiteral("Počet zvířat: jen číslice, celé číslo od 0 do 99999.");
bool isCountText(const QString& text);

// Whether the column is one the user may change: SUMAVYMERADPB or a count of the set's categories.
// The coefficients are the service's and locked.
struct CategorySet;
bool isEditableColumn(const CategorySet& set, const QString& column);

}  // namespace zorva::editor
