// Runs the store repair on a given file as whatever user starts it, and
// reports what the accessor saw: the settings test starts it as an ordinary
// user through setpriv.
#include "prefs/Settings.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    bool before = false;
    bool repaired = false;
    {
        Settings settings(path);
        before = settings.isPreferenceFileWritable();
        repaired = settings.recoverPreferenceFilePermission();
    }
    Settings after(path);
    QTextStream(stdout) << "before=" << before << " repaired=" << repaired
                        << " after=" << after.isPreferenceFileWritable() << " address=" << after.getProxyAddress()
                        << Qt::endl;
    return 0;
}
