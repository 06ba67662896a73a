#pragma once

#include <QString>
#include <exception>

// A run of the privileged helper that did not happen or was refused.
class StelvaneRunnerFailed : public std::exception
{
public:
    StelvaneRunnerFailed(const QString &title, const QString &text);
    QString title() const { return m_titleText; }
    QString text() const { return m_detail; }

private:
    QString m_titleText;
    QString m_detail;
};
