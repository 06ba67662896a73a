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
    , m_ui(new Ui::DnsListWidget)
{
    m_dnsList.addHardCodedEntries();
    m_ui->setupUi(this);
    m_ui->customDNSListEdit->setEnabled(false);
    m_ui->customDNSListRemove->setEnabled(false);
}

DnsListWidget::~DnsListWidget() = default;

void DnsListWidget::setCustomDnsList(const DnsList &list, const QList<DnsListEntry> &inUse)
{
    m_dnsList = list;
    this->m_inUse = inUse;
    updateCustomDnsListView();
}

DnsList DnsListWidget::getCustomDnsList() const
{
    return m_dnsList;
}

void DnsListWidget::updateCustomDnsListView()
{
    m_ui->customDnsList->clear();
    for (const DnsListEntry &entry : qAsConst(m_dnsList)) {
        auto *item = new QListWidgetItem(displayText(entry), m_ui->customDnsList);
        item->setData(Qt::UserRole, QVariant::fromValue(entry));
    }
    m_ui->customDnsList->sortItems(Qt::AscendingOrder);
    fitListToEntries();
}

void DnsListWidget::fitListToEntries()
{
    // Wide enough for the longest entry, within reason, so addresses are not cut off.
    const QListWidget &list = *m_ui->customDnsList;
    const int chrome = 2 * list.frameWidth() + list.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_ui->customDnsList->setMinimumWidth(qMin(list.sizeHintForColumn(0) + chrome, MAXIMUM_LIST_WIDTH));
}

bool DnsListWidget::isLocked(const DnsListEntry &entry) const
{
    return !entry.isEditable() || m_inUse.contains(entry);
}

void DnsListWidget::on_customDnsList_itemSelectionChanged()
{
    const QList<QListWidgetItem *> selected = m_ui->customDnsList->selectedItems();
    const bool editable = selected.size() == 1 && !isLocked(entryOf(*selected.first()));
    m_ui->customDNSListEdit->setEnabled(editable);
    m_ui->customDNSListRemove->setEnabled(editable);
}

void DnsListWidget::on_customDNSListAdd_clicked()
{
    DnsListEntryDialog dialog(this);
    dialog.setListEntryToEdit(m_dnsList.getNames(), DnsListEntry(QString(), QHostAddress(), QHostAddress(), true));
    if (dialog.exec() == QDialog::Accepted)
        m_dnsList.append(dialog.getModifiedEntry());
    updateCustomDnsListView();
}

void DnsListWidget::on_customDNSListEdit_clicked()
{
    const QListWidgetItem *item = m_ui->customDnsList->currentItem();
    if (!item)
        return;
    const DnsListEntry current = entryOf(*item);
    QStringList usedNames = m_dnsList.getNames();
    usedNames.removeOne(current.getName());

    DnsListEntryDialog dialog(this);
    dialog.setListEntryToEdit(usedNames, current);
    if (dialog.exec() == QDialog::Accepted) {
        const int index = m_dnsList.indexOf(current);
        if (index >= 0)
            m_dnsList.replace(index, dialog.getModifiedEntry());
    }
    updateCustomDnsListView();
}

void DnsListWidget::on_customDNSListRemove_clicked()
{
    const QList<QListWidgetItem *> selected = m_ui->customDnsList->selectedItems();
    if (selected.isEmpty())
        return;
    const DnsListEntry entry = entryOf(*selected.first());
    if (entry.isEditable())
        m_dnsList.removeOne(entry);
    updateCustomDnsListView();
}
