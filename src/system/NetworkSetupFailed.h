#pragma once

#include <QString>
#include <exception>

// networksetup could not be run to its end.
class NetworkSetupFailed : public std::exception
{
public:
    NetworkSetupFailed(const QString& title, const QString& text);
    QString title() const { return titleText; }
    QString text() const { return detail; }

private:
    QString titleText;
    QString detail;
};
