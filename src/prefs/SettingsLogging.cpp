#include "prefs/Settings.h"

#include "core/LogHandlerOption.h"

// Logging.

const LogHandlerOption &Settings::getLogHandlerOption() const
{
    return LogHandlerOption::fromString(text("logHandlerOption"));
}

void Settings::setLogHandlerOption(const LogHandlerOption &option)
{
    store("logHandlerOption", option.toString());
}
bool Settings::getShowLogToFileWarning() const
{
    return flag("showLogToFileWarning", true);
}
void Settings::setShowLogToFileWarning(bool v)
{
    store("showLogToFileWarning", v);
}
