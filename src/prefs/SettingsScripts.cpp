#include "prefs/Settings.h"

namespace {
const char *const KEY_EXECUTE_SCRIPTS = "execute-external-scripts";
} // namespace

// Processes and scripts around a connection.

bool Settings::terminateProcessesOnDisconnect() const
{
    return flag("terminate-processes-on-disconnect", false);
}
void Settings::setTerminateProcessesOnDisconnect(bool v)
{
    store("terminate-processes-on-disconnect", v);
}
QStringList Settings::processKillList() const
{
    return textList("processes-to-kill");
}
void Settings::setProcessKillList(const QStringList &v)
{
    store("processes-to-kill", v);
}
bool Settings::executeExternalScripts() const
{
    return flag(KEY_EXECUTE_SCRIPTS, false);
}
void Settings::setExecuteExternalScripts(bool v)
{
    store(KEY_EXECUTE_SCRIPTS, v);
}
int Settings::externalProcessTimeout() const
{
    return value(QStringLiteral("external-script-timeout"), 15).toInt();
}
void Settings::setExternalProcessTimeout(int v)
{
    store("external-script-timeout", v);
}
QString Settings::pathToBeforeConnectScript() const
{
    return text("path-to-before-connect-script");
}
void Settings::setPathToBeforeConnectScript(const QString &v)
{
    store("path-to-before-connect-script", v);
}
QString Settings::pathToAfterConnectScript() const
{
    return text("path-to-after-connect-script");
}
void Settings::setPathToAfterConnectScript(const QString &v)
{
    store("path-to-after-connect-script", v);
}
QString Settings::pathToAfterDisconnectScript() const
{
    return text("path-to-after-disconnect-script");
}
void Settings::setPathToAfterDisconnectScript(const QString &v)
{
    store("path-to-after-disconnect-script", v);
}

bool Settings::scriptShouldRun(const QString &path) const
{
    return !path.trimmed().isEmpty() && executeExternalScripts();
}

bool Settings::executeBeforeConnectScript() const
{
    return scriptShouldRun(pathToBeforeConnectScript());
}
bool Settings::executeAfterConnectScript() const
{
    return scriptShouldRun(pathToAfterConnectScript());
}
bool Settings::executeAfterDisconnectScript() const
{
    return scriptShouldRun(pathToAfterDisconnectScript());
}
