#pragma once
#include <QWidget>

#include "common/ProgramContext.h"

namespace zorva {

// Sets (enable false) or clears (enable true) the busy state of a window: the hourglass pointer
// and the window's controls disabled. A non-empty QEL/DISABLE in the settings file keeps the
// controls enabled, so that only the pointer changes. Never reports a failure: a step that fails
// is skipped.
void PovolFormular(const ProgramContext& ctx, QWidget* window, bool enable);

}  // namespace zorva
