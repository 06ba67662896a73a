#include "Lab.h"
#include "RecordingOsAbstraction.h"

#include "backend/OpenVpnConnectionParameters.h"
#include "backend/StartupWaits.h"
#include "catalogue/BackendOpenVPNConfigCipher.h"
#include "catalogue/DnsJson.h"
#include "catalogue/NullConnectionParameters.h"
#include "core/NullVpnFrontend.h"
#include "openvpn/ConnectVia.h"
#include "prefs/Settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The host-name look-up stage against the lab's resolver.
class TestStartupWaitsLab : public QObject
{
    Q_OBJECT

private slots:
    // The answer arrives within milliseconds; a wait that only looked at
    // its next turn would add a whole pause to every connection start.
    void lookupWaitEndsWithTheLookUpsNotAtItsNextTurn()
    {
        if (!Lab::isActive())
            QSKIP("runs only inside the test network");
        Lab::addDnsHost("vpn-wait.orvalvpn.test", "203.0.113.30");
        QTemporaryDir dir;
        QFile file(dir.filePath("site-udp.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("client\nremote vpn-wait.orvalvpn.test 1194\n");
        file.close();
        const HalvorixServerSite site("DEU", "Berlin", "site-udp.conf", "site-tcp.conf", false, false, QDir(dir.path()),
                                      {}, QHostAddress(), GeoLocation(), QString(), 0);
        const QSharedPointer<ConnectionParameters> parameters(
            new OpenVpnConnectionParameters(site, ConnectVia::UDP(), BackendOpenVPNConfigCipher(),
                                            ConnectionParameters::NO_STUNNEL, Settings::ASK, true, true));
        Settings settings;
        RecordingOsAbstraction os;
        NullVpnFrontend frontend;
        bool abortRequested = false;
        bool skipRequested = false;
        const unsigned long pauseMs = 20000;
        StartupWaits stages(settings, frontend, os, parameters, abortRequested, skipRequested, pauseMs);

        QElapsedTimer clock;
        clock.start();
        QVERIFY(stages.lookupHostnameBeforeConnecting());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(DnsJson::getLocalDnsCache().resolve("vpn-wait.orvalvpn.test"),
                 QList<QHostAddress> {QHostAddress("203.0.113.30")});
    }
};

QTEST_GUILESS_MAIN(TestStartupWaitsLab)
#include "tst_startup_waits_lab.moc"
