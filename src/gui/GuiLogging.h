#pragma once
#include <QLoggingCategory>

// The windows' and dialogs' log lines ("orval.gui" in QT_LOGGING_RULES).
Q_DECLARE_LOGGING_CATEGORY(lcGui)
