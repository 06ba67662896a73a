#pragma once

#include "app/AbstractRunnable.h"

#include <QString>

// Shows that the program and every library it needs could be loaded.
class LibraryTestRunnable : public AbstractRunnable
{
public:
    explicit LibraryTestRunnable(const QString &applicationName);

    int run() override;

private:
    QString m_applicationName;
};
