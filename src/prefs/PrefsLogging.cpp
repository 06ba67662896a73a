#include "prefs/PrefsLogging.h"

Q_LOGGING_CATEGORY(lcPrefs, "orval.prefs")
