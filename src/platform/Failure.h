#pragma once
// Moved to the common layer; kept so that existing includes still build.
#include "common/Failure.h"
