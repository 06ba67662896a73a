#include "RecordingOsAbstraction.h"

#include "catalogue/NullConnectionParameters.h"
#include "core/NullVpnFrontend.h"
#include "core/NullVpnStartup.h"
#include "core/VpnStartupProgress.h"
#include "system/BlackHoleRouteManager.h"

#include <QSettings>
#include <QTest>

namespace {

// Records which kind of parameters each progress message carries.
class ParametersLog : public NullVpnFrontend
{
public:
    QStringList kinds;
    void onVpnStartupProgress(const VpnStartupProgress &progress) override
    {
        const QSharedPointer<ConnectionParameters> parameters = progress.getConnectionParameters();
        if (!parameters)
            kinds << QStringLiteral("none");
        else if (parameters.dynamicCast<NullConnectionParameters>())
            kinds << QStringLiteral("null");
        else
            kinds << QStringLiteral("other");
    }
};

} // namespace

class TestNullStartup : public QObject
{
    Q_OBJECT

private slots:
    void slotsOnlySetTheirFlag()
    {
        const QSharedPointer<ConnectionParameters> parameters(new NullConnectionParameters);
        NullVpnStartup startup(parameters);
        QCOMPARE(startup.getParameters(), parameters);
        QVERIFY(!startup.isAbortRequested() && !startup.isSkipRequested());
        startup.onCurrentOperationSkipped();
        QVERIFY(startup.isSkipRequested() && !startup.isAbortRequested());
        startup.onStartVPNAborted();
        QVERIFY(startup.isAbortRequested());
    }

    // The global routes belong to no connection, yet every message about them
    // carries parameters a frontend can ask questions of.
    void globalBlackHoleRoutesReportNullParameters()
    {
        QSettings().clear();
        RecordingOsAbstraction os;
        ParametersLog frontend;
        {
            BlackHoleRouteManager routes(os, frontend);
            routes.enableGlobalBlackHoleRoutes(true);
        }
        QVERIFY(!frontend.kinds.isEmpty());
        QCOMPARE(frontend.kinds.filter(QStringLiteral("null")).size(), frontend.kinds.size());
    }
};

QTEST_GUILESS_MAIN(TestNullStartup)
#include "tst_null_startup.moc"
