#include "gui/settings/DnsListEntryWidget.h"

#include "prefs/DnsPreferenceAction.h"
#include "ui_DnsListEntryWidget.h"

namespace {
// Names the DNS action choices already stand for: an entry of that name could
// not be told apart from them once the choice is stored and read back.
QStringList reservedNames()
{
    return {DnsPreferenceAction::getDnsPreferenceActionNone().getDisplayName(),
            DnsPreferenceAction::getDnsPreferenceActionPushed().getDisplayName(),
            DnsPreferenceAction::getDnsPreferenceActionVpn().getDisplayName(),
            DnsPreferenceAction::getDnsPreferenceActionAdBlocking().getDisplayName(),
            DnsListEntry::DHCPDEFAULT.getName()};
}

QHostAddress addressOf(const QLineEdit &edit)
{
    return QHostAddress(edit.text().trimmed());
}
} // namespace

DnsListEntryWidget::DnsListEntryWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::DnsListEntryWidget)
    , m_entry(QString(), QHostAddress(), QHostAddress(), true)
{
    m_ui->setupUi(this);
    m_ui->nameNS->setText(QString());
    m_ui->dns1Address->setText(QString());
    m_ui->dns2Address->setText(QString());
}

DnsListEntryWidget::~DnsListEntryWidget() = default;

void DnsListEntryWidget::setListEntryToEdit(const QStringList &usedNames, const DnsListEntry &entry)
{
    this->m_entry = entry;
    this->m_usedNames = usedNames;
    // An entry without a name or a first address is shown as a new one; a
    // null second address shows as the empty text.
    const bool complete = !entry.getName().isEmpty() && !entry.getDns1().isNull();
    m_ui->nameNS->setText(complete ? entry.getName() : QString());
    m_ui->dns1Address->setText(complete ? entry.getDns1().toString() : QString());
    m_ui->dns2Address->setText(complete ? entry.getDns2().toString() : QString());
    // The texts may not have changed while the names to avoid did.
    checkInputs();
}

DnsListEntry DnsListEntryWidget::getNewEntry()
{
    m_entry = DnsListEntry(m_ui->nameNS->text().trimmed(), addressOf(*m_ui->dns1Address), addressOf(*m_ui->dns2Address),
                           true);
    return m_entry;
}

void DnsListEntryWidget::on_nameNS_textChanged(const QString &)
{
    checkInputs();
}

void DnsListEntryWidget::on_dns1Address_textChanged(const QString &)
{
    checkInputs();
}

void DnsListEntryWidget::on_dns2Address_textChanged(const QString &)
{
    checkInputs();
}

void DnsListEntryWidget::checkInputs()
{
    const bool secondValid = m_ui->dns2Address->hasAcceptableInput() || m_ui->dns2Address->text().isEmpty();
    emit areInputsValid(isNameAvailable(m_ui->nameNS->text().trimmed()) && m_ui->dns1Address->hasAcceptableInput()
                        && secondValid);
}

bool DnsListEntryWidget::isNameAvailable(const QString &name) const
{
    return !name.isEmpty() && !m_usedNames.contains(name) && !reservedNames().contains(name, Qt::CaseInsensitive);
}
