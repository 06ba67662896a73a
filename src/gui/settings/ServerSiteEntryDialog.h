#pragma once

#include "catalogue/HalvorixServerSite.h"

#include <QDialog>
#include <QHostAddress>
#include <QList>
#include <QScopedPointer>

namespace Ui {
class ServerSiteEntryDialog;
}

// Adds one dedicated-IP server; OK is enabled only for a complete address
// that is not in the list yet.
class ServerSiteEntryDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ServerSiteEntryDialog(QWidget *parent = nullptr);
    ~ServerSiteEntryDialog() override;

    void setAlreadyUsedIps(const QList<QHostAddress> &addresses);
    HalvorixServerSite getNewEntry() const;
    bool setAsDefault() const;

private slots:
    void onInputsChecked(bool valid);
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    QScopedPointer<Ui::ServerSiteEntryDialog> m_ui;
};
