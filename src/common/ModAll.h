#pragma once
#include <QString>
#include <QVariant>
#include <functional>

#include "common/ProgramContext.h"

// The small shared routines of the program. Path routines work on path text and treat "\" and "/"
// alike as separators (a drive letter's colon counts where said), so the same rules serve Windows
// paths and the native paths of this platform; file-system routines take native paths.
namespace zorva {

// Folder part of a path; an empty path gives "". A non-empty path without any separator is a
// failure: a critical-error box "number-description" and an empty result.
QString VratAdresar(const ProgramContext& ctx, const QString& path);
// Last component of a path (after the last "\", "/" or ":"); a path without backslash or slash is
// returned unchanged.
QString VratJmenoSouboru(const ProgramContext& ctx, const QString& path);
// Folder and name with exactly one separator between them (the folder's own kind of separator;
// "\" when it has none).
QString SpojCestu(const QString& folder, const QString& name);
// Name (last component only) of the first file matching the pattern (wildcards * and ? in the last
// component; matched case-insensitively, as the file systems of old did); empty on no match or any
// failure. attributeMask 0: normal files only.
QString NajdiSoubor(const QString& pattern, int attributeMask = 0);
// Deletes every file in the folder matching the pattern. A file that may not be deleted (in use,
// protected) is skipped; any other failure shows a critical-error box and gives false.
bool SmazSoubory(const ProgramContext& ctx, const QString& folder, const QString& pattern);
// Removes one file or raises a Failure: 70 (in use, permission denied) or 75 (protected, path or
// file access error) for a file that may not be deleted; 53, 57, 76 ... for other failures.
using FileRemover = std::function<void(const QString& path)>;
// The file system's removal, with the platform's error mapped onto those numbers.
void removeFile(const QString& path);
// SmazSoubory with the removal given: the same enumeration and the same skipping of 70 and 75.
bool SmazSoubory(const ProgramContext& ctx, const QString& folder, const QString& pattern, const FileRemover& remove);
// Full path of a file that does not exist yet: "TMP" yyyyMMddhhmmss + "000"|"100" + "_." + extension.
QString VytvorJmenoTMP(const ProgramContext& ctx, const QString& folder, const QString& extension);
// One value from a settings file; the default when the file, section or key is missing; at most
// 254 characters.
QString CtiINI(const QString& section, const QString& key, const QString& defaultValue, const QString& file);
// Number text for the request: null -> "0" or "NULL"; "" -> "0"; "," -> "."; blanks and
// non-breaking spaces removed; trailing zeros after a point dropped unless keepZeros; a final "." dropped.
QString FormatujCislo(const QVariant& value, bool nullAsZero, bool keepZeros);
// Text of a value with "." as decimal point and no blanks, for the leading-number parse;
// a null value gives "". A number's text is its general form (see NumberText.h).
QString CisloSTeckou(const QVariant& value);

}  // namespace zorva
