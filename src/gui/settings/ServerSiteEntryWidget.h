#pragma once

#include "catalogue/HalvorixServerSite.h"

#include <QHostAddress>
#include <QList>
#include <QScopedPointer>
#include <QStringList>
#include <QWidget>

namespace Ui {
class ServerSiteEntryWidget;
}

// The fields of a new dedicated-IP server: country, name, address and the
// protocol and port chosen among the configuration's default offers. Only the
// address is checked, after every change of its text.
class ServerSiteEntryWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ServerSiteEntryWidget(QWidget *parent = nullptr);
    ~ServerSiteEntryWidget() override;

    // Addresses already in the dedicated-IP list, which the new one must not repeat.
    void setAlreadyUsedIps(const QList<QHostAddress> &addresses);
    HalvorixServerSite getNewEntry() const;
    bool setAsDefault() const;

signals:
    void areInputsValid(bool valid);

private slots:
    void on_serverSitesDedicatedIpAddress_textChanged(const QString &text);

private:
    void fillCountries();
    void fillFilters();

    QScopedPointer<Ui::ServerSiteEntryWidget> m_ui;
    QStringList m_usedAddresses;
};
