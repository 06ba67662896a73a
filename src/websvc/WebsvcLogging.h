#pragma once
#include <QLoggingCategory>

// The web service clients' log lines ("orval.websvc" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcWebsvc)
