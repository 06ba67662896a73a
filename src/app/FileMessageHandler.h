#pragma once

#include "app/AbstractMessageHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileInfoList>
#include <QSharedPointer>
#include <QTextStream>

// Writes every log message to log_0.txt in the per-user data location and
// rotates it into log_1.txt .. log_4.txt once it outgrows the size limit.
class FileMessageHandler : public AbstractMessageHandler
{
public:
    FileMessageHandler();
    ~FileMessageHandler() override;

    FileMessageHandler(const FileMessageHandler &) = delete;
    FileMessageHandler &operator=(const FileMessageHandler &) = delete;

    static QFileInfo getCurrentLog();
    static bool removeAllLogs();
    static QDir getLogDirectory();

    static const QString fileNameNoExtension;
    static const QString fileExtension;
    static const QString firstLogNumber;
    static const int maxLogListSize;
    static const qint64 maximumFileSizeBytes;
    static const QString logsNamePattern;
    static const QString logsNamePatternWithTimestamp;

private:
    static void messageOutput(QtMsgType type, const QMessageLogContext &context, const QString &message);
    static QString logFileName();
    static QFileInfoList getAllLogs(const QDir &dir);
    static QFileInfoList getAllOldLogsWithTimestamp(const QDir &dir);
    static bool removeFileOrPrintError(const QFileInfo &file);
    static void removeOldLogs(const QDir &dir);
    static void removeOldLogsWithTimestamps(const QDir &dir, int keep);

    void handle(QtMsgType type, const QMessageLogContext &context, const QString &message);
    bool prepareLogFile();
    void rotateLogsIfNeeded();
    void switchBackToPreviousHandler();

    static FileMessageHandler *currentHandler;

    QFile m_file;
    QDir m_logDirectory;
    QSharedPointer<QTextStream> m_stream;
    QtMessageHandler m_previousHandler = nullptr;
    FileMessageHandler *m_previousFileHandler = nullptr;
};
