#pragma once

#include <QByteArray>

// Salsa20/20 over a fixed 8-byte nonce and 32-byte key. Every call starts
// the key stream at block 0, so enciphering and deciphering are one call.
class Salsa20
{
public:
    static const int NONCE_BYTES = 8;
    static const int KEY_BYTES = 32;

    // Throws std::invalid_argument for a wrong nonce or key length.
    Salsa20(const QByteArray &nonce, const QByteArray &key);

    // Never throws for bad lengths: logs and falls back to all-zero nonce and key.
    static Salsa20 createSalsa20(const QByteArray &nonce, const QByteArray &key);

    QByteArray crypt(const QByteArray &input) const;

private:
    QByteArray m_nonce;
    QByteArray m_key;
};
