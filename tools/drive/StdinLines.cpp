#include "StdinLines.h"

#include <cerrno>
#include <unistd.h>

StdinLines::StdinLines(QObject *parent)
    : QObject(parent)
    , m_notifier(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, &StdinLines::read);
}

void StdinLines::read()
{
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (count > 0)
        m_pending.append(buffer, int(count));
    for (int end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        const QByteArray bytes = m_pending.left(end);
        m_pending.remove(0, end + 1);
        emitLine(bytes);
    }
    if (count <= 0) {
        m_notifier.setEnabled(false);
        if (!m_pending.isEmpty())
            emitLine(m_pending);
        m_pending.clear();
        emit ended();
    }
}

void StdinLines::emitLine(QByteArray bytes)
{
    // Blanks inside and at the end belong to the line (a password); a CR is the sender's line end.
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    emit line(QString::fromUtf8(bytes));
}
