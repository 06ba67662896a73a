// libFuzzer target: the walk over a routing-table dump, and the platform step
// that builds such a dump from the text of /proc/net/route. The walk must stay
// inside the bytes it is given, whatever they hold; every dump the platform
// step builds must walk to its end.
#include "routedump/RouteDumpSysctl.h"
#include "system/RoutingTableIPv4.h"

#include <QtGlobal>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

QString names(unsigned index)
{
    return index % 3 == 1 ? QStringLiteral("en0") : QString();
}

bool damaged = false;

void watch(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("Route dump damaged")))
        damaged = true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QtMessageHandler previous = qInstallMessageHandler(watch);
    Q_UNUSED(previous);

    RoutingTableIPv4::parseDump(data, size, names);

    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::vector<unsigned char> dump =
        orvalplatform::routeDumpFromProcNetRoute(text, [](const std::string &iface) { return unsigned(iface.size()); });
    damaged = false;
    const QList<Route4Entry> routes = RoutingTableIPv4::parseDump(dump.data(), dump.size(), names);
    if (damaged || std::size_t(routes.size()) > dump.size() / 92)
        std::abort();
    return 0;
}
