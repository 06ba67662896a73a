#pragma once

#include "catalogue/OpenVpnConfigCipher.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

class ConnectVia;
class HalvorixServerSite;

// One entry of the connect page's port box: the cipher offers it stands for.
class ComboBoxConfigCipher
{
public:
    // An entry holding the invalid empty offer.
    ComboBoxConfigCipher();
    ComboBoxConfigCipher(const OpenVpnConfigCipher &cipher);
    ComboBoxConfigCipher(const QList<OpenVpnConfigCipher> &ciphers);

    // With two or more offers, an "Auto" entry of the non-stealth ones first;
    // then one entry per offer, in the site's order.
    static QList<ComboBoxConfigCipher> getComboBoxConfigCipherList(const HalvorixServerSite &site,
                                                                   const ConnectVia &connectVia);
    static QList<OpenVpnConfigCipher> filterStealthCiphers(const QList<OpenVpnConfigCipher> &ciphers);
    static ComboBoxConfigCipher getDefaultComboBoxConfigCipher(const HalvorixServerSite &site,
                                                               const ConnectVia &connectVia);

    QList<OpenVpnConfigCipher> getConfigCiphers() const;
    // "Auto" unless the entry holds exactly one offer.
    QString getDisplayPort() const;
    QList<int> getPort() const;
    QStringList getAuth() const;
    // The union of the offers' cipher names, sorted case-insensitively.
    QStringList getCiphers() const;
    QStringList getCipherButNotNone() const;
    bool isStealth() const;
    bool isValid() const;
    bool hasSTunnelPort() const;
    QList<int> getSTunnelPort() const;
    // An offer accepting the name, drawn at random among several; invalid when none does.
    OpenVpnConfigCipher getConfigByCipher(const QString &cipherName) const;

    // Same offers regardless of order and repetition.
    bool operator==(const ComboBoxConfigCipher &other) const;
    bool operator!=(const ComboBoxConfigCipher &other) const;

private:
    QList<OpenVpnConfigCipher> m_ciphers;
};

Q_DECLARE_METATYPE(ComboBoxConfigCipher)
