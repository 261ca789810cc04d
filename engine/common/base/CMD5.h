#pragma once

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace Common {

// An MD5 (RFC 1321) computation fed in pieces. The digest is fixed by the
// first Finish; later requests return the same digest.
class CMD5
{
public:
    static constexpr uint32_t kDigestSize = 16;

    CMD5();

    void Update(const void* data, uint32_t size);
    // The bytes up to, not including, the terminating zero; null adds nothing.
    void Update(const char* text);

    const uint8_t* Finish();
    // 32 lowercase hexadecimal digits.
    std::string HexDigest();

private:
    void Transform(const uint8_t block[64]);

    uint32_t m_state[4];
    uint64_t m_bitCount;
    uint8_t m_buffer[64];
    uint8_t m_digest[kDigestSize];
    bool m_finished;
};

} // namespace Common
} // namespace RVGameEngine
