#pragma once

#include <QString>

// Checks shared by the cipher offer and the backend cipher; each throws
// std::invalid_argument with the message the user and the log see.
namespace CipherValidation {
void checkPort(int port);
void checkProtocol(const QString &protocol);
void checkStunnelPort(int stunnelPort);
void checkTlsKeyCombination(const QString &tlsCrypt, const QString &tlsKey);
// "SHA1" when no digest is set: the engine's default.
QString authName(const QString &auth);
} // namespace CipherValidation
