#include "prefs/DnsList.h"

QStringList DnsList::getNames() const
{
    QStringList names;
    for (const DnsListEntry &entry : *this)
        names << entry.getName();
    return names;
}

void DnsList::addHardCodedEntries()
{
    const auto builtIn = [](const char *name, const char *dns1, const char *dns2) {
        return DnsListEntry(QLatin1String(name), QHostAddress(QLatin1String(dns1)), QHostAddress(QLatin1String(dns2)),
                            false);
    };
    const QList<DnsListEntry> entries {
        builtIn("Level3", "4.2.2.2", "4.2.2.3"),
        builtIn("Google", "8.8.8.8", "8.8.4.4"),
        builtIn("OpenDNS", "208.67.222.222", "208.67.220.220"),
        builtIn("Cloudflare", "1.1.1.1", "1.0.0.1"),
        builtIn("Quad9", "9.9.9.9", ""),
    };
    for (int i = 0; i < entries.size(); ++i)
        insert(i, entries.at(i));
}
