#include "app/FileMessageHandler.h"

#include "app/AppLogging.h"
#include "app/FileMessageHandlerException.h"
#include "prefs/OwnerOnlyFile.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStandardPaths>

const QString FileMessageHandler::fileNameNoExtension = QStringLiteral("log_");
const QString FileMessageHandler::fileExtension = QStringLiteral(".txt");
const QString FileMessageHandler::firstLogNumber = QStringLiteral("0");
const int FileMessageHandler::maxLogListSize = 5;
const qint64 FileMessageHandler::maximumFileSizeBytes = 20971520;
const QString FileMessageHandler::logsNamePattern =
    FileMessageHandler::fileNameNoExtension + QStringLiteral("([") + FileMessageHandler::firstLogNumber
    + QStringLiteral("-") + QString::number(FileMessageHandler::maxLogListSize) + QStringLiteral("]{1})")
    + FileMessageHandler::fileExtension + QStringLiteral("$");
const QString FileMessageHandler::logsNamePatternWithTimestamp =
    FileMessageHandler::fileNameNoExtension + QStringLiteral("\\d{8}\\-\\d{6}") + FileMessageHandler::fileExtension
    + QStringLiteral("$");

FileMessageHandler *FileMessageHandler::currentHandler = nullptr;

FileMessageHandler::FileMessageHandler()
{
    try {
        m_logDirectory = getLogDirectory();
    } catch (const FileMessageHandlerException &e) {
        qCWarning(lcApp) << "FileMessageHandler error, log can not be written:" << e.message;
        return;
    }
    removeOldLogs(m_logDirectory);
    // Logs of an older build may be readable by others.
    for (const QFileInfo &log : getAllLogs(m_logDirectory))
        OwnerOnlyFile::restrictToOwner(log.absoluteFilePath());
    if (!prepareLogFile())
        return;
    m_stream = QSharedPointer<QTextStream>::create(&m_file);
    m_stream->setCodec("UTF-8");
    qCDebug(lcApp) << "FileMessageHandler: installing...";
    m_previousHandler = qInstallMessageHandler(messageOutput);
    m_previousFileHandler = currentHandler;
    currentHandler = this;
}

FileMessageHandler::~FileMessageHandler()
{
    switchBackToPreviousHandler();
    m_stream.reset();
}

QString FileMessageHandler::logFileName()
{
    return fileNameNoExtension + firstLogNumber + fileExtension;
}

QDir FileMessageHandler::getLogDirectory()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
    if (base.isEmpty())
        throw FileMessageHandlerException(QStringLiteral("Can't write to QStandardPaths::DataLocation"));
    const QString path = base + QStringLiteral("/logs");
    QDir dir;
    if (!dir.mkpath(path))
        throw FileMessageHandlerException(QStringLiteral("Can't create ") + path);
    if (!dir.cd(path))
        throw FileMessageHandlerException(QStringLiteral("Can't go into ") + path);
    // The logs hold the engine's management dialogue: for this user's eyes only.
    OwnerOnlyFile::restrictToOwner(path);
    return dir;
}

QFileInfo FileMessageHandler::getCurrentLog()
{
    try {
        return QFileInfo(getLogDirectory(), logFileName());
    } catch (const FileMessageHandlerException &e) {
        qCWarning(lcApp) << "FileMessageHandler error, log can not be found:" << e.message;
        return QFileInfo();
    }
}

bool FileMessageHandler::removeAllLogs()
{
    try {
        const QDir dir = getLogDirectory();
        removeOldLogs(dir);
        bool allRemoved = true;
        for (const QFileInfo &log : getAllLogs(dir))
            allRemoved = removeFileOrPrintError(log) && allRemoved;
        return allRemoved;
    } catch (const FileMessageHandlerException &e) {
        qCDebug(lcApp) << "Error while deleting log files:" << e.message;
        return false;
    }
}

namespace {
QFileInfoList filesMatching(const QDir &dir, const QString &pattern, QDir::SortFlags sort)
{
    const QRegularExpression expression(pattern);
    QFileInfoList matching;
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files, sort)) {
        if (expression.match(file.fileName()).hasMatch())
            matching.append(file);
    }
    return matching;
}
} // namespace

QFileInfoList FileMessageHandler::getAllLogs(const QDir &dir)
{
    return filesMatching(dir, logsNamePattern, QDir::Name | QDir::IgnoreCase);
}

QFileInfoList FileMessageHandler::getAllOldLogsWithTimestamp(const QDir &dir)
{
    return filesMatching(dir, logsNamePatternWithTimestamp, QDir::Name | QDir::Reversed);
}

bool FileMessageHandler::removeFileOrPrintError(const QFileInfo &file)
{
    if (QFile::remove(file.absoluteFilePath()))
        return true;
    qCDebug(lcApp) << "FileMessageHandler error, can not remove log file:" << file.absoluteFilePath();
    return false;
}

void FileMessageHandler::removeOldLogs(const QDir &dir)
{
    const QFileInfo unnumbered(dir, fileNameNoExtension + fileExtension);
    if (unnumbered.exists())
        removeFileOrPrintError(unnumbered);
    removeOldLogsWithTimestamps(dir, 0);
}

void FileMessageHandler::removeOldLogsWithTimestamps(const QDir &dir, int keep)
{
    const QFileInfoList leftovers = getAllOldLogsWithTimestamp(dir);
    for (int i = qMax(keep, 0); i < leftovers.size(); ++i)
        removeFileOrPrintError(leftovers.at(i));
}

bool FileMessageHandler::prepareLogFile()
{
    if (m_file.isOpen())
        m_file.close();
    rotateLogsIfNeeded();
    m_file.setFileName(m_logDirectory.absoluteFilePath(logFileName()));
    // Renames keep a file's mode, so the rotated logs stay owner-only too.
    OwnerOnlyFile::createIfMissing(m_file.fileName());
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qCWarning(lcApp) << "FileMessageHandler: Can't write to:" << m_file.fileName();
        return false;
    }
    return true;
}

void FileMessageHandler::rotateLogsIfNeeded()
{
    QFileInfoList logs = getAllLogs(m_logDirectory);
    if (logs.isEmpty() || logs.first().fileName() != logFileName() || logs.first().size() < maximumFileSizeBytes)
        return;
    while (logs.size() >= maxLogListSize)
        removeFileOrPrintError(logs.takeLast());
    const QRegularExpression pattern(logsNamePattern);
    while (!logs.isEmpty()) {
        const QFileInfo log = logs.takeLast();
        bool numbered = false;
        const int number = pattern.match(log.fileName()).captured(1).toInt(&numbered, 10);
        // A log that cannot be moved stays where it is: its lines are kept and
        // the files below it, which cannot move either, keep theirs.
        if (!numbered) {
            qCDebug(lcApp) << "FileMessageHandler error, can not parse correctly the logfile name:"
                           << log.absoluteFilePath();
            continue;
        }
        const QString target =
            m_logDirectory.absoluteFilePath(fileNameNoExtension + QString::number(number + 1) + fileExtension);
        if (!QFile::rename(log.absoluteFilePath(), target))
            qCDebug(lcApp) << "FileMessageHandler error, can not rename the logfile:" << log.absoluteFilePath()
                           << "into" << target;
    }
}

void FileMessageHandler::messageOutput(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Qt's own threads log too; one record at a time keeps the stream and the
    // rotation consistent.
    static QMutex lock;
    const QMutexLocker locker(&lock);
    if (currentHandler)
        currentHandler->handle(type, context, message);
}

void FileMessageHandler::handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!m_file.isOpen()) {
        if (m_previousHandler)
            m_previousHandler(type, context, message);
        return;
    }
    if (m_file.size() > maximumFileSizeBytes && !prepareLogFile()) {
        const QtMessageHandler previous = m_previousHandler;
        switchBackToPreviousHandler();
        qCWarning(lcApp) << "FileMessageHandler error: switched back to previous handler";
        // The record that found the log unwritable still reaches a destination.
        if (previous)
            previous(type, context, message);
        return;
    }
    const QString formatted = qFormatLogMessage(type, context, message);
    if (formatted.isNull())
        return;
    *m_stream << formatted << "\n";
    m_stream->flush();
}

void FileMessageHandler::switchBackToPreviousHandler()
{
    qCDebug(lcApp) << "FileMessageHandler: switch back to previous handler";
    qCDebug(lcApp) << "FileMessageHandler: closing log file";
    if (m_file.isOpen())
        m_file.close();
    if (m_previousHandler) {
        qInstallMessageHandler(m_previousHandler);
        m_previousHandler = nullptr;
        qCDebug(lcApp) << "FileMessageHandler: back to previous log message handler";
    }
    if (currentHandler == this)
        currentHandler = m_previousFileHandler;
}
