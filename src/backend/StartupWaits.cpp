#include "backend/StartupWaits.h"

#include "backend/ConnectionParameters.h"
#include "backend/ErrorMessage.h"
#include "backend/VpnFrontend.h"
#include "system/OsAbstraction.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

StartupWaits::StartupWaits(VpnFrontend& frontend, OsAbstraction& os, QSharedPointer<ConnectionParameters> parameters,
                           const bool& abortRequested, const bool& skipRequested, unsigned long pauseMs)
    : frontend(frontend)
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
        if (cycle >= wait.maxCycles) {
            qWarning() << "Warning: wait loop gave up after" << cycle << "cycles";
            return TIMED_OUT;
        }
        // Sleeping, not spinning: the abort and skip requests arrive through
        // the event processing that follows.
        QThread::msleep(pauseMs);
        frontend.onVpnStartupProgress(progress);
        QCoreApplication::processEvents();
        if (cycle == WARN_CYCLE && wait.warn) {
            qWarning() << "Warning: wait loop lasted more than 30 secs";
            frontend.onReceiveErrorMessage(
                ErrorMessage::GetErrorMessage(progress.getConnectionParameters(), wait.title, wait.text));
        }
    }
}

bool StartupWaits::checkDefaultRoute() const
{
    const QString& key = VpnStartupProgress::CHECKING_DEFAULT_ROUTE;
    reportProgress(key, VpnStartupProgress::RUNNING);
    qDebug() << "Waiting for default route";
    const Wait wait {true, false, false, QString(), QString(), DEFAULT_ROUTE_CYCLES};
    const Outcome outcome = waitLoop([this] { return os.hasDefaultRoute(); }, wait,
                                     VpnStartupProgress(parameters, key, VpnStartupProgress::WAITING));
    switch (outcome) {
    case CONDITION_MET:
    case SKIPPED: // not skippable; kept for completeness of the switch
        reportProgress(key, VpnStartupProgress::SUCCESS);
        qDebug() << "Default route found";
        return true;
    case ABORTED:
        reportProgress(key, VpnStartupProgress::FAILED);
        qDebug() << "Connection aborted before default route was found";
        return false;
    case TIMED_OUT:
        break;
    }
    // Starting the engine without a default route would only fail later and
    // less clearly; tell the user now.
    reportProgress(key, VpnStartupProgress::FAILED);
    qWarning() << "No default route appeared; the start-up stops";
    frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
        parameters, QStringLiteral("Default route could not be found."),
        QStringLiteral("Check that this computer is connected to a network, then connect again.")));
    return false;
}

void StartupWaits::reportProgress(const QString& key, VpnStartupProgress::ProgressState state) const
{
    frontend.onVpnStartupProgress(VpnStartupProgress(parameters, key, state));
}
