// The catalogue's text members: configs2.csv rows (with their flag and
// location fields) and the deciphered stealth-proxy list. Any input is read
// without a crash; the readers only log what they cannot use.
#include "catalogue/CatalogueCsv.h"
#include "catalogue/HalvorixConfig.h"

#include <QtGlobal>

#include <cstdint>

namespace {
void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char *>(bytes), int(size));
    for (const CatalogueCsv::Row &row : CatalogueCsv::rows(data)) {
        if (row.fields.size() >= 6) {
            HalvorixConfig::toBool(row.fields[4]);
            HalvorixConfig::toBool(row.fields[5]);
        }
        if (row.fields.size() >= 8)
            HalvorixConfig::toGeoLocation(row.fields[6], row.fields[7]);
    }
    HalvorixConfig::readStealthProxies(data);
    return 0;
}
