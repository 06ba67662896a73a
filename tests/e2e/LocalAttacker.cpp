#include "LocalAttacker.h"

#include "AttackerRun.h"
#include "Lab.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

LocalAttacker::LocalAttacker()
    : m_user(LabUser::ATTACKER)
{
}

LocalAttacker::~LocalAttacker()
{
    stop();
}

bool LocalAttacker::setUp()
{
    if (!m_user.isValid() || !m_dir.isValid())
        return false;
    m_contents = Lab::makeProbeBundle(QStringLiteral(ORVAL_BUNDLE_DIR), m_dir.path());
    const QString home = m_dir.filePath(QStringLiteral("home"));
    if (m_contents.isEmpty() || !QDir().mkpath(home) || !m_user.own(home)) {
        qWarning("LocalAttacker: cannot make the attacker's bundle or folder");
        return false;
    }
    return true;
}

bool LocalAttacker::start(const QString &attack, uint victimUid, const QString &argument)
{
    const QString home = m_dir.filePath(QStringLiteral("home"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    // The client's libraries log every helper run it starts.
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=false"));
    environment.insert(AttackerRun::ATTACK, attack);
    environment.insert(AttackerRun::VICTIM_UID, QString::number(victimUid));
    environment.insert(AttackerRun::ARGUMENT, argument);
    environment.insert(AttackerRun::DIRECTORY, home);
    environment.insert(AttackerRun::CA, QStringLiteral("/etc/ssl/certs/ca-certificates.crt"));
    m_process.setProcessEnvironment(environment);
    // A file: the attack goes on while the test waits for something else.
    QFile::remove(reportFile());
    m_process.setStandardOutputFile(reportFile());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_user.start(m_process, m_contents + QStringLiteral("/MacOS/OrvalVPN"), {});
    for (int waited = 0; waited < 100 && m_process.state() != QProcess::NotRunning; ++waited) {
        if (!report().filter(QRegularExpression(QStringLiteral("^ready "))).isEmpty())
            return true;
        m_process.waitForFinished(100);
    }
    qWarning().noquote() << "LocalAttacker: the attack does not start:" << report();
    return false;
}

QString LocalAttacker::reportFile() const
{
    return m_dir.filePath(QStringLiteral("report"));
}

QStringList LocalAttacker::report() const
{
    QFile file(reportFile());
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    QStringList lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            lines << QString::fromLocal8Bit(line);
    }
    return lines;
}

QStringList LocalAttacker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return report();
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(30000)) {
        qWarning("LocalAttacker: the attack does not end; killing it");
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    return report();
}
