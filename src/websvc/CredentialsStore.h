#pragma once

#include <QString>

// The last user name and password an engine driver sent to its engine, kept
// in memory only, for the account API request made once the tunnel is up.
// Both start null (and so also empty) and return to null when cleared.
class CredentialsStore
{
public:
    CredentialsStore() = delete;

    static void setUsernamePassword(const QString &username, const QString &password);
    static void clearUsernamePassword();
    static QString getUsername();
    static QString getPassword();

private:
    static QString username;
    static QString password;
};
