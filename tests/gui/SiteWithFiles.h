#pragma once

#include "catalogue/HalvorixServerSite.h"

#include <QFile>
#include <QTemporaryDir>

// A Zurich site whose configuration directory holds the chosen OpenVPN files;
// it offers AES-128-CBC | SHA1 over UDP and AES-256-GCM | SHA512 over TCP.
enum SiteFiles { NO_FILES = 0, UDP_FILE = 1, TCP_FILE = 2, BOTH_FILES = 3 };

inline HalvorixServerSite siteWithFiles(const QTemporaryDir &dir, int files, bool stealth, bool bittorrent)
{
    const auto offer = [](const char *cipher, const char *protocol, const char *auth) {
        return OpenVpnConfigCipher(QLatin1String(cipher), QLatin1String(protocol), 443, QLatin1String(auth), QString(),
                                   QString(), true, QString(), QString(), 0);
    };
    for (const auto &[bit, name] : {std::pair {UDP_FILE, "site-udp.ovpn"}, std::pair {TCP_FILE, "site-tcp.ovpn"}}) {
        QFile file(dir.filePath(QLatin1String(name)));
        if (files & bit)
            file.open(QIODevice::WriteOnly);
    }
    return HalvorixServerSite(QStringLiteral("CH"), QStringLiteral("Zurich"), QStringLiteral("site-udp.ovpn"),
                              QStringLiteral("site-tcp.ovpn"), stealth, bittorrent, QDir(dir.path()),
                              {offer("AES-128-CBC", "UDP", "SHA1"), offer("AES-256-GCM", "TCP", "SHA512")},
                              QHostAddress(), GeoLocation(47.36667, 8.55, QStringLiteral("CH")), QString(), 0);
}
