#pragma once

#include <QString>
#include <exception>

// system_profiler could not be run to its end.
class SystemProfilerFailed : public std::exception
{
public:
    SystemProfilerFailed(const QString& title, const QString& text);
    QString title() const { return titleText; }
    QString text() const { return detail; }

private:
    QString titleText;
    QString detail;
};
