#include "catalogue/ComboBoxConfigCipher.h"

#include "catalogue/HalvorixServerSite.h"

#include <QtGlobal>

#include <algorithm>

namespace {
[[maybe_unused]] const int comboBoxCipherMetaType = qRegisterMetaType<ComboBoxConfigCipher>("ComboBoxConfigCipher");

bool containsAll(const QList<OpenVpnConfigCipher> &haystack, const QList<OpenVpnConfigCipher> &needles)
{
    return std::all_of(needles.cbegin(), needles.cend(),
                       [&haystack](const OpenVpnConfigCipher &needle) { return haystack.contains(needle); });
}
} // namespace

ComboBoxConfigCipher::ComboBoxConfigCipher()
    : m_ciphers {OpenVpnConfigCipher()}
{
}

ComboBoxConfigCipher::ComboBoxConfigCipher(const OpenVpnConfigCipher &cipher)
    : m_ciphers {cipher}
{
}

ComboBoxConfigCipher::ComboBoxConfigCipher(const QList<OpenVpnConfigCipher> &ciphers)
    : m_ciphers(ciphers)
{
}

QList<ComboBoxConfigCipher> ComboBoxConfigCipher::getComboBoxConfigCipherList(const HalvorixServerSite &site,
                                                                              const ConnectVia &connectVia)
{
    const QList<OpenVpnConfigCipher> ciphers = site.supportedCiphers(connectVia);
    QList<ComboBoxConfigCipher> entries;
    if (ciphers.size() >= 2)
        entries.append(ComboBoxConfigCipher(filterStealthCiphers(ciphers)));
    for (const OpenVpnConfigCipher &cipher : ciphers)
        entries.append(ComboBoxConfigCipher(cipher));
    return entries;
}

QList<OpenVpnConfigCipher> ComboBoxConfigCipher::filterStealthCiphers(const QList<OpenVpnConfigCipher> &ciphers)
{
    QList<OpenVpnConfigCipher> result;
    for (const OpenVpnConfigCipher &cipher : ciphers) {
        if (!cipher.isStealth())
            result.append(cipher);
    }
    return result;
}

ComboBoxConfigCipher ComboBoxConfigCipher::getDefaultComboBoxConfigCipher(const HalvorixServerSite &site,
                                                                          const ConnectVia &connectVia)
{
    return ComboBoxConfigCipher(filterStealthCiphers(site.supportedCiphers(connectVia)));
}

QList<OpenVpnConfigCipher> ComboBoxConfigCipher::getConfigCiphers() const
{
    return m_ciphers;
}

QString ComboBoxConfigCipher::getDisplayPort() const
{
    if (m_ciphers.size() != 1)
        return QStringLiteral("Auto");
    return m_ciphers.first().getDisplayPortAuthStealthName();
}

QList<int> ComboBoxConfigCipher::getPort() const
{
    QList<int> ports;
    for (const OpenVpnConfigCipher &cipher : m_ciphers)
        ports.append(cipher.getPort());
    return ports;
}

QStringList ComboBoxConfigCipher::getAuth() const
{
    QStringList auths;
    for (const OpenVpnConfigCipher &cipher : m_ciphers)
        auths.append(cipher.getAuth());
    return auths;
}

QStringList ComboBoxConfigCipher::getCiphers() const
{
    QStringList names;
    for (const OpenVpnConfigCipher &cipher : m_ciphers) {
        for (const QString &name : cipher.getCiphers()) {
            if (!names.contains(name))
                names.append(name);
        }
    }
    // Stable, so names differing only in case keep the order they were met in.
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QStringList ComboBoxConfigCipher::getCipherButNotNone() const
{
    QStringList names = getCiphers();
    names.removeAll(QStringLiteral("none"));
    return names;
}

bool ComboBoxConfigCipher::isStealth() const
{
    return m_ciphers.size() == 1 && m_ciphers.first().isStealth();
}

bool ComboBoxConfigCipher::isValid() const
{
    if (m_ciphers.isEmpty())
        return false;
    return std::all_of(m_ciphers.cbegin(), m_ciphers.cend(),
                       [](const OpenVpnConfigCipher &cipher) { return cipher.isValid(); });
}

bool ComboBoxConfigCipher::hasSTunnelPort() const
{
    return std::all_of(m_ciphers.cbegin(), m_ciphers.cend(),
                       [](const OpenVpnConfigCipher &cipher) { return cipher.hasSTunnelPort(); });
}

QList<int> ComboBoxConfigCipher::getSTunnelPort() const
{
    QList<int> ports;
    for (const OpenVpnConfigCipher &cipher : m_ciphers)
        ports.append(cipher.getStunnelPort());
    return ports;
}

OpenVpnConfigCipher ComboBoxConfigCipher::getConfigByCipher(const QString &cipherName) const
{
    QList<OpenVpnConfigCipher> matching;
    for (const OpenVpnConfigCipher &cipher : m_ciphers) {
        if (cipher.getCiphers().contains(cipherName))
            matching.append(cipher);
    }
    if (matching.isEmpty())
        return OpenVpnConfigCipher();
    // The process-wide generator seeded at start-up, so picks vary between runs.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const int draw = qrand();
    QT_WARNING_POP
    return matching.at(draw % matching.size());
}

bool ComboBoxConfigCipher::operator==(const ComboBoxConfigCipher &other) const
{
    if (m_ciphers.isEmpty() || other.m_ciphers.isEmpty())
        return m_ciphers.isEmpty() && other.m_ciphers.isEmpty();
    return containsAll(m_ciphers, other.m_ciphers) && containsAll(other.m_ciphers, m_ciphers);
}

bool ComboBoxConfigCipher::operator!=(const ComboBoxConfigCipher &other) const
{
    return !(*this == other);
}
