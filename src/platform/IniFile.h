#pragma once
// Moved to the common layer; kept so that code written against the old place still builds.
#include "common/IniFile.h"
