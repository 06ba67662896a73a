#pragma once

#include "prefs/DnsListEntry.h"

#include <QDialog>
#include <QScopedPointer>
#include <QStringList>

namespace Ui {
class DnsListEntryDialog;
}

// Adds or edits one name-server entry; OK is enabled only for a valid entry.
class DnsListEntryDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DnsListEntryDialog(QWidget *parent = nullptr);
    ~DnsListEntryDialog() override;

    void setListEntryToEdit(const QStringList &usedNames, const DnsListEntry &entry);
    DnsListEntry getModifiedEntry();

private slots:
    void onInputsChecked(bool valid);
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    QScopedPointer<Ui::DnsListEntryDialog> m_ui;
};
