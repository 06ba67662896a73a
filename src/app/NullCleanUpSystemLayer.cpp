#include "app/NullCleanUpSystemLayer.h"

#include <QDebug>

namespace {
void skipped(const char *step)
{
    qDebug() << "CleanUp: no system layer, skipped:" << step;
}
}

void NullCleanUpSystemLayer::recoverDnsStack(const QStringList &)
{
    skipped("recover DNS stack");
}

void NullCleanUpSystemLayer::removeRoutesToDns()
{
    skipped("remove routes to DNS");
}

void NullCleanUpSystemLayer::cleanUpBlackHoleRoutes()
{
    skipped("remove black-hole routes");
}

void NullCleanUpSystemLayer::enableKillSwitchInterfaces()
{
    skipped("enable kill-switch interfaces");
}
