#include "gui/GuiLogging.h"

Q_LOGGING_CATEGORY(lcGui, "orval.gui")
