// Reads an installed catalogue of 2,000 sites, each with its own cipher
// offers, the way every site-list rebuild does (nothing is cached), and
// prints how long HalvorixConfig::getServerSites takes.
#include "CatalogueGenerator.h"
#include "ZipWriter.h"
#include "catalogue/ConfigZip.h"
#include "catalogue/HalvorixConfig.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {
constexpr int sites = 2000;
constexpr int runs = 25;
constexpr double targetMs = 20.0;

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}
} // namespace

int main(int argc, char *argv[])
{
    // Settings and data of a throw-away home, never the user's own.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("OrvalVPN-bench"));
    QCoreApplication::setApplicationName(QStringLiteral("bench_catalogue"));
    QTextStream out(stdout);

    qInstallMessageHandler(quiet);
    CatalogueGenerator::Options options;
    options.syntheticSites = sites;
    const QByteArray zip =
        ZipWriter::write(CatalogueGenerator::fromFile(QStringLiteral(ORVAL_CATALOGUE)).members(options));
    ConfigZip(zip, QString::fromLatin1(QCryptographicHash::hash(zip, QCryptographicHash::Md5).toHex()), 1).execute();

    std::vector<double> times;
    int count = 0;
    int offers = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QList<HalvorixServerSite> list = HalvorixConfig::getServerSites();
        times.push_back(timer.nsecsElapsed() / 1e6);
        count = list.size();
        offers = 0;
        for (const HalvorixServerSite &site : list)
            offers += site.getConfigCiphers().size();
    }
    qInstallMessageHandler(nullptr);

    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    out << "getServerSites: " << count << " sites, " << offers << " cipher offers; median "
        << QString::number(median, 'f', 2) << " ms, best " << QString::number(times.front(), 'f', 2) << " ms, worst "
        << QString::number(times.back(), 'f', 2) << " ms over " << runs << " runs (target < " << targetMs
        << " ms: " << (median < targetMs ? "met" : "MISSED") << ")\n";
    return count == sites ? 0 : 1;
}
