#include "app/CommandLineParser.h"

#include <QStringList>

CommandLineParser::CommandLineParser(const QString &applicationName)
    : m_applicationName(applicationName)
{
}

void CommandLineParser::parse(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLatin1(argv[i]));
    m_parser.process(arguments);
}

QString CommandLineParser::helpText() const
{
    return m_parser.helpText();
}
