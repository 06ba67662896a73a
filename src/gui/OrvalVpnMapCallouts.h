#pragma once

#include <QHash>
#include <QPair>
#include <QSharedPointer>
#include <QString>

class QTextDocument;

// The laid-out text documents of the map's callouts, kept from frame to
// frame: laying out a callout costs more than drawing it, and the same few
// callouts come back on every mouse move. Bounded: when full it starts afresh.
class OrvalVpnMapCallouts
{
public:
    OrvalVpnMapCallouts();
    ~OrvalVpnMapCallouts();
    OrvalVpnMapCallouts(const OrvalVpnMapCallouts &) = delete;
    OrvalVpnMapCallouts &operator=(const OrvalVpnMapCallouts &) = delete;

    // The callout document of the HTML with the flag of the country, made on first use.
    QTextDocument &document(const QString &html, const QString &countryCode);

private:
    QHash<QPair<QString, QString>, QSharedPointer<QTextDocument>> m_documents;
};
