#pragma once

#include "engine/common/base/IDigest.h"

namespace RVGameEngine {
namespace Common {

class CMD5;

class CDigest final : public IDigest
{
public:
    // Builds the process-wide CRC table.
    CDigest();
    ~CDigest() = default;

    TIntrusivePointer<IString> MD5OfText(const wchar_t* text) override;
    TIntrusivePointer<IString> MD5String(const void* data, uint32_t size) override;
    void MD5Raw(const void* data, uint32_t size, void* output) override;
    uint32_t CRC32(const void* data, uint32_t size) override;
    TIntrusivePointer<IString> CRC32String(const void* data, uint32_t size) override;

private:
    // Feeds the bytes of an ANSI text in the program's digest form.
    static void HashTextBytes(CMD5& md5, const char* bytes, uint32_t length);
};

} // namespace Common
} // namespace RVGameEngine
