#pragma once
#include "common/ProgramContext.h"

namespace zorva::app {

// The program's context without its services: its folder and name. Every file of the program lies in
// the folder of its executable, or in the per-user folder where that one is not writable (an installed
// program); the settings file is named after the executable.
ProgramContext programContext();

// Qt takes the C library's locale from the environment; under Czech settings that makes the C
// number routines that libxml2 and libxslt use write and read a decimal comma. The program's own
// number texts follow the regional settings through QLocale, which does not depend on this.
void keepCNumbersClassic();

}  // namespace zorva::app
