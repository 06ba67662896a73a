#pragma once
#include <QLoggingCategory>

// The catalogue's log lines ("orval.catalogue" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcCatalogue)
