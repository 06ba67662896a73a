// orval-mapgen: draws the client's world map (square Mercator, land opaque, sea
// and lakes transparent) from the shoreline dump of tools/mapgen/dump-coastline.
// tools/mapgen/render-map runs it on the committed dump:
//   xz -dc gshhg-l-level1-2.txt.xz | orval-mapgen - orvalvpn-map-alpha-lakes-2048.png
#include "CoastlineMap.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the world map image from the shoreline dump."));
    parser.addHelpOption();
    const QCommandLineOption widthOption(QStringLiteral("width"), QStringLiteral("Image width and height."),
                                         QStringLiteral("pixels"), QStringLiteral("2048"));
    const QCommandLineOption landOption(QStringLiteral("land"), QStringLiteral("Land colour."),
                                        QStringLiteral("colour"), QStringLiteral("#4a7396"));
    parser.addOption(widthOption);
    parser.addOption(landOption);
    parser.addPositionalArgument(QStringLiteral("dump"), QStringLiteral("The shoreline dump as text, - for stdin."));
    parser.addPositionalArgument(QStringLiteral("image"), QStringLiteral("The PNG to write."));
    parser.process(application);
    const QStringList arguments = parser.positionalArguments();
    const int width = parser.value(widthOption).toInt();
    const QColor land(parser.value(landOption));
    if (arguments.size() != 2 || width <= 0 || !land.isValid())
        parser.showHelp(2);

    QFile input;
    bool opened = false;
    if (arguments[0] == QLatin1String("-")) {
        opened = input.open(stdin, QIODevice::ReadOnly);
    } else {
        input.setFileName(arguments[0]);
        opened = input.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(arguments[0]));
        return 1;
    }
    QTextStream in(&input);
    CoastlineMap map;
    QString error;
    if (!map.read(in, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!map.render(width, land).save(arguments[1], "PNG", 9)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[1]));
        return 1;
    }
    std::printf("%d land and %d lake rings drawn into %s\n", map.ringCount(1), map.ringCount(2),
                qPrintable(arguments[1]));
    return 0;
}
