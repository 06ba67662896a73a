#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/OpenVpnConfigCipher.h"

#include <QString>

// The controller of the connect page's transport, port, cipher and stunnel
// controls for one tunnel type. Not a widget: the page owns the controls.
class AbstractSetupConnectWidget
{
public:
    virtual ~AbstractSetupConnectWidget() = default;

    // Fills every control for the site and selects the stored choice.
    virtual void setUpComboBoxesFromSettings(const HalvorixServerSite &site, bool preferStealth) = 0;
    // Refills every control for the site, keeping what the controls showed.
    virtual void setUpComboBoxesFromUI(const HalvorixServerSite &site, bool preferStealth) = 0;
    // Shows the "none" cipher warnings and the stealth indication as the
    // current choice and the site call for.
    virtual void updateCipherIcons(const HalvorixServerSite &site) = 0;
    virtual OpenVpnConfigCipher getCurrentConfigCipher(const HalvorixServerSite &site) const = 0;
    virtual QString getCurrentCipherString() const = 0;
    virtual bool isSTunnelEnabled() const = 0;
    // Whether the site offers a transport the preferences allow. Without one
    // the page must not connect: Connect stays disabled.
    virtual bool isTransportAvailable() const = 0;
};
