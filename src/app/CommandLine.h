#pragma once
#include <QStringList>
#include <optional>

#include "common/ProgramContext.h"

namespace zorva::app {

// The headless front: commands that run without a window, plus --help and --version.
// Returns the exit status when the arguments name something to do without a window, nothing when
// there are no arguments (the window opens). Unknown options and missing values never open the
// window: they print the usage to the error stream and give 2.
std::optional<int> runCommandLine(int argc, char** argv);

}  // namespace zorva::app
