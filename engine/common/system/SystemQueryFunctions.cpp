#include "engine/common/system/SystemQueryFunctions.h"

#include "engine/common/system/ISystemInfo.h"
#include "engine/common/base/TextCodec.h"

#include <windows.h>

#include <string>

namespace RVGameEngine {
namespace Common {

bool GetMACAddress(char* buffer, size_t bufferSize)
{
    if (buffer == nullptr || bufferSize == 0)
        return false;
    TIntrusivePointer<IString> address = ISystemInfo_GetInstance()->GetMACAddress();
    const std::string narrow = WideToNarrow(kCodePageAnsi, address->GetUtf16());
    const size_t copied = narrow.size() < bufferSize ? narrow.size() : bufferSize - 1;
    narrow.copy(buffer, copied);
    buffer[copied] = '\0';
    return !narrow.empty();
}

bool IsACPowerOn()
{
    SYSTEM_POWER_STATUS status = {};
    return GetSystemPowerStatus(&status) && status.ACLineStatus == 1;
}

bool IsWin7OrAboveVersion(unsigned long platformId, unsigned long major, unsigned long minor)
{
    if (platformId != VER_PLATFORM_WIN32_NT)
        return false;
    return major >= 7 || (major == 6 && minor != 0);
}

bool IsWin7OrAbove()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version))
        return false;
    return IsWin7OrAboveVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

} // namespace Common
} // namespace RVGameEngine
