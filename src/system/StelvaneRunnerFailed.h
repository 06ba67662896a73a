#pragma once

#include <QString>
#include <exception>

// A run of the privileged helper that did not happen or was refused.
class StelvaneRunnerFailed : public std::exception
{
public:
    StelvaneRunnerFailed(const QString& title, const QString& text);
    QString title() const { return titleText; }
    QString text() const { return detail; }

private:
    QString titleText;
    QString detail;
};
