#include "openvpn/EngineLogging.h"

Q_LOGGING_CATEGORY(lcEngine, "orval.engine")
