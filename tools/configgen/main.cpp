// orval-configgen: packs a catalogue description into a configuration archive
// (config.zip) and its announcement (config.txt).
#include "CatalogueGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <sodium.h>

#include <exception>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw std::runtime_error("can not write " + path.toStdString());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Packs a catalogue description into config.zip and config.txt."));
    parser.addHelpOption();
    const QCommandLineOption catalogueOption(
        QStringLiteral("catalogue"), QStringLiteral("Catalogue description (catalogue.json)."), QStringLiteral("file"));
    const QCommandLineOption zipOption(QStringLiteral("zip"), QStringLiteral("Archive to write."),
                                       QStringLiteral("file"));
    const QCommandLineOption txtOption(
        QStringLiteral("txt"), QStringLiteral("Announcement to write (no final line feed)."), QStringLiteral("file"));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Version to announce instead of the catalogue's."),
                                           QStringLiteral("n"));
    const QCommandLineOption urlOption(QStringLiteral("url"), QStringLiteral("Archive address to announce."),
                                       QStringLiteral("url"),
                                       QStringLiteral("https://update.orvalvpn.example/Config/config.zip"));
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("Reach every site through this server: NAME or NAME=ADDRESS[,ADDRESS...]."),
        QStringLiteral("server"));
    const QCommandLineOption udpPortOption(
        QStringLiteral("udp-port"), QStringLiteral("Server port of the UDP engine files."), QStringLiteral("port"));
    const QCommandLineOption tcpPortOption(
        QStringLiteral("tcp-port"), QStringLiteral("Server port of the TCP engine files."), QStringLiteral("port"));
    const QCommandLineOption openConnectPortOption(
        QStringLiteral("openconnect-port"), QStringLiteral("Default OpenConnect server port."), QStringLiteral("port"));
    const QCommandLineOption sitesOption(QStringLiteral("synthetic-sites"),
                                         QStringLiteral("Replace the sites by this many generated ones."),
                                         QStringLiteral("n"));
    const QCommandLineOption memberOption(QStringLiteral("member"),
                                          QStringLiteral("Add or replace a member: NAME=FILE (repeatable)."),
                                          QStringLiteral("member"));
    const QCommandLineOption plainOption(QStringLiteral("plain-dir"),
                                         QStringLiteral("Also write the members, unpacked, into this directory."),
                                         QStringLiteral("dir"));
    parser.addOptions({catalogueOption, zipOption, txtOption, versionOption, urlOption, serverOption, udpPortOption,
                       tcpPortOption, openConnectPortOption, sitesOption, memberOption, plainOption});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(catalogueOption) || !parser.isSet(zipOption) || !parser.isSet(txtOption)) {
        err << "orval-configgen: --catalogue, --zip and --txt are required\n";
        return 2;
    }
    if (sodium_init() < 0) {
        err << "orval-configgen: libsodium does not initialise\n";
        return 1;
    }

    try {
        const CatalogueGenerator generator = CatalogueGenerator::fromFile(parser.value(catalogueOption));
        CatalogueGenerator::Options options;
        if (parser.isSet(serverOption)) {
            const QString server = parser.value(serverOption);
            options.serverName = server.section(QLatin1Char('='), 0, 0);
            options.serverAddresses = server.section(QLatin1Char('='), 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
        }
        options.udpPort = parser.value(udpPortOption).toInt();
        options.tcpPort = parser.value(tcpPortOption).toInt();
        options.openConnectPort = parser.value(openConnectPortOption).toInt();
        options.syntheticSites = parser.value(sitesOption).toInt();
        for (const QString &member : parser.values(memberOption)) {
            QFile file(member.section(QLatin1Char('='), 1));
            if (!file.open(QIODevice::ReadOnly))
                throw std::runtime_error("can not read " + file.fileName().toStdString());
            options.extraMembers.insert(member.section(QLatin1Char('='), 0, 0), file.readAll());
        }

        const QList<ZipWriter::Member> members = generator.members(options);
        const QByteArray zip = ZipWriter::write(members);
        const int version = parser.isSet(versionOption) ? parser.value(versionOption).toInt() : generator.version();
        writeFile(parser.value(zipOption), zip);
        writeFile(parser.value(txtOption), CatalogueGenerator::configTxt(version, zip, parser.value(urlOption)));
        if (parser.isSet(plainOption)) {
            const QDir plain(parser.value(plainOption));
            QDir().mkpath(plain.absolutePath());
            for (const ZipWriter::Member &member : members)
                writeFile(plain.absoluteFilePath(member.name), member.data);
        }
    } catch (const std::exception &e) {
        err << "orval-configgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
