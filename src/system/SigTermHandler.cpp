#include "system/SigTermHandler.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <signal.h>
#include <unistd.h>

volatile std::sig_atomic_t SigTermHandler::processID = 0;

namespace {

const int CaughtSignals[] = {SIGINT, SIGTERM, SIGABRT, SIGQUIT};

// Everything the signal function reads, filled before the signal function is
// installed and never freed.
constexpr std::size_t TextCapacity = 4096;
char programPath[TextCapacity];
char argumentZero[TextCapacity];
char executeLine[TextCapacity];
char cleanUpOption[] = "--cleanup";
char *cleanUpArgv[] = {argumentZero, cleanUpOption, nullptr};

void copyText(char *target, const QByteArray &text)
{
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(text.size()), TextCapacity - 1);
    std::memcpy(target, text.constData(), length);
    target[length] = '\0';
}

void writeText(const char *text)
{
    std::size_t remaining = std::strlen(text);
    while (remaining > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, remaining);
        if (written <= 0) {
            if (written < 0 && errno == EINTR)
                continue;
            return;
        }
        text += written;
        remaining -= static_cast<std::size_t>(written);
    }
}

void writeNumber(long value)
{
    char digits[24];
    char *end = digits + sizeof digits - 1;
    *end = '\0';
    char *cursor = end;
    const bool negative = value < 0;
    unsigned long magnitude = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        *--cursor = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--cursor = '-';
    writeText(cursor);
}

void prepareCleanUpExec(const QString &program)
{
    const QStringList arguments = SigTermHandler::cleanUpArguments(program);
    const QString absolute = QFileInfo(program).absoluteFilePath();
    copyText(programPath, absolute.toLocal8Bit());
    copyText(argumentZero, arguments.first().toLocal8Bit());
    copyText(executeLine, ("Execute " + absolute + " --cleanup\n").toLocal8Bit());
}

} // namespace

SigTermHandler::SigTermHandler(const QString &cleanUpProgram)
{
    prepareCleanUpExec(cleanUpProgram.isNull() ? QCoreApplication::applicationFilePath() : cleanUpProgram);

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = &SigTermHandler::gracefullyExit;
    sigemptyset(&action.sa_mask);
    for (int caught : CaughtSignals)
        sigaction(caught, &action, nullptr);
}

QStringList SigTermHandler::cleanUpArguments(const QString &program)
{
    return {QFileInfo(program).fileName(), QStringLiteral("--cleanup")};
}

long SigTermHandler::engineProcessId()
{
    return processID;
}

void SigTermHandler::onOpenVpnStarted(QProcess &process)
{
    processID = static_cast<std::sig_atomic_t>(process.processId());
}

void SigTermHandler::onOpenVpnFailedToStart()
{
    processID = 0;
}

void SigTermHandler::onOpenVpnTerminated()
{
    processID = 0;
}

void SigTermHandler::gracefullyExit(int)
{
    const int savedErrno = errno;
    writeText("Exiting gracefully...\n");

    const pid_t engine = processID;
    if (engine != 0) {
        writeText("Kill VPN process\n");
        ::kill(engine, SIGKILL);
    }

    if (::access(programPath, F_OK) == 0) {
        writeText(executeLine);
        // The signal being handled is blocked now, and a blocked mask
        // survives exec: the clean-up run must stay stoppable.
        sigset_t unblock;
        sigemptyset(&unblock);
        for (int caught : CaughtSignals)
            sigaddset(&unblock, caught);
        sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
        ::execv(programPath, cleanUpArgv);
        writeText("Execute failed\n");
        errno = savedErrno;
        return;
    }

    writeText("Error: exact path of Halvorix unknown.\n");
    writeText("Try to kill itself ");
    writeNumber(static_cast<long>(::getpid()));
    writeText("\n");
    ::kill(::getpid(), SIGKILL);
    writeText("Kill Error: ");
    writeNumber(errno);
    writeText("\n");
    errno = savedErrno;
}
