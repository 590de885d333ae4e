#pragma once
#include <QString>

#include "common/ProgramContext.h"

namespace zorva {

// Hands a document, program or address to the platform's "open" service. Returns the Czech text of
// a failure ("Nemohu najít soubor", ...) or "", and appends every failure to "\SpustSoubor_err.txt".
QString SpustSoubor(const ProgramContext& ctx, const QString& file, const QString& parameters, int showCommand,
                    bool skipCheck, bool quoteParameters, bool noSplit);

}  // namespace zorva
