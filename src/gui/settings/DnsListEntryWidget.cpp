#include "gui/settings/DnsListEntryWidget.h"

#include "gui/settings/InputRefusal.h"
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
    m_ui->inputsCheck->hide();
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
    const QString reason = refusal();
    // Fields all empty: a new entry not yet begun, nothing to explain.
    const bool begun =
        !m_ui->nameNS->text().isEmpty() || !m_ui->dns1Address->text().isEmpty() || !m_ui->dns2Address->text().isEmpty();
    InputRefusal::show(*m_ui->inputsCheck, begun ? reason : QString());
    emit areInputsValid(reason.isEmpty());
}

QString DnsListEntryWidget::refusal() const
{
    const QString name = m_ui->nameNS->text().trimmed();
    if (name.isEmpty())
        return tr("Enter a name for the entry.");
    if (m_usedNames.contains(name))
        return tr("Another entry has this name.");
    if (reservedNames().contains(name, Qt::CaseInsensitive))
        return tr("\"%1\" is already the name of a DNS choice.").arg(name);
    if (m_ui->dns1Address->text().isEmpty())
        return tr("Enter the address of the first name server.");
    if (!m_ui->dns1Address->hasAcceptableInput())
        return tr("The first address is not a valid IPv4 address.");
    if (!m_ui->dns2Address->text().isEmpty() && !m_ui->dns2Address->hasAcceptableInput())
        return tr("The second address is not a valid IPv4 address (or leave it empty).");
    return QString();
}
