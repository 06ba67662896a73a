#include "app/LibraryTestRunnable.h"

#include "app/AppLogging.h"

#include <QDebug>

LibraryTestRunnable::LibraryTestRunnable(const QString &applicationName)
    : m_applicationName(applicationName)
{
}

int LibraryTestRunnable::run()
{
    qCDebug(lcApp).noquote() << "Try to run" << m_applicationName;
    return 0;
}
