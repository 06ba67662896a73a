#pragma once

#include "FakeConnectionParameters.h"

// Parameters that carry the three start-up check settings through their
// with* copies, as the real ones do, and count how often the site was
// refreshed from the preferences.
class CheckedParameters : public FakeConnectionParameters
{
public:
    Settings::IksSettings iks = Settings::ASK;
    bool routeCheck = true;
    bool tunTapCheck = true;
    int refreshCount = 0;

    Settings::IksSettings getIksSettings() const override { return iks; }
    bool getManageRouteProgramCheck() const override { return routeCheck; }
    bool getTunTapDriverCheck() const override { return tunTapCheck; }

    QSharedPointer<ConnectionParameters> withIksSettings(Settings::IksSettings value) override
    {
        QSharedPointer<CheckedParameters> copy = clone();
        copy->iks = value;
        return copy;
    }
    QSharedPointer<ConnectionParameters> withManageRouteProgramCheck(bool value) override
    {
        QSharedPointer<CheckedParameters> copy = clone();
        copy->routeCheck = value;
        return copy;
    }
    QSharedPointer<ConnectionParameters> withTunTapDriverCheck(bool value) override
    {
        QSharedPointer<CheckedParameters> copy = clone();
        copy->tunTapCheck = value;
        return copy;
    }
    void refreshServerSite(Settings &) override { ++refreshCount; }

    // "iks=N route=0|1 tuntap=0|1"
    QString describe() const
    {
        return QStringLiteral("iks=%1 route=%2 tuntap=%3").arg(int(iks)).arg(int(routeCheck)).arg(int(tunTapCheck));
    }

private:
    QSharedPointer<CheckedParameters> clone() const
    {
        QSharedPointer<CheckedParameters> copy(new CheckedParameters);
        copy->iks = iks;
        copy->routeCheck = routeCheck;
        copy->tunTapCheck = tunTapCheck;
        return copy;
    }
};
