#include "engine/common/system/SaltFunctions.h"

#include "engine/common/base/IDigest.h"
#include "engine/filesystem/ILogFile.h"

#include <cstring>

namespace RVGameEngine {
namespace Common {

namespace {
constexpr size_t kTextBytes = 32;
constexpr size_t kSaltBytes = 8;
} // namespace

TIntrusivePointer<IString> SaltEncrypt(const char* text, const char* salt)
{
    if (text == nullptr || salt == nullptr || strnlen(salt, kSaltBytes) < kSaltBytes) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                                L"SaltEncrypt needs a text and a salt of eight bytes");
        return IString_Create_Utf16(L"");
    }
    char buffer[kTextBytes + 1] = {};
    std::memcpy(buffer, text, strnlen(text, kTextBytes));
    std::memcpy(buffer + 11, salt, 4);
    std::memcpy(buffer + 20, salt + 4, 4);
    TIntrusivePointer<IString> digest =
        IDigest_GetInstance()->MD5String(buffer, static_cast<uint32_t>(std::strlen(buffer)));
    return digest.IsNull() ? IString_Create_Utf16(L"") : digest;
}

} // namespace Common
} // namespace RVGameEngine
