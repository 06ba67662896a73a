#pragma once

#include <QString>
#include <exception>

// networksetup could not be run to its end.
class NetworkSetupFailed : public std::exception
{
public:
    NetworkSetupFailed(const QString &title, const QString &text);
    QString title() const { return m_titleText; }
    QString text() const { return m_detail; }

private:
    QString m_titleText;
    QString m_detail;
};
