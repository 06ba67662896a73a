#include "catalogue/ServerSiteModel.h"

#include "catalogue/HalvorixConfig.h"

ServerSiteModel::Reader ServerSiteModel::installedCatalogue()
{
    return {&HalvorixConfig::getServerSites, &HalvorixConfig::getStealthProxies};
}

ServerSiteModel::ServerSiteModel(Reader reader, QObject *parent)
    : QObject(parent)
    , m_reader(std::move(reader))
{
}

void ServerSiteModel::onNewConfigWasDownloaded()
{
    reload();
}

void ServerSiteModel::reload()
{
    m_sites = m_reader.sites();
    m_stealthProxies = m_reader.stealthProxies();
    emit changed();
}
