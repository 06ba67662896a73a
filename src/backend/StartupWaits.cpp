#include "backend/StartupWaits.h"

#include "backend/ConnectionParameters.h"
#include "backend/ErrorMessage.h"
#include "backend/VpnFrontend.h"
#include "catalogue/LocalDnsJsonRefresh.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"

#include <QDebug>
#include <QTimer>

StartupWaits::StartupWaits(Settings& settings, VpnFrontend& frontend, OsAbstraction& os,
                           QSharedPointer<ConnectionParameters> parameters, const bool& abortRequested,
                           bool& skipRequested, unsigned long pauseMs)
    : settings(settings)
    , frontend(frontend)
    , os(os)
    , parameters(std::move(parameters))
    , abortRequested(abortRequested)
    , skipRequested(skipRequested)
    , pauseMs(pauseMs)
{
}

StartupWaits::Outcome StartupWaits::waitLoop(const std::function<bool()>& predicate, const Wait& wait,
                                             const VpnStartupProgress& progress) const
{
    for (int cycle = 0;; ++cycle) {
        if (predicate())
            return CONDITION_MET;
        if (wait.abortable && abortRequested)
            return ABORTED;
        if (wait.skippable && skipRequested)
            return SKIPPED;
        // Waiting for events, not spinning: the abort and skip requests and
        // the awaited answers arrive through them.
        pause();
        frontend.onVpnStartupProgress(progress);
        if (cycle == WARN_CYCLE && wait.warn) {
            qWarning() << "Warning: wait loop lasted more than 30 secs";
            frontend.onReceiveErrorMessage(
                ErrorMessage::GetErrorMessage(progress.getConnectionParameters(), wait.title, wait.text));
        }
    }
}

void StartupWaits::pause() const
{
    QEventLoop loop;
    QTimer::singleShot(pauseMs, &loop, &QEventLoop::quit);
    currentPause = &loop;
    loop.exec();
}

void StartupWaits::wakeUp() const
{
    if (currentPause)
        currentPause->quit();
}

bool StartupWaits::checkDefaultRoute() const
{
    const QString& key = VpnStartupProgress::CHECKING_DEFAULT_ROUTE;
    reportProgress(key, VpnStartupProgress::RUNNING);
    qDebug() << "Waiting for default route";
    const Wait wait {true, false, false, QString(), QString()};
    const Outcome outcome = waitLoop([this] { return os.hasDefaultRoute(); }, wait,
                                     VpnStartupProgress(parameters, key, VpnStartupProgress::WAITING));
    if (outcome == ABORTED) {
        reportProgress(key, VpnStartupProgress::FAILED);
        qDebug() << "Connection aborted before default route was found";
        return false;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qDebug() << "Default route found";
    return true;
}

bool StartupWaits::activateInternetKillSwitchDisabledInterfaces()
{
    const QString& key = VpnStartupProgress::ACTIVATE_INTERFACES;
    reportProgress(key, VpnStartupProgress::RUNNING_SKIPPABLE);
    skipRequested = false;
    // From here on an abort of the start-up disables the services again.
    killSwitchInterfacesActivated = true;
    const QStringList services = settings.internetKillSwitchDisabledInterfaces();
    for (const QString& service : services)
        os.enableInterface(service);
    qDebug() << "Waiting while enabling interfaces...";
    const Outcome outcome = skippableWait(
        [this, &services] { return os.areInterfacesEnabled(services); }, true, key,
        QStringLiteral("One or more interfaces were not enabled properly.\nPlease enable them manually before "
                       "continuing."),
        QStringLiteral("If the interfaces are enabled but the problem persist, skip this step clicking on "
                       "\"Continue\"."));
    settings.setInternetKillSwitchDisabledInterfaces(QStringList());
    if (outcome == SKIPPED) {
        reportProgress(key, VpnStartupProgress::SKIPPED);
        qDebug() << "Operation skipped before interfaces were enabled";
        return true;
    }
    if (outcome == ABORTED) {
        reportProgress(key, VpnStartupProgress::FAILED);
        qDebug() << "Connection aborted before interfaces were enabled";
        return false;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qDebug() << "Interfaces enabled correctly";
    return true;
}

void StartupWaits::disableInternetKillSwitchInterfaces()
{
    const QString& key = VpnStartupProgress::DISABLE_INTERFACES;
    reportProgress(key, VpnStartupProgress::RUNNING_SKIPPABLE);
    skipRequested = false;
    os.disableKillSwitchInterfaces();
    const QStringList services = settings.internetKillSwitchDisabledInterfaces();
    qDebug() << "Waiting while disabling interfaces...";
    // Not abortable: it runs while an abort is being carried out.
    const Outcome outcome = skippableWait(
        [this, &services] { return os.areInterfacesDisabled(services); }, false, key,
        QStringLiteral("One or more interfaces were not disabled properly.\nPlease disable them manually before "
                       "continuing to prevent leaks."),
        QStringLiteral("If the interfaces are disabled but the problem persist, skip this step clicking on "
                       "\"Continue\"."));
    killSwitchInterfacesActivated = false;
    if (outcome == SKIPPED) {
        reportProgress(key, VpnStartupProgress::SKIPPED);
        qDebug() << "Operation skipped before interfaces were disabled";
        return;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qDebug() << "Interfaces disabled.";
}

bool StartupWaits::lookupHostnameBeforeConnecting()
{
    const QString& key = VpnStartupProgress::LOOKUP_HOSTNAME_BEFORE_CONNECTING;
    reportProgress(key, VpnStartupProgress::RUNNING_SKIPPABLE);
    skipRequested = false;
    bool lookupsFinished = false;
    // Destroyed on return, also while look-ups still run after a skip: the
    // connection then uses the cache as it stands.
    LocalDnsJsonRefresh refresh(parameters->getHostNamesList(), false);
    QObject::connect(&refresh, &LocalDnsJsonRefresh::dnslookupfinished, [this, &lookupsFinished] {
        lookupsFinished = true;
        wakeUp();
    });
    // A refresh is created stopped; left so, it would never look anything up.
    refresh.setStopFlag(false);
    os.protectRoutesToDns();
    refresh.doNextLookUpIfNeeded();
    qDebug() << "Waiting while looking up hostname...";
    const Outcome outcome = skippableWait(
        [&lookupsFinished] { return lookupsFinished; }, true, key, QStringLiteral("Hostname could not be resolved."),
        QStringLiteral("You can skip this step clicking on \"Continue\" and try to connect using the DNS cache."));
    refresh.setStopFlag(true);
    os.removeRoutesToDns();
    if (outcome == SKIPPED) {
        reportProgress(key, VpnStartupProgress::SKIPPED);
        qDebug() << "Operation skipped before hostnames were looked up";
        skipRequested = false;
        return true;
    }
    if (outcome == ABORTED) {
        reportProgress(key, VpnStartupProgress::FAILED);
        qDebug() << "Connection aborted before hostnames were looked up";
        return false;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qDebug() << "Hostnames looked up correctly";
    return true;
}

StartupWaits::Outcome StartupWaits::skippableWait(const std::function<bool()>& predicate, bool abortable,
                                                  const QString& key, const QString& title, const QString& text) const
{
    return waitLoop(predicate, {abortable, true, true, title, text},
                    VpnStartupProgress(parameters, key, VpnStartupProgress::WAITING_SKIPPABLE));
}

void StartupWaits::reportProgress(const QString& key, VpnStartupProgress::ProgressState state) const
{
    frontend.onVpnStartupProgress(VpnStartupProgress(parameters, key, state));
}
