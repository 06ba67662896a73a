#include "gui/GuiVpnStartup.h"

#include "backend/VpnBackend.h"
#include "catalogue/ConnectionParameters.h"
#include "core/VpnStartupResult.h"
#include "gui/GuiLogging.h"
#include "gui/MessageBoxFactory.h"
#include "gui/NullEventMessageCloser.h"
#include "system/OsAbstraction.h"

#include <QCheckBox>
#include <QDebug>
#include <QMessageBox>

const QString GuiVpnStartup::ROUTING_TITLE = QStringLiteral("Network configuration problem detected");
const QString GuiVpnStartup::ROUTING_TEXT = QStringLiteral(
    "Problem detected: the network could not be properly configured. Do you want to try to connect anyway?");
const QString GuiVpnStartup::ROUTING_INFORMATIVE_TEXT =
    QStringLiteral("The connection could not start properly and/or leaks are possible.");
const QString GuiVpnStartup::IKS_TEXT =
    QStringLiteral("Internet Kill Switch detected disabled interfaces!\nActivate these interfaces before conneting?");
const QString GuiVpnStartup::IKS_CHECK_BOX_TEXT = QStringLiteral("Save my decision");
const QString GuiVpnStartup::TUNTAP_TEXT = QStringLiteral("A driver problem was detected.");
const QString GuiVpnStartup::TUNTAP_CHECK_BOX_TEXT = QStringLiteral("Don't show this warning again");
const QString GuiVpnStartup::TUNTAP_FIRST_INFORMATIVE_TEXT = QStringLiteral(
    "A problem with the TUN/TAP driver was detected.\nIt is recommended to reinstall the driver.\n\n"
    "Some virus protection software is known to\ninterfere with driver installation.\n"
    "If the problem persists please configure\nyour AV software accordingly.\n\nReinstall the driver now?");
const QString GuiVpnStartup::TUNTAP_REPEATED_INFORMATIVE_TEXT =
    QStringLiteral("A problem with the TUN/TAP driver was detected.\nIt is recommended to reinstall the driver.\n\n"
                   "Reinstall the driver now?");

namespace {

struct CheckBoxAnswer
{
    int button;
    bool ticked;
};

// A Yes/No/Cancel question with a check box that no backend event may close;
// closing it answers Cancel.
CheckBoxAnswer askWithCheckBox(QWidget *parent, const QString &text, const QString &checkBoxText,
                               MessageBoxFactory::iconType icon, const QString &informativeText)
{
    NullEventMessageCloser closer;
    const QSharedPointer<QMessageBox> box = MessageBoxFactory::getInstance()->getMessageBoxWithCheckBox(
        parent, text, checkBoxText, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, icon, informativeText,
        QString(), QMessageBox::NoButton, 0, &closer);
    const int button = box->exec();
    return {button, box->checkBox()->isChecked()};
}

} // namespace

GuiVpnStartup::GuiVpnStartup(VpnBackend &backend, Settings &settings, OsAbstraction &os)
    : QObject(nullptr)
    , m_backend(backend)
    , m_settings(settings)
    , m_os(os)
{
}

void GuiVpnStartup::startVPN(QSharedPointer<ConnectionParameters> params, QString user, QString password)
{
    // Nothing to start: refreshing a null site would crash the GUI.
    if (!params) {
        qCDebug(lcGui) << "GuiVpnStartup::startVPN - Error: no connection parameters, nothing started";
        return;
    }
    params->refreshServerSite(m_settings);
    m_backend.startVPN(params, user, password);
}

bool GuiVpnStartup::onVpnStartupResult(QWidget *parent, const VpnStartupResult &result, QString user, QString password)
{
    switch (result.getType()) {
    case VpnStartupResult::ABORTED: return false;
    case VpnStartupResult::STARTED: return true;
    case VpnStartupResult::PRELIMINARY_CHECKS_FAILED: break;
    default: qCDebug(lcGui) << "Warning: unknown VpnStartupResult Type"; return false;
    }

    QSharedPointer<ConnectionParameters> params = result.getConnectionParameters();
    if (!params) {
        qCDebug(lcGui) << "GuiVpnStartup::onVpnStartupResult - Error: the result carries no connection parameters";
        return false;
    }
    if (result.isRoutingTableManagerProgramCheckFailed()) {
        if (!warningRoutingTableManageProgrammExecution(parent))
            return false;
        params = params->withManageRouteProgramCheck(false);
    }
    if (result.isIksSettingsAsk()) {
        const Settings::IksSettings answer = warningAskUserIKSEnableOnConnect(parent, m_settings);
        if (answer == Settings::ASK)
            return false;
        params = params->withIksSettings(answer);
    }
    if (result.isTunTapProblemDetected()) {
        if (!reinstallTAPDriver(parent, m_settings))
            return false;
        params = params->withTunTapDriverCheck(m_settings.getCheckTunTapOnConnect());
    }
    m_backend.startVPN(params, user, password);
    return true;
}

bool GuiVpnStartup::warningRoutingTableManageProgrammExecution(QWidget *parent)
{
    NullEventMessageCloser closer;
    const int button = MessageBoxFactory::getInstance()->execMessageBox(
        parent, ROUTING_TEXT, QMessageBox::Yes | QMessageBox::No, MessageBoxFactory::Warning, ROUTING_INFORMATIVE_TEXT,
        ROUTING_TITLE, QMessageBox::NoButton, 0, &closer);
    return button == QMessageBox::Yes;
}

Settings::IksSettings GuiVpnStartup::warningAskUserIKSEnableOnConnect(QWidget *parent, Settings &settings)
{
    const CheckBoxAnswer answer =
        askWithCheckBox(parent, IKS_TEXT, IKS_CHECK_BOX_TEXT, MessageBoxFactory::Question, QString());
    Settings::IksSettings choice = Settings::ASK;
    if (answer.button == QMessageBox::Yes)
        choice = Settings::ENABLE;
    else if (answer.button == QMessageBox::No)
        choice = Settings::NOOP;
    if (answer.ticked && choice != Settings::ASK)
        settings.setIksEnableOnConnect(choice);
    return choice;
}

bool GuiVpnStartup::reinstallTAPDriver(QWidget *parent, Settings &settings)
{
    ++m_tunTapDialogCount;
    const QString &informativeText =
        m_tunTapDialogCount < 2 ? TUNTAP_FIRST_INFORMATIVE_TEXT : TUNTAP_REPEATED_INFORMATIVE_TEXT;
    const CheckBoxAnswer answer =
        askWithCheckBox(parent, TUNTAP_TEXT, TUNTAP_CHECK_BOX_TEXT, MessageBoxFactory::Critical, informativeText);
    settings.setCheckTunTapOnConnect(!answer.ticked);
    if (answer.button == QMessageBox::Yes) {
        m_os.reinstallTunTapDriver();
        return true;
    }
    return answer.button == QMessageBox::No;
}
