#pragma once

#include <QString>
#include <exception>

// system_profiler could not be run to its end.
class SystemProfilerFailed : public std::exception
{
public:
    SystemProfilerFailed(const QString &title, const QString &text);
    QString title() const { return m_titleText; }
    QString text() const { return m_detail; }

private:
    QString m_titleText;
    QString m_detail;
};
