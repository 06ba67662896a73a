#pragma once

#include "prefs/DnsList.h"

#include <QList>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class DnsListWidget;
}

// The name-server entries being edited, with Add, Edit and Remove. Built-in
// entries and the entries a DNS action uses can't be edited or removed.
class DnsListWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DnsListWidget(QWidget *parent = nullptr);
    ~DnsListWidget() override;

    void setCustomDnsList(const DnsList &list, const QList<DnsListEntry> &inUse);
    DnsList getCustomDnsList() const;

private slots:
    void on_customDnsList_itemSelectionChanged();
    void on_customDNSListAdd_clicked();
    void on_customDNSListEdit_clicked();
    void on_customDNSListRemove_clicked();

private:
    void updateCustomDnsListView();
    void fitListToEntries();
    bool isLocked(const DnsListEntry &entry) const;

    QScopedPointer<Ui::DnsListWidget> m_ui;
    DnsList m_dnsList;
    QList<DnsListEntry> m_inUse;
};
