#pragma once

#include "prefs/DnsList.h"

#include <QDialog>
#include <QList>
#include <QScopedPointer>

namespace Ui {
class DnsListDialog;
}

// Edits a copy of the name-server entries; the caller takes getDnsList only
// when the dialog was accepted.
class DnsListDialog : public QDialog
{
    Q_OBJECT

public:
    // inUse: the entries the DNS actions use, which stay as they are.
    DnsListDialog(const DnsList &list, const QList<DnsListEntry> &inUse, QWidget *parent = nullptr);
    ~DnsListDialog() override;

    DnsList getDnsList() const;

private slots:
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    QScopedPointer<Ui::DnsListDialog> m_ui;
};
