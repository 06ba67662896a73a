#include "openconnect/VpncScript.h"

#include "core/ErrorMessage.h"
#include "core/VpnFrontend.h"
#include "openvpn/EngineLogging.h"
#include "openvpn/PushedOptions.h"
#include "prefs/Settings.h"
#include "system/OsAbstraction.h"

#include <QDebug>
#include <QRegularExpression>

#include <functional>
#include <stdexcept>

namespace {

const QString REASON = QStringLiteral("reason");
const QString TUNIDX = QStringLiteral("TUNIDX");
const QString TUNDEV = QStringLiteral("TUNDEV");
const QString GATEWAY = QStringLiteral("VPNGATEWAY");
const QString ADDRESS = QStringLiteral("INTERNAL_IP4_ADDRESS");
const QString NETMASK = QStringLiteral("INTERNAL_IP4_NETMASK");

bool is(const QString &reason, const char *name)
{
    return reason.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// Dotted quad only: the shorthand forms ("198.18.0") parse, but never mean
// what a vpnc-script environment says.
bool isIpv4(const QString &text)
{
    QHostAddress address;
    return text.count(QLatin1Char('.')) == 3 && address.setAddress(text)
           && address.protocol() == QAbstractSocket::IPv4Protocol;
}

bool isNetmask(const QString &text)
{
    if (!isIpv4(text))
        return false;
    const quint32 mask = QHostAddress(text).toIPv4Address();
    return mask != 0 && (~mask & (~mask + 1)) == 0; // contiguous ones from the top
}

// Runs one system change and tells whether the system layer reported a failure.
bool succeeds(OsAbstraction &os, const std::function<void()> &change)
{
    bool failed = false;
    const QMetaObject::Connection watch = QObject::connect(
        &os, &OsAbstraction::errorMessage, [&failed](const QString &, const QString &) { failed = true; });
    change();
    QObject::disconnect(watch);
    return !failed;
}

} // namespace

VpncScript::VpncScript(VpnFrontend &frontend, QSharedPointer<ConnectionParameters> parameters,
                       const PushedOptions &options)
    : m_frontend(frontend)
    , m_parameters(std::move(parameters))
{
    const QHash<QString, QString> environment = options.getOptions();
    for (auto it = environment.begin(); it != environment.end(); ++it)
        m_environment.insert(it.key(), it.value());
    qCDebug(lcEngine) << "VpncScript constructor. Environment variables:";
    for (auto it = m_environment.begin(); it != m_environment.end(); ++it)
        qCDebug(lcEngine).noquote() << it.key() + " : " + it.value();
    validate();
}

void VpncScript::reject(const QString &message) const
{
    qCDebug(lcEngine).noquote() << message;
    throw std::invalid_argument("VpncScript::constructor");
}

void VpncScript::validate() const
{
    if (!m_environment.contains(REASON))
        reject(QStringLiteral("The environment variable 'reason' is missing."));
    const QString why = reason();
    const bool hasDevice = m_environment.contains(TUNIDX) || m_environment.contains(TUNDEV);
    if (is(why, "connect")) {
        if (!m_environment.contains(ADDRESS) || !m_environment.contains(NETMASK) || !hasDevice
            || !m_environment.contains(GATEWAY))
            reject(QStringLiteral("When 'reason=connect' the following environment variables are mandatory: "
                                  "INTERNAL_IP4_ADDRESS, INTERNAL_IP4_NETMASK, TUNIDX|TUNDEV, VPNGATEWAY"));
        // Present is not enough for the steps that change the system: a garbled
        // value would become a null address or a bogus interface name.
        if (!isIpv4(m_environment.value(ADDRESS)) || !isNetmask(m_environment.value(NETMASK))
            || address(GATEWAY).isNull() || !isValidDeviceName(device()))
            reject(QStringLiteral("When 'reason=connect' the environment holds an invalid address, netmask, "
                                  "gateway or device name."));
    } else if (is(why, "reconnecting")) {
        if (!m_environment.contains(GATEWAY))
            reject(QStringLiteral("When 'reason=reconnecting' the following environment variables are mandatory: "
                                  "VPNGATEWAY"));
        if (address(GATEWAY).isNull())
            reject(QStringLiteral("When 'reason=reconnecting' the environment holds an invalid gateway."));
    } else if (is(why, "disconnect")) {
        if (!hasDevice)
            reject(QStringLiteral("When 'reason=disconnect' the following environment variables are mandatory: "
                                  "TUNIDX|TUNDEV"));
    }
}

bool VpncScript::isValidDeviceName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9_.-]{0,14}$"));
    return pattern.match(name).hasMatch();
}

QString VpncScript::reason() const
{
    return m_environment.value(REASON);
}

QString VpncScript::device() const
{
    if (m_environment.contains(TUNIDX))
        return m_environment.value(TUNIDX);
    return m_environment.value(TUNDEV);
}

QHostAddress VpncScript::address(const QString &name) const
{
    return QHostAddress(m_environment.value(name));
}

void VpncScript::tellUser(const QString &message, const QString &informativeText) const
{
    m_frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(m_parameters, message, informativeText));
}

bool VpncScript::execute(OsAbstraction &os, Settings &settings)
{
    const QString why = reason();
    if (is(why, "pre-init")) {
        qCDebug(lcEngine) << "vpncscript pre-init";
        return true;
    }
    if (is(why, "connect"))
        return connectScript(os, settings);
    if (is(why, "reconnecting"))
        return reconnectingScript(os, settings);
    if (is(why, "reconnect")) {
        qCDebug(lcEngine) << "vpncscript reconnect";
        return true;
    }
    if (is(why, "disconnect"))
        return disconnectScript(os, settings);
    qCDebug(lcEngine) << "VpncScript Error: unexpected reason";
    tellUser(QStringLiteral("A problem occurred while setting up the network."),
             QStringLiteral("Aborting connection..."));
    return false;
}

bool VpncScript::connectScript(OsAbstraction &os, Settings &) const
{
    qCDebug(lcEngine) << "vpncscript connect";
    const QString tunnel = device();
    const QHostAddress gateway = address(GATEWAY);
    const QHostAddress local = address(ADDRESS);
    const QHostAddress netmask = address(NETMASK);
    const bool done = succeeds(os, [&] { os.protectHost(gateway); }) && succeeds(os, [&] { os.setInterfaceUp(tunnel); })
                      && succeeds(os, [&] { os.setIPv4AddressAndGateway(tunnel, local, netmask, local); })
                      && succeeds(os, [&] { os.add4SplittedRoutesToInterface(tunnel); });
    if (done)
        return true;
    qCDebug(lcEngine) << "vpncscript connect: a network change failed, taking the others back";
    undoConnect(os);
    tellUser(QStringLiteral("A problem occurred while setting up the network."),
             QStringLiteral("Aborting connection..."));
    return false;
}

bool VpncScript::reconnectingScript(OsAbstraction &os, Settings &) const
{
    qCDebug(lcEngine) << "vpncscript reconnecting";
    const QHostAddress gateway = address(GATEWAY);
    const bool released = succeeds(os, [&] { os.releaseHost(gateway); });
    if (!released)
        qCDebug(lcEngine) << "vpncscript reconnecting: the old route to the server could not be removed";
    if (succeeds(os, [&] { os.protectHost(gateway); }))
        return true;
    // Without the host route the engine's own traffic would enter the tunnel.
    tellUser(QStringLiteral("A problem occurred while setting up the network."),
             QStringLiteral("Aborting connection..."));
    return false;
}

void VpncScript::undoConnect(OsAbstraction &os) const
{
    const QString tunnel = device();
    os.remove4SplittedRoutes();
    os.releaseHost(address(GATEWAY));
    os.deleteIPv4Address(tunnel, address(ADDRESS), address(NETMASK));
    os.setInterfaceDown(tunnel);
}

bool VpncScript::disconnectScript(OsAbstraction &os, Settings &) const
{
    qCDebug(lcEngine) << "vpncscript disconnect";
    undoConnect(os);
    return true;
}

bool VpncScript::createAndExecuteVpncScript(OsAbstraction &os, QSharedPointer<ConnectionParameters> parameters,
                                            VpnFrontend &frontend, const PushedOptions &options)
{
    Settings settings;
    try {
        VpncScript script(frontend, parameters, options);
        return script.execute(os, settings);
    } catch (const std::invalid_argument &e) {
        frontend.onReceiveErrorMessage(ErrorMessage::GetErrorMessage(
            parameters, QStringLiteral("An error occurred while configuring the network."),
            QStringLiteral("VPN connection could not work.")));
        qCDebug(lcEngine) << "Error executing vpnc-script: " << e.what();
        return false;
    }
}
