#pragma once
#include <QString>

// Private-profile settings files ("[SECTION]" / "KEY=value"), text in Windows-1250.
namespace zorva::ini {

// The value, or the default when the file, section or key is missing; at most maxChars characters.
// Sections and keys match case-insensitively; blanks around keys and values are trimmed; a value in
// matching quotes comes back without them.
QString readString(const QString& section, const QString& key, const QString& defaultValue, const QString& file,
                   int maxChars = 254);
// Creates the file, section or key as needed and replaces an existing value in place, keeping every
// other line. Writes atomically (temporary file, then rename). Never raises: a file that cannot be
// written stays as it was, the result is false and the reason goes to the log.
bool writeString(const QString& section, const QString& key, const QString& value, const QString& file);

}  // namespace zorva::ini
