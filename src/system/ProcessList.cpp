#include "system/ProcessList.h"

#include "system/SystemLogging.h"

#include <QDebug>
#include <QProcess>
#include <algorithm>
#include <memory>
#include <unistd.h>

namespace {

constexpr int PsTimeoutMs = 3000;

} // namespace

ProcessList::ProcessList()
    : ProcessList(getuid())
{
}

// "uid,comm" works with the ps of macOS and of Linux alike.
ProcessList::ProcessList(unsigned userId)
    : m_psProgram(QStringLiteral("ps"))
    , m_psArguments({QStringLiteral("-eo"), QStringLiteral("uid,comm")})
    , m_userIdText(QStringLiteral("%1").arg(userId))
    , m_linePattern(QStringLiteral("^\\s*(\\d+)\\s+(.*)"))
{
}

ProcessList::~ProcessList() = default;

QStringList ProcessList::getProcessNames()
{
    const QSet<QString> names = selectUnqiueProcessNames(splitLines(executePs()));
    QStringList sorted(names.cbegin(), names.cend());
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return sorted;
}

QByteArray ProcessList::executePs()
{
    auto process = std::make_unique<QProcess>();
    qCDebug(lcSystem) << "Listing running processes using:" << m_psProgram << m_psArguments;
    process->start(m_psProgram, m_psArguments, QIODevice::ReadWrite);
    process->waitForFinished(PsTimeoutMs);
    return process->readAllStandardOutput();
}

QStringList ProcessList::splitLines(const QByteArray &bytes)
{
    QByteArray text = bytes;
    text.replace("\r\n", "\n");
    QStringList lines;
    for (const QByteArray &piece : text.split('\n')) {
        const QByteArray trimmed = piece.trimmed();
        const int nul = trimmed.indexOf('\0');
        lines << QString::fromUtf8(nul >= 0 ? trimmed.left(nul) : trimmed);
    }
    return lines;
}

QSet<QString> ProcessList::selectUnqiueProcessNames(const QStringList &lines) const
{
    QSet<QString> names;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = m_linePattern.match(line);
        if (match.hasMatch() && match.captured(1) == m_userIdText)
            names.insert(match.captured(2).split('/').last());
    }
    return names;
}
