#include "engine/common/base/CMD5.h"

#include <cstring>

namespace RVGameEngine {
namespace Common {

namespace {

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr uint32_t kShifts[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

constexpr uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

inline uint32_t RotateLeft(uint32_t value, uint32_t count)
{
    return (value << count) | (value >> (32 - count));
}

} // namespace

CMD5::CMD5()
    : m_state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u},
      m_bitCount(0),
      m_buffer{},
      m_digest{},
      m_finished(false)
{
}

void CMD5::Transform(const uint8_t block[64])
{
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
        words[i] = static_cast<uint32_t>(block[i * 4]) | (static_cast<uint32_t>(block[i * 4 + 1]) << 8) |
                   (static_cast<uint32_t>(block[i * 4 + 2]) << 16) |
                   (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
    }
    uint32_t a = m_state[0];
    uint32_t b = m_state[1];
    uint32_t c = m_state[2];
    uint32_t d = m_state[3];
    for (uint32_t i = 0; i < 64; ++i) {
        uint32_t f;
        uint32_t g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t next = b + RotateLeft(a + f + kSines[i] + words[g], kShifts[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void CMD5::Update(const void* data, uint32_t size)
{
    if (m_finished || data == nullptr || size == 0)
        return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t used = static_cast<uint32_t>((m_bitCount / 8) % 64);
    m_bitCount += static_cast<uint64_t>(size) * 8;
    while (size > 0) {
        const uint32_t take = size < 64 - used ? size : 64 - used;
        std::memcpy(m_buffer + used, bytes, take);
        used += take;
        bytes += take;
        size -= take;
        if (used == 64) {
            Transform(m_buffer);
            used = 0;
        }
    }
}

void CMD5::Update(const char* text)
{
    if (text != nullptr)
        Update(text, static_cast<uint32_t>(std::strlen(text)));
}

const uint8_t* CMD5::Finish()
{
    if (m_finished)
        return m_digest;
    const uint64_t bitCount = m_bitCount;
    // A one bit, zeros up to 56 bytes into a block, then the 64-bit length.
    uint8_t padding[72] = {0x80};
    const uint32_t used = static_cast<uint32_t>((bitCount / 8) % 64);
    const uint32_t padSize = used < 56 ? 56 - used : 120 - used;
    Update(padding, padSize);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<uint8_t>(bitCount >> (8 * i));
    Update(length, 8);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            m_digest[i * 4 + j] = static_cast<uint8_t>(m_state[i] >> (8 * j));
    }
    m_finished = true;
    return m_digest;
}

std::string CMD5::HexDigest()
{
    static const char kDigits[] = "0123456789abcdef";
    const uint8_t* digest = Finish();
    std::string text;
    text.reserve(kDigestSize * 2);
    for (uint32_t i = 0; i < kDigestSize; ++i) {
        text.push_back(kDigits[digest[i] >> 4]);
        text.push_back(kDigits[digest[i] & 0x0F]);
    }
    return text;
}

} // namespace Common
} // namespace RVGameEngine
