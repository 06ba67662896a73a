#pragma once

class OsAbstraction;
class Settings;

// Brings back the network services that the internet kill switch disabled;
// on destruction too, when the preferences ask for it on close.
class InternetKillSwitchManager
{
public:
    explicit InternetKillSwitchManager(OsAbstraction &osAbstraction);
    ~InternetKillSwitchManager();

    InternetKillSwitchManager(const InternetKillSwitchManager &) = delete;
    InternetKillSwitchManager &operator=(const InternetKillSwitchManager &) = delete;

    // Enables every recorded service in record order, then empties the record.
    static void enableInterfaces(OsAbstraction &os, Settings &settings);

private:
    OsAbstraction &m_osAbstraction;
};
