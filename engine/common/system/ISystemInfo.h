#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

// windows.h renames GetComputerName and GetUserName to their wide forms;
// including it here makes that happen the same way for every user.
#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// Questions about the machine, asked afresh on every call. Sizes are whole
// megabytes; a drive index is 0 for A:, 1 for B: and so on. Every query
// answers with an empty text, 0 or false when the system refuses.
class RV_API ISystemInfo
{
public:
    virtual TIntrusivePointer<IString> GetComputerName() = 0;
    virtual TIntrusivePointer<IString> GetUserName() = 0;
    virtual int32_t GetCPUCount() = 0;
    virtual TIntrusivePointer<IString> GetCPUName(int32_t processor) = 0;
    virtual int32_t GetCPUSpeed(int32_t processor) = 0;
    virtual int32_t GetMemorySize() = 0;
    virtual TIntrusivePointer<IString> GetGPUName(int32_t adapter) = 0;
    // Video memory through DirectDraw; COM must be initialised on the thread.
    virtual int32_t GetVideoMemoryTotal() = 0;
    virtual int32_t GetVideoMemoryUsed() = 0;
    virtual int32_t GetVideoMemoryFree() = 0;
    // Sums over all fixed drives; the drive forms answer 0 for any drive that
    // is not a present fixed disk.
    virtual int32_t GetDiskTotalSize() = 0;
    virtual int32_t GetDriveTotalSize(int32_t drive) = 0;
    virtual int32_t GetDiskFreeSize() = 0;
    virtual int32_t GetDriveFreeSize(int32_t drive) = 0;
    virtual int32_t GetDiskAvailableSize() = 0;
    virtual int32_t GetDriveAvailableSize(int32_t drive) = 0;
    virtual bool IsWow64() = 0;
    virtual TIntrusivePointer<IString> GetOSName() = 0;
    virtual TIntrusivePointer<IString> GetDirectXVersion() = 0;
    // The first connected adapter's address as upper-case hexadecimal digits
    // without separators; empty when no adapter is connected.
    virtual TIntrusivePointer<IString> GetMACAddress() = 0;
    virtual int32_t GetScreenWidth() = 0;
    virtual int32_t GetScreenHeight() = 0;
    // Writes a readable report to the log.
    virtual void GetReport() = 0;
    // One line of key="text" and key=number pieces, each followed by a space.
    virtual TIntrusivePointer<IString> GetReportKeyValues() = 0;
    virtual bool HasD3D8() = 0;
    // The serial number of the highest-numbered answering hard disk, spaces
    // removed; valid until the next call.
    virtual const char* GetHardDiskSerial() = 0;

    // The space free for the caller on a drive, in megabytes.
    int32_t GetDriveFreeMB(int32_t drive) { return GetDriveAvailableSize(drive); }

protected:
    ~ISystemInfo() = default;
};

RV_API ISystemInfo* ISystemInfo_GetInstance();

} // namespace Common
} // namespace RVGameEngine
