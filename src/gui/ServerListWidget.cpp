#include "gui/ServerListWidget.h"

#include "catalogue/Region.h"
#include "catalogue/ServerSitesOrder.h"
#include "gui/ServerSiteItemDelegate.h"
#include "gui/StyleSheetResource.h"
#include "prefs/Settings.h"
#include "ui_ServerListWidget.h"

#include <QStandardItemModel>

ServerListWidget::ServerListWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::ServerListWidget)
{
    m_ui->setupUi(this);
    setStyleSheet(StyleSheetResource::read(QStringLiteral(":/resources/serverlistwidget.qss")));
    m_ui->serverSites->setItemDelegate(new ServerSiteItemDelegate(m_ui->serverSites));
    addServerFilters();
    connect(m_ui->filterComboBox, QOverload<int>::of(&QComboBox::activated), this,
            &ServerListWidget::refreshServerSitesView);
    connect(m_ui->sortComboBox, QOverload<int>::of(&QComboBox::activated), this,
            &ServerListWidget::refreshServerSitesView);
}

ServerListWidget::~ServerListWidget() = default;

void ServerListWidget::setServerSites(const HalvorixServerSitesList &serverSites)
{
    m_sites = serverSites;
    refreshSortsOptions();
    refreshServerSitesView();
}

void ServerListWidget::setCurrentServerSite(const HalvorixServerSite &site)
{
    // The rows follow the filter: a list left filtered by an earlier visit
    // would otherwise sit under "All" and miss the site.
    if (m_ui->filterComboBox->currentIndex() != 0) {
        m_ui->filterComboBox->setCurrentIndex(0);
        refreshServerSitesView();
    }
    if (m_ui->serverSites->count() > 0)
        selectRow(m_ui->serverSites->item(0));
    if (QListWidgetItem *row = findRow(site.getId())) {
        m_currentServerSiteId = site.getId();
        selectRow(row);
    }
}

void ServerListWidget::setCurrentServerSite()
{
    if (QListWidgetItem *row = findRow(m_currentServerSiteId))
        selectRow(row);
}

void ServerListWidget::refreshServerSitesView()
{
    m_ui->serverSites->clear();
    // No order before the first list arrives: the rows keep the list's order.
    if (const auto *order = m_ui->sortComboBox->currentData().value<const ServerSitesOrder *>()) {
        Settings().setServerSitesOrder(order);
        m_sites.sortList(order->getComparator());
    }
    const Region region = m_ui->filterComboBox->currentData().value<Region>();
    for (const HalvorixServerSite &site : m_sites.filterRegion(region).getAllServers()) {
        auto *item = new QListWidgetItem(site.getId(), m_ui->serverSites);
        item->setData(Qt::UserRole, QVariant::fromValue(site));
    }
    setCurrentServerSite();
}

void ServerListWidget::on_dismiss_clicked()
{
    emit dismissed();
}

void ServerListWidget::on_serverSites_itemClicked(QListWidgetItem *item)
{
    emit serverSiteSelected(item->data(Qt::UserRole).value<HalvorixServerSite>());
}

void ServerListWidget::addServerFilters()
{
    for (const Region &region : Region::getAllRegions())
        m_ui->filterComboBox->addItem(region.getDisplayName(), QVariant::fromValue(region));
}

void ServerListWidget::refreshSortsOptions()
{
    QComboBox &box = *m_ui->sortComboBox;
    box.clear();
    const auto *entries = qobject_cast<QStandardItemModel *>(box.model());
    for (const ServerSitesOrder *order : ServerSitesOrder::ALLORDERSLIST()) {
        box.addItem(order->getDisplayName(), QVariant::fromValue(order));
        entries->item(box.count() - 1)->setEnabled(order->isEnabled());
    }
    // The stored order when it is available now (Proximity needs a location),
    // else the first available one: a disabled entry must not be current.
    int chosen = box.findText(Settings().getServerSitesOrder()->getDisplayName());
    if (chosen < 0 || !entries->item(chosen)->isEnabled()) {
        chosen = 0;
        while (chosen < box.count() && !entries->item(chosen)->isEnabled())
            ++chosen;
    }
    if (chosen < box.count())
        box.setCurrentIndex(chosen);
}

QListWidgetItem *ServerListWidget::findRow(const QString &siteId) const
{
    for (int row = 0; row < m_ui->serverSites->count(); ++row) {
        QListWidgetItem *item = m_ui->serverSites->item(row);
        if (item->data(Qt::UserRole).value<HalvorixServerSite>().getId() == siteId)
            return item;
    }
    return nullptr;
}

void ServerListWidget::selectRow(QListWidgetItem *item)
{
    m_ui->serverSites->setCurrentItem(item);
    m_ui->serverSites->scrollToItem(item);
}
