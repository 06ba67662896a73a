// Runs the settings dialog on the real system layer and backend, so that a
// lab test can place it as a bundle's main program (the helper accepts only
// its bundle's Contents/MacOS/OrvalVPN as caller) and look at the network
// namespace after each action. It shares the test's settings store.
//   settingsdialog_probe system-dns NAME
//       "Set System DNS..." with the entry named NAME
//   settingsdialog_probe refresh-cache
//       "Refresh Cache"; prints "protected HOST: ROUTES" once a name server's
//       host route is made and "released HOST: ROUTES" once it is taken away
// Prints the errors the system layer reported ("error: TITLE | TEXT"), then "done".
#include "AnsweringMessageBoxFactory.h"

#include "app/BackendServices.h"
#include "gui/settings/SettingsDialog.h"
#include "system/MacOSXAbstractionImpl.h"

#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>

#include <cstdio>

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// The system layer of the client, telling what the routing table holds for
// a name server right after its host route was made or taken away.
class ShowingOs : public MacOSXAbstractionImpl
{
public:
    // Every host operation of the layer goes through the list forms.
    void protectHosts(const QList<QHostAddress> &hosts) override
    {
        MacOSXAbstractionImpl::protectHosts(hosts);
        for (const QHostAddress &host : hosts)
            say(QStringLiteral("protected %1: %2").arg(host.toString(), routesTo(host)));
    }

    void releaseHosts(const QList<QHostAddress> &hosts) override
    {
        MacOSXAbstractionImpl::releaseHosts(hosts);
        for (const QHostAddress &host : hosts)
            say(QStringLiteral("released %1: %2").arg(host.toString(), routesTo(host)));
    }

private:
    static QString routesTo(const QHostAddress &host)
    {
        QProcess ip;
        ip.start(QStringLiteral("ip"), {QStringLiteral("route"), QStringLiteral("show"), host.toString()});
        ip.waitForFinished();
        return QString::fromLocal8Bit(ip.readAllStandardOutput()).trimmed();
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN"));
    QCoreApplication::setApplicationName(QStringLiteral("OrvalVPN"));
    Q_INIT_RESOURCE(vpnbackend);
    const QStringList arguments = app.arguments().mid(1);

    ShowingOs os;
    QObject::connect(&os, &OsAbstraction::errorMessage,
                     [](const QString &title, const QString &text) { say("error: " + title + " | " + text); });
    // The web services ask a closed loopback port, so nothing leaves the namespace.
    BackendServices services(os, {QStringLiteral("OrvalVPN"), SemVer(QStringLiteral("1.0.0")),
                                  QStringLiteral("http://127.0.0.1:9"), QString()});
    QSharedPointer<AnsweringMessageBoxFactory> boxes(new AnsweringMessageBoxFactory);
    MessageBoxFactory::setInstance(boxes);

    {
        SettingsDialog dialog(nullptr, {}, os, services.backend, false, true, false);
        const char *button = nullptr;
        if (arguments.value(0) == QLatin1String("system-dns")) {
            const QString name = arguments.value(1);
            boxes->answers << [name](QDialog &chooser) {
                chooser.findChild<QComboBox *>(QStringLiteral("nameServerComboBox"))->setCurrentText(name);
                chooser.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
            };
            button = "setSystemDNSButton";
        } else if (arguments.value(0) == QLatin1String("refresh-cache")) {
            // The progress dialog ends when every name is looked up.
            boxes->answers << AnsweringMessageBoxFactory::leave();
            button = "refreshDNSCacheNow";
        } else {
            say(QStringLiteral("unknown command"));
            return 2;
        }
        dialog.findChild<QPushButton *>(QLatin1String(button))->click();
        say(QStringLiteral("dialogs %1").arg(boxes->shown.size()));
    }
    MessageBoxFactory::setInstance({});
    say(QStringLiteral("done"));
    return 0;
}
