#pragma once

#include "prefs/Settings.h"

#include <QObject>
#include <QSharedPointer>
#include <QString>

class ConnectionParameters;
class OsAbstraction;
class QWidget;
class VpnBackend;
class VpnStartupResult;

// The one way every GUI path starts a connection, and the questions asked
// when a start stopped at its preliminary checks. Made on the stack for one
// operation; it owns none of the references it is given.
class GuiVpnStartup : public QObject
{
    Q_OBJECT

public:
    GuiVpnStartup(VpnBackend &backend, Settings &settings, OsAbstraction &os);

    void startVPN(QSharedPointer<ConnectionParameters> params, QString user, QString password);

    // True when a connection is under way afterwards (it started, or the
    // questions were answered so that it was started again here).
    bool onVpnStartupResult(QWidget *parent, const VpnStartupResult &result, QString user, QString password);

    bool warningRoutingTableManageProgrammExecution(QWidget *parent);
    // ENABLE or NOOP, or ASK when the user cancelled.
    Settings::IksSettings warningAskUserIKSEnableOnConnect(QWidget *parent, Settings &settings);
    // True when the user chose Yes (the driver is reinstalled) or No.
    bool reinstallTAPDriver(QWidget *parent, Settings &settings);

    static const QString ROUTING_TITLE;
    static const QString ROUTING_TEXT;
    static const QString ROUTING_INFORMATIVE_TEXT;
    static const QString IKS_TEXT;
    static const QString IKS_CHECK_BOX_TEXT;
    static const QString TUNTAP_TEXT;
    static const QString TUNTAP_CHECK_BOX_TEXT;
    static const QString TUNTAP_FIRST_INFORMATIVE_TEXT;
    static const QString TUNTAP_REPEATED_INFORMATIVE_TEXT;

private:
    VpnBackend &m_backend;
    Settings &m_settings;
    OsAbstraction &m_os;
    int m_tunTapDialogCount = 0;
};
