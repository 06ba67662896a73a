#pragma once

class ConnectionParameters;
class HalvorixServerSite;
class QLabel;

// The top rows that the loading and status pages share: where the site is
// and what the connection uses.
class ConnectionSummary
{
public:
    struct Labels
    {
        QLabel *flag;
        QLabel *country;
        QLabel *city;
        QLabel *stealthIcon;
        QLabel *stealthLabel;
        QLabel *protocol;
        QLabel *cipher;
        QLabel *cipherWarningSign;
    };

    // The country's flag and name (the empty flag for an unknown code) and the city.
    static void showSite(QLabel &flag, QLabel &country, QLabel &city, const HalvorixServerSite &site);
    // The site, stealth mode, protocol and cipher; the warning sign only for
    // the cipher named exactly "none".
    static void show(const Labels &labels, const ConnectionParameters &parameters);
};
