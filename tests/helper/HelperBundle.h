#pragma once
// A throw-away application bundle holding copies of the built helper
// (set-uid root), engines, platform programs and Info.plist, with the test
// launcher as its main executable, so that every place check is real.
#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

class HelperBundle
{
public:
    struct Result
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    enum class User { Root, Nobody };

    // Lays out `<dir>/<name>.app`; false (with a reason) when that failed.
    HelperBundle();
    bool create(const QString &name, QString *reason);

    QString contents() const { return m_contents; }
    QString helper() const { return m_contents + "/Contents/Helpers/Stelvane"; }
    QString launcher() const { return m_contents + "/Contents/MacOS/OrvalVPN"; }
    QString root() const { return m_dir.path(); }

    // Copies the launcher or the helper to another place (parent directories made).
    bool copyLauncherTo(const QString &path) const;
    bool copyHelperTo(const QString &path) const;

    // The two authentication lines for a timestamp `offsetMs` from now.
    static QByteArray authenticationLines(qint64 offsetMs = 0);
    // What the client writes for an engine start: the authentication lines
    // and the run's secret (ENGINE_SECRET); other commands leave the secret unread.
    static QByteArray token(qint64 offsetMs = 0);
    static constexpr char ENGINE_SECRET[] = "0123456789abcdef0123456789abcdef";

    // The loopback ports the launcher listens at during each run, as the
    // client listens at the ports it hands an engine.
    void setListenPorts(const QList<quint16> &ports) { m_listenPorts = ports; }

    // Runs `launcher helper arguments...` as `user`, optionally inside
    // network namespace `netns`, writing `input` on its standard input.
    Result run(const QStringList &arguments, const QByteArray &input, User user = User::Root,
               const QString &launcherPath = QString(), const QString &helperPath = QString(),
               const QString &netns = QString(), bool closeInput = true) const;

    static bool isRoot();

private:
    QTemporaryDir m_dir;
    QString m_contents;
    QList<quint16> m_listenPorts;
};

// A test main that needs root (set-uid helper, namespaces): 77 tells CTest
// the test was skipped.
#define STELVANE_ROOT_TEST_MAIN(TestObject)                                                                            \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        QCoreApplication app(argc, argv);                                                                              \
        if (!HelperBundle::isRoot()) {                                                                                 \
            std::fprintf(stderr, "SKIP: needs root to install the set-uid helper and namespaces\n");                   \
            return 77;                                                                                                 \
        }                                                                                                              \
        TestObject test;                                                                                               \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
