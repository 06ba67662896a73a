#pragma once

#include "catalogue/HalvorixServerSite.h"
#include "catalogue/HalvorixServerSitesList.h"

#include <QScopedPointer>
#include <QString>
#include <QWidget>

namespace Ui {
class ServerListWidget;
}
class QListWidgetItem;

// The page on which the user picks a server site from a list: one two-line
// row per site, filtered by region and sorted by one of the site orders; the
// chosen order is remembered in the preferences, the filter is not.
class ServerListWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ServerListWidget(QWidget *parent = nullptr);
    ~ServerListWidget() override;

    void setServerSites(const HalvorixServerSitesList &serverSites);
    // Shows every region again and selects the site's row (the first row
    // when the site is not listed, keeping the remembered one).
    void setCurrentServerSite(const HalvorixServerSite &site);
    // Selects the row of the remembered site, if it is listed.
    void setCurrentServerSite();

public slots:
    void refreshServerSitesView();

signals:
    void dismissed();
    void serverSiteSelected(HalvorixServerSite serverSite);

private slots:
    void on_dismiss_clicked();
    void on_serverSites_itemClicked(QListWidgetItem *item);

private:
    void addServerFilters();
    void refreshSortsOptions();
    // The row of the site with that identifier; null when none is listed.
    QListWidgetItem *findRow(const QString &siteId) const;
    void selectRow(QListWidgetItem *item);

    QScopedPointer<Ui::ServerListWidget> m_ui;
    HalvorixServerSitesList m_sites;
    QString m_currentServerSiteId;
};
