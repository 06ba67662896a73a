#include "catalogue/Salsa20.h"

#include "catalogue/CatalogueLogging.h"

#include <QDebug>
#include <QString>

#include <sodium.h>

#include <stdexcept>

static_assert(crypto_stream_salsa20_NONCEBYTES == Salsa20::NONCE_BYTES, "Salsa20 nonce length");
static_assert(crypto_stream_salsa20_KEYBYTES == Salsa20::KEY_BYTES, "Salsa20 key length");

namespace {
void checkLength(const char *what, int needed, const QByteArray &bytes)
{
    if (bytes.size() != needed)
        throw std::invalid_argument(QStringLiteral("Invalid %1! %2 bytes needed but got %3.")
                                        .arg(QLatin1String(what))
                                        .arg(needed)
                                        .arg(bytes.size())
                                        .toStdString());
}
} // namespace

Salsa20::Salsa20(const QByteArray &nonce, const QByteArray &key)
    : m_nonce(nonce)
    , m_key(key)
{
    checkLength("nonce", NONCE_BYTES, nonce);
    checkLength("key", KEY_BYTES, key);
    // Picks the fastest implementation; idempotent and cheap after the first call.
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium could not be initialised");
}

Salsa20 Salsa20::createSalsa20(const QByteArray &nonce, const QByteArray &key)
{
    try {
        return Salsa20(nonce, key);
    } catch (const std::invalid_argument &e) {
        qCDebug(lcCatalogue) << "Error constructing Salsa20: " << e.what();
        return Salsa20(QByteArray(NONCE_BYTES, '\0'), QByteArray(KEY_BYTES, '\0'));
    }
}

QByteArray Salsa20::crypt(const QByteArray &input) const
{
    QByteArray output(input.size(), Qt::Uninitialized);
    crypto_stream_salsa20_xor(
        reinterpret_cast<unsigned char *>(output.data()), reinterpret_cast<const unsigned char *>(input.constData()),
        static_cast<unsigned long long>(input.size()), reinterpret_cast<const unsigned char *>(m_nonce.constData()),
        reinterpret_cast<const unsigned char *>(m_key.constData()));
    return output;
}
