#include "system/SystemLogging.h"

Q_LOGGING_CATEGORY(lcSystem, "orval.system")
Q_LOGGING_CATEGORY(lcHelperRunner, "orval.helper-runner")
