#include "core/CoreLogging.h"

Q_LOGGING_CATEGORY(lcCore, "orval.core")
