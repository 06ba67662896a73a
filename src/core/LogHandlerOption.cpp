#include "core/LogHandlerOption.h"

#include "core/CoreLogging.h"

#include <QDebug>

const StdErrHandlerOption StdErrHandlerOption::INSTANCE;
const FileHandlerOption FileHandlerOption::INSTANCE;
const NullHandlerOption NullHandlerOption::INSTANCE;

QString StdErrHandlerOption::toString() const
{
    return QStringLiteral("StdErr");
}

QString FileHandlerOption::toString() const
{
    return QStringLiteral("File");
}

QString NullHandlerOption::toString() const
{
    return QStringLiteral("None");
}

const LogHandlerOption &LogHandlerOption::StdErrHandler()
{
    return StdErrHandlerOption::INSTANCE;
}

const LogHandlerOption &LogHandlerOption::FileHandler()
{
    return FileHandlerOption::INSTANCE;
}

const LogHandlerOption &LogHandlerOption::NullHandler()
{
    return NullHandlerOption::INSTANCE;
}

const LogHandlerOption &LogHandlerOption::fromString(const QString &text)
{
    for (const LogHandlerOption *option : {&StdErrHandler(), &FileHandler(), &NullHandler()}) {
        if (option->toString() == text)
            return *option;
    }
    qCDebug(lcCore) << "Unexpected Log option: " << text;
    return NullHandler();
}
