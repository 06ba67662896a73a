#include "gui/settings/DnsListWidget.h"

#include "gui/settings/DnsListEntryDialog.h"
#include "ui_DnsListWidget.h"

#include <QStyle>

namespace {
const int MAXIMUM_LIST_WIDTH = 560;

DnsListEntry entryOf(const QListWidgetItem &item)
{
    return item.data(Qt::UserRole).value<DnsListEntry>();
}

// A null address shows as the empty text.
QString displayText(const DnsListEntry &entry)
{
    return QStringLiteral("%1 : ( %2, %3 )")
        .arg(entry.getName(), entry.getDns1().toString(), entry.getDns2().toString());
}
} // namespace

DnsListWidget::DnsListWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::DnsListWidget)
{
    dnsList.addHardCodedEntries();
    ui->setupUi(this);
    ui->customDNSListEdit->setEnabled(false);
    ui->customDNSListRemove->setEnabled(false);
}

DnsListWidget::~DnsListWidget() = default;

void DnsListWidget::setCustomDnsList(const DnsList &list, const QList<DnsListEntry> &inUse)
{
    dnsList = list;
    this->inUse = inUse;
    updateCustomDnsListView();
}

DnsList DnsListWidget::getCustomDnsList() const
{
    return dnsList;
}

void DnsListWidget::updateCustomDnsListView()
{
    ui->customDnsList->clear();
    for (const DnsListEntry &entry : qAsConst(dnsList)) {
        auto *item = new QListWidgetItem(displayText(entry), ui->customDnsList);
        item->setData(Qt::UserRole, QVariant::fromValue(entry));
    }
    ui->customDnsList->sortItems(Qt::AscendingOrder);
    fitListToEntries();
}

void DnsListWidget::fitListToEntries()
{
    // Wide enough for the longest entry, within reason, so addresses are not cut off.
    const QListWidget &list = *ui->customDnsList;
    const int chrome = 2 * list.frameWidth() + list.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    ui->customDnsList->setMinimumWidth(qMin(list.sizeHintForColumn(0) + chrome, MAXIMUM_LIST_WIDTH));
}

bool DnsListWidget::isLocked(const DnsListEntry &entry) const
{
    return !entry.isEditable() || inUse.contains(entry);
}

void DnsListWidget::on_customDnsList_itemSelectionChanged()
{
    const QList<QListWidgetItem *> selected = ui->customDnsList->selectedItems();
    const bool editable = selected.size() == 1 && !isLocked(entryOf(*selected.first()));
    ui->customDNSListEdit->setEnabled(editable);
    ui->customDNSListRemove->setEnabled(editable);
}

void DnsListWidget::on_customDNSListAdd_clicked()
{
    DnsListEntryDialog dialog(this);
    dialog.setListEntryToEdit(dnsList.getNames(), DnsListEntry(QString(), QHostAddress(), QHostAddress(), true));
    if (dialog.exec() == QDialog::Accepted)
        dnsList.append(dialog.getModifiedEntry());
    updateCustomDnsListView();
}

void DnsListWidget::on_customDNSListEdit_clicked()
{
    const QListWidgetItem *item = ui->customDnsList->currentItem();
    if (!item)
        return;
    const DnsListEntry current = entryOf(*item);
    QStringList usedNames = dnsList.getNames();
    usedNames.removeOne(current.getName());

    DnsListEntryDialog dialog(this);
    dialog.setListEntryToEdit(usedNames, current);
    if (dialog.exec() == QDialog::Accepted) {
        const int index = dnsList.indexOf(current);
        if (index >= 0)
            dnsList.replace(index, dialog.getModifiedEntry());
    }
    updateCustomDnsListView();
}

void DnsListWidget::on_customDNSListRemove_clicked()
{
    const QList<QListWidgetItem *> selected = ui->customDnsList->selectedItems();
    if (selected.isEmpty())
        return;
    const DnsListEntry entry = entryOf(*selected.first());
    if (entry.isEditable())
        dnsList.removeOne(entry);
    updateCustomDnsListView();
}
