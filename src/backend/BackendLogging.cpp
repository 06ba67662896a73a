#include "backend/BackendLogging.h"

Q_LOGGING_CATEGORY(lcBackend, "orval.backend")
