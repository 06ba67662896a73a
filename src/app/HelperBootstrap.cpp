#include "app/HelperBootstrap.h"

#include "BuildConfig.h"
#include "app/AppLogging.h"
#include "system/AppleScriptString.h"

#include <QDebug>
#include <QProcess>

#include <sys/stat.h>

HelperBootstrap::HelperBootstrap(const QString &applicationDir)
    : m_applicationDir(applicationDir)
{
}

QString HelperBootstrap::helperPath() const
{
    return m_applicationDir + QStringLiteral("/../Helpers/Stelvane");
}

QString HelperBootstrap::program() const
{
#ifdef __APPLE__
    return QStringLiteral("osascript");
#else
    return m_applicationDir + QStringLiteral("/../Platform/bin/osascript");
#endif
}

QString HelperBootstrap::shellQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QStringList HelperBootstrap::arguments() const
{
    // The directory is quoted for the shell and the whole command for
    // AppleScript, so no path can end the string or add a command run as root.
    // Each step runs only after the one before succeeded: a failed cd must not
    // turn some other ./Stelvane into a set-uid root program.
    const QString shellCommand = QStringLiteral("cd ") + shellQuoted(m_applicationDir + QStringLiteral("/../Helpers"))
                                 + QStringLiteral(" && ") + QStringLiteral("chown    root:")
                                 + QLatin1String(BuildConfig::adminGroup) + QStringLiteral(" ./Stelvane && ")
                                 + QStringLiteral("chmod 4555 ./Stelvane;");
    const QString script = QStringLiteral("do shell script ") + AppleScriptString::quoted(shellCommand)
                           + QStringLiteral(" with administrator privileges");
    return {QStringLiteral("-e"), script};
}

bool HelperBootstrap::file_is_suid(const QString &path)
{
    struct stat info
    {};
    if (stat(path.toUtf8().constData(), &info) != 0)
        return false;
    const mode_t required = S_ISUID | S_IRUSR | S_IXUSR | S_IRGRP | S_IXGRP | S_IROTH | S_IXOTH;
    // A set-uid root program that others may rewrite is no safe helper.
    const mode_t forbidden = S_IWGRP | S_IWOTH;
    return info.st_uid == 0 && info.st_gid == 0 && (info.st_mode & required) == required
           && (info.st_mode & forbidden) == 0;
}

void HelperBootstrap::init_permissions() const
{
    if (file_is_suid(helperPath()))
        return;
    const QStringList args = arguments();
    qCDebug(lcApp) << "Invoking" << program() << args;
    QProcess prompt;
    prompt.start(program(), args, QIODevice::ReadWrite);
    prompt.waitForFinished(promptTimeoutMs);
}
