#include "websvc/WebsvcLogging.h"

Q_LOGGING_CATEGORY(lcWebsvc, "orval.websvc")
