#include "helper/SHA256.h"

#include <algorithm>
#include <cstring>

namespace stelvane {

namespace {

constexpr uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

inline uint32_t rotr(uint32_t x, unsigned int n)
{
    return (x >> n) | (x << (32 - n));
}

} // namespace

void SHA256::init()
{
    static constexpr uint32_t initial[8] = {
        0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
    };
    std::memcpy(m_h, initial, sizeof m_h);
    m_blockLength = 0;
    m_totalLength = 0;
}

void SHA256::transform(const unsigned char *blocks, unsigned int blockCount)
{
    for (unsigned int b = 0; b < blockCount; ++b) {
        const unsigned char *block = blocks + b * BLOCK_SIZE;
        uint32_t w[64];
        for (int t = 0; t < 16; ++t) {
            w[t] = (uint32_t(block[4 * t]) << 24) | (uint32_t(block[4 * t + 1]) << 16)
                   | (uint32_t(block[4 * t + 2]) << 8) | uint32_t(block[4 * t + 3]);
        }
        for (int t = 16; t < 64; ++t) {
            const uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        uint32_t a = m_h[0], bb = m_h[1], c = m_h[2], d = m_h[3];
        uint32_t e = m_h[4], f = m_h[5], g = m_h[6], h = m_h[7];
        for (int t = 0; t < 64; ++t) {
            const uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + K[t] + w[t];
            const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & bb) ^ (a & c) ^ (bb & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = bb;
            bb = a;
            a = t1 + t2;
        }
        m_h[0] += a;
        m_h[1] += bb;
        m_h[2] += c;
        m_h[3] += d;
        m_h[4] += e;
        m_h[5] += f;
        m_h[6] += g;
        m_h[7] += h;
    }
}

void SHA256::update(const unsigned char *data, unsigned int length)
{
    m_totalLength += length;
    if (m_blockLength > 0) {
        const unsigned int take = std::min(length, BLOCK_SIZE - m_blockLength);
        std::memcpy(m_block + m_blockLength, data, take);
        m_blockLength += take;
        data += take;
        length -= take;
        if (m_blockLength < BLOCK_SIZE)
            return;
        transform(m_block, 1);
        m_blockLength = 0;
    }
    const unsigned int whole = length / BLOCK_SIZE;
    transform(data, whole);
    data += whole * BLOCK_SIZE;
    length -= whole * BLOCK_SIZE;
    std::memcpy(m_block, data, length);
    m_blockLength = length;
}

void SHA256::final(unsigned char *digest)
{
    const uint64_t bitLength = m_totalLength * 8;
    unsigned char padding[2 * BLOCK_SIZE] = {0x80};
    const unsigned int padLength = (m_blockLength < 56 ? 56 : 120) - m_blockLength;
    update(padding, padLength);
    unsigned char lengthBytes[8];
    for (int i = 0; i < 8; ++i)
        lengthBytes[i] = static_cast<unsigned char>(bitLength >> (56 - 8 * i));
    update(lengthBytes, 8);
    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = static_cast<unsigned char>(m_h[i] >> 24);
        digest[4 * i + 1] = static_cast<unsigned char>(m_h[i] >> 16);
        digest[4 * i + 2] = static_cast<unsigned char>(m_h[i] >> 8);
        digest[4 * i + 3] = static_cast<unsigned char>(m_h[i]);
    }
    init();
}

std::string toHex(const unsigned char *digest, unsigned int length)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += digits[digest[i] >> 4];
        hex += digits[digest[i] & 0x0F];
    }
    return hex;
}

std::string sha256(const std::string &data)
{
    SHA256 hash;
    hash.update(reinterpret_cast<const unsigned char *>(data.data()), static_cast<unsigned int>(data.size()));
    unsigned char digest[SHA256::DIGEST_SIZE];
    hash.final(digest);
    return toHex(digest, SHA256::DIGEST_SIZE);
}

std::string sha256(const std::vector<char> &data)
{
    return sha256(std::string(data.begin(), data.end()));
}

} // namespace stelvane
