#pragma once

#include "engine/common/system/ISystemInfo.h"

#include <string>

namespace RVGameEngine {
namespace Common {

class CSystemInfo : public ISystemInfo
{
public:
    TIntrusivePointer<IString> GetComputerName() override;
    TIntrusivePointer<IString> GetUserName() override;
    int32_t GetCPUCount() override;
    TIntrusivePointer<IString> GetCPUName(int32_t processor) override;
    int32_t GetCPUSpeed(int32_t processor) override;
    int32_t GetMemorySize() override;
    TIntrusivePointer<IString> GetGPUName(int32_t adapter) override;
    int32_t GetVideoMemoryTotal() override;
    int32_t GetVideoMemoryUsed() override;
    int32_t GetVideoMemoryFree() override;
    int32_t GetDiskTotalSize() override;
    int32_t GetDriveTotalSize(int32_t drive) override;
    int32_t GetDiskFreeSize() override;
    int32_t GetDriveFreeSize(int32_t drive) override;
    int32_t GetDiskAvailableSize() override;
    int32_t GetDriveAvailableSize(int32_t drive) override;
    bool IsWow64() override;
    TIntrusivePointer<IString> GetOSName() override;
    TIntrusivePointer<IString> GetDirectXVersion() override;
    TIntrusivePointer<IString> GetMACAddress() override;
    int32_t GetScreenWidth() override;
    int32_t GetScreenHeight() override;
    void GetReport() override;
    TIntrusivePointer<IString> GetReportKeyValues() override;
    bool HasD3D8() override;
    const char* GetHardDiskSerial() override;

    // Sizes of a present fixed drive in megabytes; false (outputs untouched)
    // for any other drive.
    bool GetDriveSpace(int32_t drive, int32_t* totalMB, int32_t* freeMB, int32_t* availableMB);

    // The four numbers of a DirectX version text such as "4.09.00.0904";
    // false (all 0) when the text does not have that shape.
    static bool ParseDirectXVersion(const wchar_t* text, int32_t numbers[4]);
    static bool IsDirect3D8Version(const int32_t numbers[4]);
    static std::wstring FormatDirectXVersion(bool read, const int32_t numbers[4]);
    // The name for a version, or the "Windows(platform,major,minor)" form.
    static std::wstring NameWindowsVersion(unsigned long platformId, unsigned long major, unsigned long minor);
    // The serial number in a drive's 256 identify words: words 10 to 19, each
    // high byte first, with every space removed.
    static std::string SerialFromIdentify(const uint16_t* words);

private:
    bool ReadDirectXVersion(int32_t numbers[4]);

    std::string m_hardDiskSerial;
};

} // namespace Common
} // namespace RVGameEngine
