#include "engine/common/base/CDigest.h"

#include "engine/common/base/CMD5.h"
#include "engine/common/base/Memory.h"

#include <windows.h>

#include <cstdio>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr uint32_t kCrcPolynomial = 0xEDB88320u;

uint32_t g_crcTable[256];

void BuildCrcTable()
{
    for (uint32_t value = 0; value < 256; ++value) {
        uint32_t c = value;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? (kCrcPolynomial ^ (c >> 1)) : (c >> 1);
        g_crcTable[value] = c;
    }
}

struct EngineBlock
{
    void* data;
    explicit EngineBlock(uint32_t size) : data(EngineAlloc(size)) {}
    ~EngineBlock() { EngineFree(data); }
    EngineBlock(const EngineBlock&) = delete;
    EngineBlock& operator=(const EngineBlock&) = delete;
};

// A character as three bytes: the shape of a UTF-8 sequence for U+0800 and up,
// used for every non-ASCII character, so the result is byte-for-byte UTF-8
// for the CJK texts the program hashes.
void HashCharacter(CMD5& md5, wchar_t character)
{
    const uint32_t u = static_cast<uint16_t>(character);
    const uint8_t bytes[3] = {static_cast<uint8_t>(0xE0 | (u >> 12)),
                              static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F)),
                              static_cast<uint8_t>(0x80 | (u & 0x3F))};
    md5.Update(bytes, 3);
}

} // namespace

IDigest* IDigest_GetInstance()
{
    static CDigest instance;
    return &instance;
}

CDigest::CDigest()
{
    BuildCrcTable();
}

void CDigest::HashTextBytes(CMD5& md5, const char* bytes, uint32_t length)
{
    uint32_t i = 0;
    while (i < length) {
        const uint8_t byte = static_cast<uint8_t>(bytes[i]);
        if (byte < 0x80) {
            md5.Update(&bytes[i], 1);
            ++i;
            continue;
        }
        // Only a real lead byte with a byte after it takes two: in a
        // single-byte code page, or at the end of the text, the byte stands
        // alone rather than swallowing the terminator and reading beyond it.
        const int width = (IsDBCSLeadByteEx(CP_ACP, byte) && i + 1 < length) ? 2 : 1;
        wchar_t character = 0;
        if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, &bytes[i], width, &character, 1) != 1)
            character = 0xFFFD;
        HashCharacter(md5, character);
        i += static_cast<uint32_t>(width);
    }
}

TIntrusivePointer<IString> CDigest::MD5OfText(const wchar_t* text)
{
    if (text == nullptr)
        return TIntrusivePointer<IString>();
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return TIntrusivePointer<IString>();
    EngineBlock buffer(static_cast<uint32_t>(needed));
    if (buffer.data == nullptr)
        return TIntrusivePointer<IString>();
    char* bytes = static_cast<char*>(buffer.data);
    const int written = WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, needed, nullptr, nullptr);
    if (written <= 0)
        return TIntrusivePointer<IString>();
    CMD5 md5;
    HashTextBytes(md5, bytes, static_cast<uint32_t>(written - 1));
    return IString_Create_Ansi(md5.HexDigest().c_str());
}

TIntrusivePointer<IString> CDigest::MD5String(const void* data, uint32_t size)
{
    if (data == nullptr && size != 0)
        return TIntrusivePointer<IString>();
    CMD5 md5;
    md5.Update(data, size);
    return IString_Create_Ansi(md5.HexDigest().c_str());
}

void CDigest::MD5Raw(const void* data, uint32_t size, void* output)
{
    if (output == nullptr)
        return;
    if (data == nullptr && size != 0) {
        ZeroMemory(output, CMD5::kDigestSize);
        return;
    }
    CMD5 md5;
    md5.Update(data, size);
    CopyMemory(output, md5.Finish(), CMD5::kDigestSize);
}

uint32_t CDigest::CRC32(const void* data, uint32_t size)
{
    if (data == nullptr)
        return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t c = 0xFFFFFFFFu;
    for (uint32_t i = 0; i < size; ++i)
        c = (c >> 8) ^ g_crcTable[(c ^ bytes[i]) & 0xFFu];
    return ~c;
}

TIntrusivePointer<IString> CDigest::CRC32String(const void* data, uint32_t size)
{
    if (data == nullptr && size != 0)
        return TIntrusivePointer<IString>();
    char text[9];
    std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned int>(CRC32(data, size)));
    return IString_Create_Ansi(text);
}

} // namespace Common
} // namespace RVGameEngine
