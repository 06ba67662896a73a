#pragma once
#include <QLoggingCategory>

// The preferences' log lines ("orval.prefs" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcPrefs)
