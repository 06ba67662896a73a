#pragma once
#include <QLoggingCategory>

// The application shell's log lines ("orval.app" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcApp)
