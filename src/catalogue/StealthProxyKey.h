#pragma once

// Nonce and key (Base64) under which the stealth-proxy list of the
// configuration archive is enciphered with Salsa20. The archive generator in
// tools/ enciphers with the same values.
namespace StealthProxyKey {
constexpr const char *nonceBase64 = "Qm3vT8pLw2A=";
constexpr const char *keyBase64 = "Vb7RkP2xN9qLz4TcWm1Ys8FhJd3Ge6Ua0Xi5Oo2Bn4E=";
} // namespace StealthProxyKey
