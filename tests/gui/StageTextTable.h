#pragma once

#include "core/VpnStartupProgress.h"

#include <QTest>

// The loading page's text for every start-up stage, as the shipped
// translation must give it: columns key, label, tooltip and warning; an empty
// tooltip where the stage has none.
inline void addStageTextRows()
{
    const QString patient = QStringLiteral("Connecting to OrvalVPN is taking unusually long, please be patient");
    const QString firewall =
        QStringLiteral("Connecting to OrvalVPN is taking unusually long, please check your firewall!");
    const QString abortPatient = QStringLiteral("Aborting the connection is taking unusually long, please be patient");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("warning");
    using P = VpnStartupProgress;
    const auto row = [](const QString &key, const QString &label, const QString &tooltip, const QString &warning) {
        QTest::newRow(qPrintable(key)) << key << label << tooltip << warning;
    };
    row(P::INIT_CONNECTION, "Initializing connection", "", patient);
    row(P::PRELIMINARY_CHECKS, "Checking preconditions", "", " ");
    row(P::PREPARE_GENERIC_VPN_ENVIRONMENT, "Preparing VPN", "", patient);
    row(P::PREPARE_OPENVPN_ENVIRONMENT, "Preparing OpenVPN", "", patient);
    row(P::PREPARE_OPENCONNECT_ENVIRONMENT, "Preparing OpenConnect", "", patient);
    row(P::GENERIC_VPN_STARTING, "Starting VPN", "Please wait while the VPN program is starting", firewall);
    row(P::OPENVPN_STARTING, "Starting OpenVPN", "Please wait while OpenVPN is starting", firewall);
    row(P::OPENCONNECT_STARTING, "Starting OpenConnect", "Please wait while OpenConnect is starting", firewall);
    row(P::DISABLE_INTERFACES, "Disabling network interfaces",
        "Please wait while the operative system disables the interfaces",
        "Aborting the connection is taking unusually long, please disable the interfaces manually");
    row(P::ACTIVATE_INTERFACES, "Enabling network interfaces",
        "Please wait while the operative system enables the interfaces",
        "Connecting to OrvalVPN is taking unusually long, please enable the interfaces manually");
    row(P::CHECKING_DEFAULT_ROUTE, "Discovering default route", "Checking if Internet is reachable",
        "You are offline!");
    row(P::ENABLE_SEAMLESS_RECONNECT, "Enabling seamless reconnect", "", patient);
    row(P::DISABLE_SEAMLESS_RECONNECT, "Disabling seamless reconnect", "", abortPatient);
    row(P::ENABLE_IPV6_PROTECTION, "Enabling IPv6 leak protection", "", patient);
    row(P::DISABLE_IPV6_PROTECTION, "Disabling IPv6 leak protection", "", abortPatient);
    row(P::LOOKUP_HOSTNAME_BEFORE_CONNECTING, "Resolving VPN server IP address", "Resolving the server hostname",
        "Resolving the server hostname is taking unusually long. You can skip this operation. The hostname will be "
        "refreshed once you are connected");
}
