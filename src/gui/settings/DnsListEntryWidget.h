#pragma once

#include "prefs/DnsListEntry.h"

#include <QScopedPointer>
#include <QStringList>
#include <QWidget>

namespace Ui {
class DnsListEntryWidget;
}

// The fields of one name-server entry; reports after every change whether
// they make a valid entry, and says why not under the fields.
class DnsListEntryWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DnsListEntryWidget(QWidget *parent = nullptr);
    ~DnsListEntryWidget() override;

    // usedNames: the names the entry must not take.
    void setListEntryToEdit(const QStringList &usedNames, const DnsListEntry &entry);
    DnsListEntry getNewEntry();

signals:
    void areInputsValid(bool valid);

private slots:
    void on_nameNS_textChanged(const QString &text);
    void on_dns1Address_textChanged(const QString &text);
    void on_dns2Address_textChanged(const QString &text);

private:
    void checkInputs();
    // Why the fields make no valid entry, for the line under them; empty
    // when they make one.
    QString refusal() const;

    QScopedPointer<Ui::DnsListEntryWidget> m_ui;
    DnsListEntry m_entry;
    QStringList m_usedNames;
};
