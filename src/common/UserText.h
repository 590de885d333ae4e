#pragma once
#include <QString>
#include <exception>

namespace zorva {

// The text the user sees for a failure: "number-description" for the program's numbered failures,
// a plain Czech sentence for anything else (no made-up number, no library's English text; that
// goes to the log).
QString userText(const std::exception& e);

}  // namespace zorva
