#pragma once
// SHA-256 (FIPS 180-4) for the helper, which links nothing beyond the C++ library.
#include <cstdint>
#include <string>
#include <vector>

namespace stelvane {

class SHA256
{
public:
    static constexpr unsigned int DIGEST_SIZE = 32;
    static constexpr unsigned int BLOCK_SIZE = 64;

    SHA256() { init(); }

    void init();
    void update(const unsigned char *data, unsigned int length);
    void final(unsigned char *digest);
    void transform(const unsigned char *blocks, unsigned int blockCount);

private:
    uint32_t m_h[8];
    unsigned char m_block[BLOCK_SIZE];
    unsigned int m_blockLength = 0;
    uint64_t m_totalLength = 0;
};

// The digest as 64 lowercase hexadecimal digits.
std::string toHex(const unsigned char *digest, unsigned int length);
std::string sha256(const std::vector<char> &data);
std::string sha256(const std::string &data);

} // namespace stelvane
