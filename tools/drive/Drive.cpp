#include "Drive.h"

#include "EventLog.h"
#include "StageLog.h"

#include "BuildConfig.h"
#include "backend/OpenVpnConnectionParameters.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/OpenVpnConfigCipher.h"
#include "core/NullHandler.h"
#include "gui/GuiVpnStartup.h"
#include "openconnect/OpenConnectConnectionParameters.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
// Longer than the web clients' own inactivity limit, so a hung update host
// shows up as that request's failure first.
const int UPDATE_CHECK_BOUND_MS = 45000;
const int QUIT_BOUND_MS = 30000;
} // namespace

Drive::Drive(const EventLog &log, const DriveOptions &options)
    : m_log(log)
    , m_options(options)
    , m_services(m_os, BackendServices::WebSetup::product())
    , m_backend(m_services.backend)
    , m_killSwitchManager(m_os)
    , m_frontend(new PrintingFrontend(log))
    , m_updateCheck(m_services.networkAccessManager, UPDATE_CHECK_BOUND_MS)
{
    connect(m_frontend.data(), &PrintingFrontend::newConfigWasDownloaded, &m_updateCheck,
            &UpdateCheckWait::onNewConfigWasDownloaded);
    connect(m_frontend.data(), &PrintingFrontend::connected, this, [this] { m_connected = true; });
    connect(m_frontend.data(), &PrintingFrontend::terminated, this, &Drive::onRunEnded);
    // No engine ran, so no end of one will be reported.
    connect(m_frontend.data(), &PrintingFrontend::startupEnded, this, &Drive::onRunEnded);
    connect(&m_updateCheck, &UpdateCheckWait::settled, this, &Drive::onUpdateCheckSettled);
    connect(&m_commands, &StdinLines::line, this, &Drive::execute);
    connect(&m_commands, &StdinLines::ended, this, &Drive::quit);
    m_quitBound.setSingleShot(true);
    connect(&m_quitBound, &QTimer::timeout, this,
            [this] { finish(Normal, QStringLiteral("The connection did not end | quitting anyway")); });
    m_connectTimeout.setSingleShot(true);
    connect(&m_connectTimeout, &QTimer::timeout, this, &Drive::onConnectTimeout);
    // Attached before init, so that nothing the backend reports is missed.
    m_services.dispatcher.add(m_frontend);
}

Drive::~Drive()
{
    // The frontend hears the services' teardown (see BackendServices); this
    // object's own members are gone by then.
    m_frontend->disconnect(this);
}

void Drive::start()
{
    const bool recoverDnsStack = !Settings().getDnsStackNames().isEmpty();
    m_backend.init(QSharedPointer<OpenVpnLifeCycleHandler>(new StageLog(m_log)), recoverDnsStack);
}

void Drive::onUpdateCheckSettled()
{
    if (m_quitting)
        return;
    if (!HalvorixConfig::hasValidConfig()) {
        finish(NoCatalogue, QStringLiteral("No valid server catalogue | the update check installed none"));
        return;
    }
    const QList<HalvorixServerSite> sites = HalvorixConfig::getServerSites();
    const auto site = std::find_if(sites.cbegin(), sites.cend(), [this](const HalvorixServerSite &candidate) {
        return candidate.getId() == m_options.site();
    });
    m_log.print(QStringLiteral("config-ready"));
    if (site == sites.cend()) {
        QStringList known;
        for (const HalvorixServerSite &candidate : sites)
            known << candidate.getId();
        finish(
            SiteNotFound,
            QStringLiteral("Site not found | %1 is none of: %2").arg(m_options.site(), known.join(QLatin1Char(' '))));
        return;
    }
    connectTo(*site);
}

void Drive::connectTo(const HalvorixServerSite &site)
{
    Settings settings;
    const QSharedPointer<ConnectionParameters> parameters = connectionParameters(settings, site);
    m_running = true;
    m_connected = false;
    if (m_options.connectTimeout() > 0)
        m_connectTimeout.start(m_options.connectTimeout() * 1000);
    m_log.print(QStringLiteral("start ") + site.getId());
    GuiVpnStartup(m_backend, settings, m_os).startVPN(parameters, m_options.user(), m_options.password());
}

QSharedPointer<ConnectionParameters> Drive::connectionParameters(Settings &settings,
                                                                 const HalvorixServerSite &site) const
{
    if (m_options.tunnel() == DriveOptions::Tunnel::OpenConnect) {
        return QSharedPointer<ConnectionParameters>(new OpenConnectConnectionParameters(
            site, m_options.openConnectVia(), settings.iksEnableOnConnect(), settings.getCheckTunTapOnConnect(), true));
    }
    // The site's default offer for the transport's protocol.
    const ConnectVia &via = m_options.openVpnVia();
    const OpenVpnConfigCipher offer = site.getDefaultCipherFor(via.getProtocol());
    const BackendOpenVPNConfigCipher cipher =
        site.getBackendCipher(via.getProtocol(), offer.getCipher(), offer.getPort(), offer.getAuth());
    return QSharedPointer<ConnectionParameters>(new OpenVpnConnectionParameters(
        site, via, cipher, m_options.stunnel() ? ConnectionParameters::WITH_STUNNEL : ConnectionParameters::NO_STUNNEL,
        settings.iksEnableOnConnect(), settings.getCheckTunTapOnConnect(), true));
}

void Drive::execute(const QString &line)
{
    if (line.trimmed().isEmpty())
        return;
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    if (command == QLatin1String("stop")) {
        m_backend.stopVPN();
    } else if (command == QLatin1String("abort")) {
        m_backend.abort();
    } else if (command == QLatin1String("skip")) {
        m_backend.skip();
    } else if (command == QLatin1String("login")) {
        // The password is everything after the user name, blanks included.
        m_backend.login(line.section(QLatin1Char(' '), 1, 1), line.section(QLatin1Char(' '), 2));
    } else if (command == QLatin1String("quit")) {
        quit();
    } else {
        m_log.print(QStringLiteral("error Unknown command | ") + line);
    }
}

void Drive::onRunEnded()
{
    m_running = false;
    m_connected = false;
    m_connectTimeout.stop();
    if (m_quitting)
        finish(Normal);
}

void Drive::onConnectTimeout()
{
    if (m_connected || !m_running)
        return;
    m_log.print(QStringLiteral("error Connect timeout | not connected after %1 s").arg(m_options.connectTimeout()));
    m_backend.abort();
}

void Drive::quit()
{
    if (m_quitting)
        return;
    m_quitting = true;
    if (!m_running) {
        finish(Normal);
        return;
    }
    m_quitBound.start(QUIT_BOUND_MS);
    if (m_connected)
        m_backend.stopVPN();
    else
        m_backend.abort();
}

void Drive::finish(int exitCode, const QString &error)
{
    if (!error.isEmpty())
        m_log.print(QStringLiteral("error ") + error);
    m_quitting = true;
    m_quitBound.stop();
    m_commands.stop();
    QCoreApplication::exit(exitCode);
}
