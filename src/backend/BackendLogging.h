#pragma once
#include <QLoggingCategory>

// The backend's log lines ("orval.backend" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcBackend)
