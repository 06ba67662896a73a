#pragma once
#include <QLoggingCategory>

// The OpenVPN and OpenConnect drivers' log lines ("orval.engine" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcEngine)
