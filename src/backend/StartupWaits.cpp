#include "backend/StartupWaits.h"

#include "backend/BackendLogging.h"
#include "catalogue/ConnectionParameters.h"
#include "catalogue/LocalDnsJsonRefresh.h"
#include "core/ErrorMessage.h"
#include "core/VpnFrontend.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"

#include <QDebug>
#include <QTimer>

StartupWaits::StartupWaits(Settings &settings, VpnFrontend &frontend, OsAbstraction &os,
                           QSharedPointer<ConnectionParameters> parameters, const bool &abortRequested,
                           bool &skipRequested, unsigned long pauseMs)
    : m_settings(settings)
    , m_frontend(frontend)
    , m_os(os)
    , m_parameters(std::move(parameters))
    , m_abortRequested(abortRequested)
    , m_skipRequested(skipRequested)
    , pauseMs(pauseMs)
{
}

StartupWaits::Outcome StartupWaits::waitLoop(const std::function<bool()> &predicate, const Wait &wait,
                                             const VpnStartupProgress &progress) const
{
    for (int cycle = 0;; ++cycle) {
        if (predicate())
            return CONDITION_MET;
        if (wait.abortable && m_abortRequested)
            return ABORTED;
        if (wait.skippable && m_skipRequested)
            return SKIPPED;
        // Waiting for events, not spinning: the abort and skip requests and
        // the awaited answers arrive through them.
        pause();
        m_frontend.onVpnStartupProgress(progress);
        if (cycle == WARN_CYCLE && wait.warn) {
            qCWarning(lcBackend) << "Warning: wait loop lasted more than 30 secs";
            m_frontend.onReceiveErrorMessage(
                ErrorMessage::GetErrorMessage(progress.getConnectionParameters(), wait.title, wait.text));
        }
    }
}

void StartupWaits::pause() const
{
    QEventLoop loop;
    QTimer::singleShot(pauseMs, &loop, &QEventLoop::quit);
    m_currentPause = &loop;
    loop.exec();
}

void StartupWaits::wakeUp() const
{
    if (m_currentPause)
        m_currentPause->quit();
}

bool StartupWaits::checkDefaultRoute() const
{
    const QString &key = VpnStartupProgress::CHECKING_DEFAULT_ROUTE;
    reportProgress(key, VpnStartupProgress::RUNNING);
    qCDebug(lcBackend) << "Waiting for default route";
    const Wait wait {true, false, false, QString(), QString()};
    const Outcome outcome = waitLoop([this] { return m_os.hasDefaultRoute(); }, wait,
                                     VpnStartupProgress(m_parameters, key, VpnStartupProgress::WAITING));
    if (outcome == ABORTED) {
        reportProgress(key, VpnStartupProgress::FAILED);
        qCDebug(lcBackend) << "Connection aborted before default route was found";
        return false;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qCDebug(lcBackend) << "Default route found";
    return true;
}

bool StartupWaits::activateInternetKillSwitchDisabledInterfaces()
{
    const QString &key = VpnStartupProgress::ACTIVATE_INTERFACES;
    reportProgress(key, VpnStartupProgress::RUNNING_SKIPPABLE);
    m_skipRequested = false;
    // From here on an abort of the start-up disables the services again.
    m_killSwitchInterfacesActivated = true;
    const QStringList services = m_settings.internetKillSwitchDisabledInterfaces();
    for (const QString &service : services)
        m_os.enableInterface(service);
    qCDebug(lcBackend) << "Waiting while enabling interfaces...";
    const Outcome outcome = skippableWait(
        [this, &services] { return m_os.areInterfacesEnabled(services); }, true, key,
        QStringLiteral("One or more interfaces were not enabled properly.\nPlease enable them manually before "
                       "continuing."),
        QStringLiteral("If the interfaces are enabled but the problem persist, skip this step clicking on "
                       "\"Continue\"."));
    m_settings.setInternetKillSwitchDisabledInterfaces(QStringList());
    if (outcome == SKIPPED) {
        reportProgress(key, VpnStartupProgress::SKIPPED);
        qCDebug(lcBackend) << "Operation skipped before interfaces were enabled";
        return true;
    }
    if (outcome == ABORTED) {
        reportProgress(key, VpnStartupProgress::FAILED);
        qCDebug(lcBackend) << "Connection aborted before interfaces were enabled";
        return false;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qCDebug(lcBackend) << "Interfaces enabled correctly";
    return true;
}

void StartupWaits::disableInternetKillSwitchInterfaces()
{
    const QString &key = VpnStartupProgress::DISABLE_INTERFACES;
    reportProgress(key, VpnStartupProgress::RUNNING_SKIPPABLE);
    m_skipRequested = false;
    m_os.disableKillSwitchInterfaces();
    const QStringList services = m_settings.internetKillSwitchDisabledInterfaces();
    qCDebug(lcBackend) << "Waiting while disabling interfaces...";
    // Not abortable: it runs while an abort is being carried out.
    const Outcome outcome = skippableWait(
        [this, &services] { return m_os.areInterfacesDisabled(services); }, false, key,
        QStringLiteral("One or more interfaces were not disabled properly.\nPlease disable them manually before "
                       "continuing to prevent leaks."),
        QStringLiteral("If the interfaces are disabled but the problem persist, skip this step clicking on "
                       "\"Continue\"."));
    m_killSwitchInterfacesActivated = false;
    if (outcome == SKIPPED) {
        reportProgress(key, VpnStartupProgress::SKIPPED);
        qCDebug(lcBackend) << "Operation skipped before interfaces were disabled";
        return;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qCDebug(lcBackend) << "Interfaces disabled.";
}

bool StartupWaits::lookupHostnameBeforeConnecting()
{
    const QString &key = VpnStartupProgress::LOOKUP_HOSTNAME_BEFORE_CONNECTING;
    reportProgress(key, VpnStartupProgress::RUNNING_SKIPPABLE);
    m_skipRequested = false;
    bool lookupsFinished = false;
    // Destroyed on return, also while look-ups still run after a skip: the
    // connection then uses the cache as it stands.
    LocalDnsJsonRefresh refresh(m_parameters->getHostNamesList(), false);
    QObject::connect(&refresh, &LocalDnsJsonRefresh::dnslookupfinished, [this, &lookupsFinished] {
        lookupsFinished = true;
        wakeUp();
    });
    // A refresh is created stopped; left so, it would never look anything up.
    refresh.setStopFlag(false);
    m_os.protectRoutesToDns();
    refresh.doNextLookUpIfNeeded();
    qCDebug(lcBackend) << "Waiting while looking up hostname...";
    const Outcome outcome = skippableWait(
        [&lookupsFinished] { return lookupsFinished; }, true, key, QStringLiteral("Hostname could not be resolved."),
        QStringLiteral("You can skip this step clicking on \"Continue\" and try to connect using the DNS cache."));
    refresh.setStopFlag(true);
    m_os.removeRoutesToDns();
    if (outcome == SKIPPED) {
        reportProgress(key, VpnStartupProgress::SKIPPED);
        qCDebug(lcBackend) << "Operation skipped before hostnames were looked up";
        m_skipRequested = false;
        return true;
    }
    if (outcome == ABORTED) {
        reportProgress(key, VpnStartupProgress::FAILED);
        qCDebug(lcBackend) << "Connection aborted before hostnames were looked up";
        return false;
    }
    reportProgress(key, VpnStartupProgress::SUCCESS);
    qCDebug(lcBackend) << "Hostnames looked up correctly";
    return true;
}

StartupWaits::Outcome StartupWaits::skippableWait(const std::function<bool()> &predicate, bool abortable,
                                                  const QString &key, const QString &title, const QString &text) const
{
    return waitLoop(predicate, {abortable, true, true, title, text},
                    VpnStartupProgress(m_parameters, key, VpnStartupProgress::WAITING_SKIPPABLE));
}

void StartupWaits::reportProgress(const QString &key, VpnStartupProgress::ProgressState state) const
{
    m_frontend.onVpnStartupProgress(VpnStartupProgress(m_parameters, key, state));
}
