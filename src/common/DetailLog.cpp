#include "common/DetailLog.h"

namespace zorva {

Q_LOGGING_CATEGORY(detailLog, "zorva.detail", QtCriticalMsg)

}  // namespace zorva
