#pragma once

#include "core/ConnectionFailure.h"

#include <QByteArray>
#include <QString>

// Pure readers of the texts the OpenConnect engine sends on cmd_fd.
class OpenConnectProgress
{
public:
    struct Cipher
    {
        bool valid = false;
        QString tlsVersion;
        QString cipher;
    };

    struct Counters
    {
        bool valid = false;
        quint64 received = 0;
        quint64 sent = 0;
    };

    // The text of a ">VPNINFO_PROGRESS" line: after the keyword and one
    // separator, Latin-1 up to the first NUL byte.
    static QString progressText(const QByteArray &line);
    // What follows a keyword and its one separator character.
    static QString rest(const QString &text, const QString &keyword);

    // "CSTP Ciphersuite: (TLS1.2)-(ECDHE-RSA-SECP256R1)-(AES-256-GCM)" gives
    // TLSv1.2 and ECDHE-AES-256-GCM: the protocol group, the first word of the
    // key-exchange group and the last group (the bulk cipher). TLS 1.3 puts a
    // signature group in between, hence the last group rather than the third.
    static Cipher parseCipherSuite(const QString &text);
    // The first token of "198.18.0.2, using SSL" or "198.18.0.2 + fd00::2, ...".
    static QString parseLocalAddress(const QString &rest);
    // "12, 34": received then sent; a field that is no number counts 0.
    static Counters parseByteCounts(const QString &rest);
    // Engine texts that describe a failure worth reporting at termination.
    static bool isErrorText(const QString &text);
    // The cause an error text names: "Failed to connect to H:443: Connection
    // refused" (or an unreachable host) and a failed name look-up; a null
    // failure for any other text.
    static ConnectionFailure failureOf(const QString &text);
};
