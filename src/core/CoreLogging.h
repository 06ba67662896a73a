#pragma once
#include <QLoggingCategory>

// The shared vocabulary's log lines ("orval.core" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcCore)
