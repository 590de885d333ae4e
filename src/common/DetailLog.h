#pragma once
#include <QLoggingCategory>

namespace zorva {

// The libraries' own (English) reasons for a failure the user has already read in Czech. They stay
// off the terminal, where the headless commands talk to the user, until someone looking into a
// failure asks for them: QT_LOGGING_RULES="zorva.detail=true".
Q_DECLARE_LOGGING_CATEGORY(detailLog)

}  // namespace zorva
