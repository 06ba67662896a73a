#pragma once

#include <QStringList>

class Settings;

// The name servers of each connection stage, from the DNS preferences.
class DnsStages
{
public:
    static QStringList getStartupDns(Settings &settings);
    static QStringList getOnConnectDns(Settings &settings);
    static QStringList getAfterConnectDns(Settings &settings);

    // The entries that are plain IPv4 or IPv6 addresses, in their canonical
    // text and in the given order; anything else (names, options, stray
    // words from the server) is logged and left out, so it never reaches
    // the system's resolver settings.
    static QStringList validNameServers(const QStringList &servers);
};
