#pragma once
#include <QLoggingCategory>

// The system layer's log lines ("orval.system" in QT_LOGGING_RULES), and
// those of its runs of the privileged helper ("orval.helper-runner").
Q_DECLARE_LOGGING_CATEGORY(lcSystem)
Q_DECLARE_LOGGING_CATEGORY(lcHelperRunner)
