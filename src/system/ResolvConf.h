#pragma once

#include <QFile>
#include <QHostAddress>
#include <QList>
#include <QStringList>

// The name servers of a resolver file (the system's is /etc/resolv.conf); read only.
class ResolvConf
{
public:
    explicit ResolvConf(const QString &path);

    // Empty when the file cannot be read.
    QStringList currentContentAsLines();
    // The "nameserver " lines' addresses in file order, 0.0.0.0 and unparsable ones left out.
    QList<QHostAddress> getCurrentDNSAddresses();

private:
    QFile m_file;
};
