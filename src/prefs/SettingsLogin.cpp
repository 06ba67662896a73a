#include "prefs/Settings.h"

#include "prefs/OwnerOnlyFile.h"
#include "prefs/PrefsLogging.h"

#include <QDebug>
#include <QJsonDocument>

namespace {
const char *const KEY_CREDENTIALS = "login/credentials";
const char *const KEY_PLAIN_USERNAME = "login/username";
const char *const KEY_PLAIN_PASSWORD = "login/password";
const char *const KEY_PLAIN_REMEMBER = "login/rememberCredentials";

// Fixed for every installation: records written elsewhere must stay readable.
const char *const CREDENTIAL_NONCE_HEX = "a4c19e07b35f2d68";
const char *const CREDENTIAL_KEY_HEX = "7e2b91d04fc3a8561b0de7f29c64a3158f0b2ed7c6194a53e81d07bf2a95c46d";
} // namespace

// Remembered login.

Salsa20 Settings::newCredentialCrypt() const
{
    return Salsa20::createSalsa20(QByteArray::fromHex(CREDENTIAL_NONCE_HEX), QByteArray::fromHex(CREDENTIAL_KEY_HEX));
}

QJsonObject Settings::getCredentials() const
{
    const QString stored = topLevelValue(QLatin1String(KEY_CREDENTIALS)).toString();
    if (stored.isEmpty())
        return QJsonObject();
    const QByteArray sealed = QByteArray::fromBase64(stored.toUtf8());
    // The record format is Qt's binary JSON: stored files of every earlier
    // installation hold it, so it is kept although Qt deprecates it.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QJsonDocument document =
        QJsonDocument::fromBinaryData(newCredentialCrypt().crypt(sealed), QJsonDocument::Validate);
    QT_WARNING_POP
    if (!document.isObject() || document.object().isEmpty()) {
        qCDebug(lcPrefs) << "Settings::getCredentials: the remembered login could not be decoded";
        return QJsonObject();
    }
    return document.object();
}

QString Settings::getUsername()
{
    const QJsonObject record = getCredentials();
    if (!record.isEmpty())
        return record.value(QStringLiteral("username")).toString();
    return topLevelValue(QLatin1String(KEY_PLAIN_USERNAME)).toString();
}

QString Settings::getPassword()
{
    const QJsonObject record = getCredentials();
    if (!record.isEmpty())
        return record.value(QStringLiteral("password")).toString();
    return topLevelValue(QLatin1String(KEY_PLAIN_PASSWORD)).toString();
}

bool Settings::remembersCredentials() const
{
    if (!getCredentials().isEmpty())
        return true;
    return topLevelValue(QLatin1String(KEY_PLAIN_REMEMBER), false).toBool();
}

void Settings::rememberCredentials(const QString &username, const QString &password)
{
    // A store written by an older build may be readable by others; it is about
    // to hold the login, so take that away.
    OwnerOnlyFile::restrictToOwner(QSettings::fileName());
    leaveGroup();
    remove(QLatin1String(KEY_PLAIN_USERNAME));
    remove(QLatin1String(KEY_PLAIN_PASSWORD));
    remove(QLatin1String(KEY_PLAIN_REMEMBER));
    const QJsonObject record {{QStringLiteral("username"), username}, {QStringLiteral("password"), password}};
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QByteArray plain = QJsonDocument(record).toBinaryData();
    QT_WARNING_POP
    store(KEY_CREDENTIALS, QString::fromLatin1(newCredentialCrypt().crypt(plain).toBase64()));
    enterGroup();
}

void Settings::forgetCredentials()
{
    leaveGroup();
    beginGroup(QStringLiteral("login"));
    for (const char *key : {"rememberCredentials", "username", "password", "credentials"})
        remove(QLatin1String(key));
    endGroup();
    enterGroup();
}
