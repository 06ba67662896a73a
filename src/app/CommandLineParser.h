#pragma once

#include <QCommandLineParser>
#include <QString>

class QApplication;

// Parses the program's command line once and runs the run mode it names.
class CommandLineParser
{
public:
    explicit CommandLineParser(const QString &applicationName);
    virtual ~CommandLineParser() = default;

    CommandLineParser(const CommandLineParser &) = delete;
    CommandLineParser &operator=(const CommandLineParser &) = delete;

    // Prints the usage and ends the process for --help, an unknown option or a
    // missing value; returns otherwise.
    void parse(int argc, char **argv);
    QString helpText() const;

    virtual int runRunnable(QApplication &application) = 0;

protected:
    QCommandLineParser m_parser;
    const QString m_applicationName;
};
