#include "app/LibraryTestRunnable.h"

#include <QDebug>

LibraryTestRunnable::LibraryTestRunnable(const QString &applicationName)
    : m_applicationName(applicationName)
{
}

int LibraryTestRunnable::run()
{
    qDebug().noquote() << "Try to run" << m_applicationName;
    return 0;
}
