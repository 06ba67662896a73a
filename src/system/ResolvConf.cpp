#include "system/ResolvConf.h"

#include "system/SystemLogging.h"

#include <QDebug>
#include <QTextStream>

ResolvConf::ResolvConf(const QString &path)
    : m_file(path)
{
}

QStringList ResolvConf::currentContentAsLines()
{
    QStringList lines;
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    m_file.seek(0);
    QTextStream stream(&m_file);
    while (!stream.atEnd())
        lines << stream.readLine();
    m_file.close();
    return lines;
}

QList<QHostAddress> ResolvConf::getCurrentDNSAddresses()
{
    qCDebug(lcSystem) << "Getting current DNS list";
    const QString prefix = QStringLiteral("nameserver ");
    QList<QHostAddress> addresses;
    for (const QString &line : currentContentAsLines()) {
        if (!line.startsWith(prefix))
            continue;
        const QString rest = line.mid(prefix.size());
        qCDebug(lcSystem).noquote() << "DNS found:" << rest;
        const QHostAddress address(rest.trimmed());
        if (!address.isNull() && address.toString() != QLatin1String("0.0.0.0"))
            addresses << address;
        else
            qCDebug(lcSystem).noquote() << "Warning nameserver address could not be added. Line:" << line;
    }
    return addresses;
}
