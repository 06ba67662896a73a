// orval-artgen: makes the client's images. Those of our own are painted by
// DrawnArt; flags and a few icons are converted from Debian's public-domain
// packages iso-flags-png-320x240 and tango-icon-theme. The results are
// committed: run tools/artgen/regenerate after changing this tool.
#include "ConvertedArt.h"
#include "DrawnArt.h"

#include "catalogue/CountryCode.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {
bool write(const QImage &image, const QString &path)
{
    if (image.isNull() || !QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG", 9)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

bool writeDrawn(const QString &resources)
{
    using Look = DrawnArt::TrayLook;
    using Pin = DrawnArt::PinColour;
    const QString images = resources + QStringLiteral("/images/");
    const QString map = resources + QStringLiteral("/map/");
    const QList<QPair<QString, QImage>> drawn = {
        {images + QStringLiteral("trayicon-disconnected.png"), DrawnArt::trayIcon(Look::Disconnected)},
        {images + QStringLiteral("trayicon-connecting.png"), DrawnArt::trayIcon(Look::Connecting)},
        {images + QStringLiteral("trayicon.png"), DrawnArt::trayIcon(Look::Connected)},
        {map + QStringLiteral("background-1024.png"), DrawnArt::mapBackground()},
        {map + QStringLiteral("background-light.png"), DrawnArt::lightBackground()},
        {images + QStringLiteral("map-banner.png"), DrawnArt::banner()},
        {images + QStringLiteral("orval2.png"), DrawnArt::marker()},
        {images + QStringLiteral("nest.png"), DrawnArt::nest()},
        {images + QStringLiteral("home.png"), DrawnArt::home()},
        {images + QStringLiteral("serversite-facts-bg.png"), DrawnArt::factsBackground()},
        {images + QStringLiteral("flags/flag__a.png"), DrawnArt::dedicatedIpFlag()},
        {images + QStringLiteral("flags/flag__b.png"), DrawnArt::portForwardFlag()},
        {images + QStringLiteral("halvorix-pushpin.png"), DrawnArt::pushpin(Pin::Red, true)},
        {images + QStringLiteral("halvorix-pushpin-grey.png"), DrawnArt::pushpin(Pin::Grey, true)},
        {images + QStringLiteral("halvorix-pushpin-disabled.png"), DrawnArt::pushpin(Pin::Red, false)},
        {images + QStringLiteral("halvorix-pushpin-grey-disabled.png"), DrawnArt::pushpin(Pin::Grey, false)},
        {images + QStringLiteral("ic_stealth.png"), DrawnArt::stealth()},
        {images + QStringLiteral("dedicated-ip.png"), DrawnArt::dedicatedIpBadge()},
    };
    bool ok = true;
    for (const auto &entry : drawn)
        ok = write(entry.second, entry.first) && ok;
    return ok;
}

bool writeFlags(const QString &resources, const QString &flagDir)
{
    const QString flags = resources + QStringLiteral("/images/flags/");
    bool ok = write(ConvertedArt::flag(flagDir + QStringLiteral("/_generic.png")), flags + "flag_empty.png");
    for (const CountryCode &country : CountryCode::countryCodes()) {
        const QString code = country.getIso2Code().toLower();
        if (code.startsWith(QLatin1Char('_')))
            continue; // the pseudo-countries' flags are drawn
        ok = write(ConvertedArt::flag(QStringLiteral("%1/%2.png").arg(flagDir, code)),
                   QStringLiteral("%1flag_%2.png").arg(flags, code))
             && ok;
    }
    return ok;
}

bool writeIcons(const QString &resources, const QString &tango)
{
    const QString images = resources + QStringLiteral("/images/");
    return write(QImage(tango + QStringLiteral("/32x32/status/dialog-warning.png")), images + "warning.png")
           & write(QImage(tango + QStringLiteral("/16x16/actions/view-refresh.png")), images + "refresh.png")
           & write(QImage(tango + QStringLiteral("/32x32/status/network-transmit-receive.png")),
                   images + "ic_bittorrent_on.png")
           & write(ConvertedArt::desaturated(QImage(tango + QStringLiteral("/16x16/actions/go-down.png"))),
                   images + "drop-down-arrow-gray.png");
}
} // namespace

int main(int argc, char **argv)
{
    // Text is drawn, so a platform is needed; no display is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes the client's images under a resource directory."));
    parser.addHelpOption();
    const QCommandLineOption flagsOption(QStringLiteral("flags"), QStringLiteral("iso-flags-png-320x240 directory."),
                                         QStringLiteral("dir"), QStringLiteral("/usr/share/iso-flags-png-320x240"));
    const QCommandLineOption tangoOption(QStringLiteral("tango"), QStringLiteral("Tango icon theme directory."),
                                         QStringLiteral("dir"), QStringLiteral("/usr/share/icons/Tango"));
    const QCommandLineOption drawnOnlyOption(QStringLiteral("drawn-only"),
                                             QStringLiteral("Only the images of our own (no package needed)."));
    parser.addOptions({flagsOption, tangoOption, drawnOnlyOption});
    parser.addPositionalArgument(QStringLiteral("resources"), QStringLiteral("The src/resources directory."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    const QString resources = parser.positionalArguments().constFirst();

    bool ok = writeDrawn(resources);
    if (!parser.isSet(drawnOnlyOption))
        ok = writeFlags(resources, parser.value(flagsOption)) & writeIcons(resources, parser.value(tangoOption)) && ok;
    return ok ? 0 : 1;
}
