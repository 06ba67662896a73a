#include "websvc/CredentialsStore.h"

QString CredentialsStore::username;
QString CredentialsStore::password;

void CredentialsStore::setUsernamePassword(const QString &newUsername, const QString &newPassword)
{
    username = newUsername;
    password = newPassword;
}

void CredentialsStore::clearUsernamePassword()
{
    username = QString();
    password = QString();
}

QString CredentialsStore::getUsername()
{
    return username;
}

QString CredentialsStore::getPassword()
{
    return password;
}
