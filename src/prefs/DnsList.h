#pragma once

#include "prefs/DnsListEntry.h"

#include <QList>
#include <QStringList>

// The user's name-server entries, headed by the built-in public resolvers.
class DnsList : public QList<DnsListEntry>
{
public:
    DnsList() = default;
    DnsList(const QList<DnsListEntry> &entries)
        : QList<DnsListEntry>(entries)
    {
    }

    QStringList getNames() const;

    // The built-in resolvers go first, ahead of whatever the list holds.
    void addHardCodedEntries();
};
