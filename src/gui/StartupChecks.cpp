#include "gui/StartupChecks.h"

#include "catalogue/ConnectionParameters.h"
#include "catalogue/HalvorixConfig.h"
#include "catalogue/HalvorixServerSite.h"
#include "catalogue/HalvorixServerSitesList.h"
#include "catalogue/OpenVpnConfigurationModel.h"
#include "catalogue/ServerSitesOrder.h"
#include "core/TunnelType.h"
#include "gui/GuiLogging.h"
#include "gui/GuiVpnStartup.h"
#include "gui/MessageBoxFactory.h"
#include "gui/NullEventMessageCloser.h"
#include "prefs/DnsRecoveryPreference.h"
#include "prefs/Settings.h"
#include "prefs/UserStatistics.h"

#include <QCheckBox>
#include <QDebug>
#include <QMessageBox>
#include <QPushButton>

const QString StartupChecks::FALLBACK_SERVER_SITE = QStringLiteral("USA-Dallas");
const QString StartupChecks::NOT_WRITABLE_TEXT = QStringLiteral(
    "OrvalVPN is not able to write its preferences.\nPlease check the writable permissions of your config file:\n");
const QString StartupChecks::NOT_WRITABLE_INFORMATIVE_TEXT = QStringLiteral("Do you want OrvalVPN try to fix it?");
const QString StartupChecks::RECOVERY_FAILED_TEXT = QStringLiteral("The recovery process failed.");
const QString StartupChecks::DNS_UNCLEAN_TEXT =
    QStringLiteral("OrvalVPN was shut down unclean.\nDNS configuration was changed and not reset.");
const QString StartupChecks::DNS_UNCLEAN_INFORMATIVE_TEXT =
    QStringLiteral("OrvalVPN should recover to the original DNS state!\n(Closing this window will not recover and "
                   "forget the recovery infomation)");
const QString StartupChecks::DNS_RECOVER_BUTTON_TEXT = QStringLiteral("Yes, recover DNS");
const QString StartupChecks::DNS_FORGET_BUTTON_TEXT = QStringLiteral("No, forget recovery infomation");
const QString StartupChecks::DNS_CHECK_BOX_TEXT = QStringLiteral("Save my decision");

StartupChecks::StartupChecks(UserStatistics &statistics)
    : m_statistics(statistics)
{
}

void StartupChecks::checkIfPreferenceFileIsWritable()
{
    Settings settings;
    qCDebug(lcGui) << "Configfile stored in: " << settings.fileName();
    if (settings.isPreferenceFileWritable())
        return;

    qCDebug(lcGui) << "The config file is not writable!";
    MessageBoxFactory *factory = MessageBoxFactory::getInstance();
    NullEventMessageCloser closer;
    const int answer = factory->execMessageBox(nullptr, NOT_WRITABLE_TEXT + settings.fileName(),
                                               QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
                                               NOT_WRITABLE_INFORMATIVE_TEXT, QString(), QMessageBox::No, 0, &closer);
    if (answer != QMessageBox::Yes) {
        qCDebug(lcGui) << "Default action: the user will check the preference file permission";
        return;
    }
    qCDebug(lcGui) << "Try to recover the preference file writable permission";
    if (!settings.recoverPreferenceFilePermission()) {
        factory->execMessageBox(nullptr, RECOVERY_FAILED_TEXT, QMessageBox::Ok, MessageBoxFactory::NoIcon, QString(),
                                QString(), QMessageBox::NoButton, 0, &closer);
    }
}

bool StartupChecks::dnsStackRecoveryIsNecessary()
{
    Settings settings;
    if (settings.getDnsStackNames().isEmpty())
        return false;

    const DnsRecoveryPreference stored = settings.recoverDNSStackOnStart();
    if (stored == DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover()) {
        qCDebug(lcGui) << "DnsStackList not empty: Dns Auto Recover the initial state.";
        return true;
    }
    if (stored != DnsRecoveryPreference::getDnsRecoveryPreferenceAskOnStart()) {
        qCDebug(lcGui) << "DnsStackList not empty: Dns Auto Forget the Dns State";
        return false;
    }

    qCDebug(lcGui) << "DnsStackList not empty.";
    NullEventMessageCloser closer;
    const QSharedPointer<QMessageBox> box = MessageBoxFactory::getInstance()->getMessageBoxWithCheckBox(
        nullptr, DNS_UNCLEAN_TEXT, DNS_CHECK_BOX_TEXT, QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Question,
        DNS_UNCLEAN_INFORMATIVE_TEXT, QString(), QMessageBox::No, 0, &closer);
    box->button(QMessageBox::Yes)->setText(DNS_RECOVER_BUTTON_TEXT);
    box->button(QMessageBox::No)->setText(DNS_FORGET_BUTTON_TEXT);
    box->setDefaultButton(QMessageBox::Yes);
    const int answer = box->exec();
    const bool saveDecision = box->checkBox()->isChecked();

    if (answer == QMessageBox::Yes) {
        if (saveDecision) {
            qCDebug(lcGui) << "DnsStackRecover enabled";
            settings.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceAutoRecover());
        }
        qCDebug(lcGui) << "DnsStackList not empty: try to recover the initial state.";
        return true;
    }
    if (answer == QMessageBox::No) {
        if (saveDecision) {
            qCDebug(lcGui) << "DnsStackRecover disabled";
            settings.setRecoverDNSStackOnStart(DnsRecoveryPreference::getDnsRecoveryPreferenceForget());
        }
        qCDebug(lcGui) << "DnsStackList not empty: the user will recover the initial state.";
        return false;
    }
    qCDebug(lcGui) << "Default Action: DnsStackList not empty: the user will recover the initial state.";
    return false;
}

void StartupChecks::connectAtLaunchIfNecessary(VpnBackend &backend, OsAbstraction &os)
{
    Settings settings;
    const bool validConfig = HalvorixConfig::hasValidConfig();
    if (!validConfig)
        qCDebug(lcGui) << "Error: connection at launch interrupted. No valid configuration found.";
    if (!settings.autoConnectOnStartup() || !validConfig)
        return;

    const QString siteId = chooseServerSiteId(settings);
    HalvorixServerSite site;
    if (!findServerSite(siteId, site)) {
        qCDebug(lcGui) << "Warning: server not found, maybe the server is out of date. Server ID: " << siteId;
        return;
    }

    QSharedPointer<ConnectionParameters> params;
    const TunnelType &tunnelType = settings.getDefaultTunnelType();
    if (tunnelType == TunnelType::OPENVPN243()) {
        const OpenVpnConfigurationModel model = settings.defaultOpenVpn243SelectionConfigCipher();
        settings.setDefaultServerSite(site.getId(), model);
        params = model.getConnectionParameters(settings, site);
    } else {
        qCDebug(lcGui) << "Can not connect, unknown tunnel type" << tunnelType.toString();
    }
    if (!params) {
        qCDebug(lcGui) << "Error: unexpected exit point. ConnectionParameters should not be null at this point.";
        return;
    }

    m_statistics.addOneUsageToServer(site);
    GuiVpnStartup startup(backend, settings, os);
    startup.startVPN(params, QString(), QString());
}

QString StartupChecks::chooseServerSiteId(Settings &settings)
{
    if (settings.hasDefaultServerSite())
        return settings.defaultServerSite();
    if (settings.hasMyLocation()) {
        HalvorixServerSitesList sites = HalvorixConfig::getServerSitesList();
        if (!sites.isEmpty()) {
            sites.sortList(ServerSitesOrder::PROXIMITYORDER()->getComparator());
            return sites[0].getId();
        }
    }
    return FALLBACK_SERVER_SITE;
}

bool StartupChecks::findServerSite(const QString &siteId, HalvorixServerSite &site)
{
    bool found = false;
    for (const HalvorixServerSite &candidate : HalvorixConfig::getServerSites()) {
        if (candidate.getId() == siteId) {
            site = candidate;
            found = true;
        }
    }
    return found;
}
