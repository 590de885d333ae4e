#pragma once
#include <QString>

namespace zorva {

// A text from a user, a list or the service made fit to be part of a file name: ASCII letters,
// digits and "-" stay, anything else becomes "_", at most 40 characters, so that no identifier can
// leave its folder or make a name that another system cannot copy.
QString fileNamePart(const QString& text);

}  // namespace zorva
