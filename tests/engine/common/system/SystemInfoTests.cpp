#include "LogCapture.h"

#include "engine/common/CSystemInfo.h"
#include "engine/common/SystemQueryFunctions.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <regex>
#include <string>

using namespace RVGameEngine::Common;

namespace {

int32_t DirectDiskTotalMB()
{
    int32_t sum = 0;
    const DWORD mask = GetLogicalDrives();
    for (int drive = 0; drive < 26; ++drive) {
        const wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', 0};
        ULARGE_INTEGER available, total, free;
        if ((mask & (1u << drive)) && GetDriveTypeW(root) == DRIVE_FIXED &&
            GetDiskFreeSpaceExW(root, &available, &total, &free))
            sum += static_cast<int32_t>(total.QuadPart / 1048576);
    }
    return sum;
}

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; *text != 0; ++text)
        narrow.push_back(*text < 128 ? static_cast<char>(*text) : '?');
    return narrow;
}

} // namespace

TEST(SystemInfo, SummaryHasItsKeysInOrderWithWellFormedValues)
{
    ISystemInfo* info = ISystemInfo_GetInstance();
    const std::string line = Narrow(info->GetReportKeyValues()->GetUtf16());
    const std::regex form("MAC=\"((?:[0-9A-F]{2})*)\" CPU=\"([^\"]*)\" CPU_FREQ=(\\d+) CPU_CNT=(\\d+) SM=(\\d+) "
                          "GPU=\"([^\"]*)\" VM=(\\d+) DISK=(\\d+) OS=\"([^\"]+)\" DX=\"([^\"]+)\" SCRW=(\\d+) "
                          "SCRH=(\\d+) ");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(line, parts, form)) << line;

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    EXPECT_EQ(std::stoul(parts[4]), system.dwNumberOfProcessors);
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(std::stoull(parts[5]), memory.ullTotalPhys / 1048576);
    EXPECT_EQ(std::stol(parts[8]), DirectDiskTotalMB() / 1024);
    EXPECT_EQ(parts[9].str().compare(0, 7, "Windows"), 0);
    EXPECT_TRUE(parts[10] == "Unknown" || std::regex_match(parts[10].str(), std::regex("Direct X \\d+\\.\\d+")));
    EXPECT_EQ(std::stoi(parts[11]), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(std::stoi(parts[12]), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(parts[1].str(), Narrow(info->GetMACAddress()->GetUtf16()));
    EXPECT_EQ(parts[2].str(), Narrow(info->GetCPUName(0)->GetUtf16()));
    EXPECT_EQ(std::stoi(parts[3]), info->GetCPUSpeed(0));
}

TEST(SystemInfo, DriveSpaceOnlyForPresentFixedDrives)
{
    CSystemInfo info;
    const DWORD mask = GetLogicalDrives();
    for (int32_t drive = 0; drive < 26; ++drive) {
        const wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', 0};
        int32_t total = -1, free = -1, available = -1;
        const bool fixed = (mask & (1u << drive)) && GetDriveTypeW(root) == DRIVE_FIXED;
        ULARGE_INTEGER directAvailable, directTotal, directFree;
        if (fixed && GetDiskFreeSpaceExW(root, &directAvailable, &directTotal, &directFree)) {
            ASSERT_TRUE(info.GetDriveSpace(drive, &total, &free, &available));
            EXPECT_EQ(total, static_cast<int32_t>(directTotal.QuadPart / 1048576));
            EXPECT_EQ(info.GetDriveTotalSize(drive), total);
            EXPECT_GE(free, available);
        } else {
            EXPECT_FALSE(info.GetDriveSpace(drive, &total, &free, &available)) << drive;
            EXPECT_EQ(total, -1);
            EXPECT_EQ(info.GetDriveAvailableSize(drive), 0);
            EXPECT_EQ(info.GetDriveFreeMB(drive), 0);
        }
    }
    int32_t untouched = -1;
    EXPECT_FALSE(info.GetDriveSpace(-1, &untouched, &untouched, &untouched));
    EXPECT_FALSE(info.GetDriveSpace(32, &untouched, &untouched, &untouched));
    EXPECT_EQ(untouched, -1);
    EXPECT_GE(info.GetDiskFreeSize(), info.GetDiskAvailableSize());
    EXPECT_GE(info.GetDiskTotalSize(), info.GetDiskFreeSize());
}

TEST(SystemInfo, VersionTextsAndTheirRules)
{
    int32_t numbers[4];
    ASSERT_TRUE(CSystemInfo::ParseDirectXVersion(L"4.09.00.0904", numbers));
    EXPECT_EQ(numbers[0], 4);
    EXPECT_EQ(numbers[1], 9);
    EXPECT_EQ(numbers[2], 0);
    EXPECT_EQ(numbers[3], 904);
    EXPECT_EQ(CSystemInfo::FormatDirectXVersion(true, numbers), L"Direct X 9.0");
    EXPECT_TRUE(CSystemInfo::IsDirect3D8Version(numbers));
    EXPECT_EQ(CSystemInfo::FormatDirectXVersion(false, numbers), L"Unknown");
    ASSERT_TRUE(CSystemInfo::ParseDirectXVersion(L"4.08.01.0881", numbers));
    EXPECT_TRUE(CSystemInfo::IsDirect3D8Version(numbers));
    ASSERT_TRUE(CSystemInfo::ParseDirectXVersion(L"4.08.00.0400", numbers));
    EXPECT_FALSE(CSystemInfo::IsDirect3D8Version(numbers));
    ASSERT_TRUE(CSystemInfo::ParseDirectXVersion(L"3.09.00.0000", numbers));
    EXPECT_FALSE(CSystemInfo::IsDirect3D8Version(numbers));
    EXPECT_EQ(CSystemInfo::FormatDirectXVersion(true, numbers), L"Unknown");
    EXPECT_FALSE(CSystemInfo::ParseDirectXVersion(L"4.09", numbers));
    EXPECT_EQ(numbers[0], 0);
    EXPECT_FALSE(CSystemInfo::ParseDirectXVersion(nullptr, numbers));

    EXPECT_EQ(CSystemInfo::NameWindowsVersion(2, 6, 1), L"Windows 7");
    EXPECT_EQ(CSystemInfo::NameWindowsVersion(2, 5, 1), L"Windows XP");
    EXPECT_EQ(CSystemInfo::NameWindowsVersion(1, 4, 90), L"Windows ME");
    EXPECT_EQ(CSystemInfo::NameWindowsVersion(2, 6, 2), L"Windows(2,6,2)");
    EXPECT_FALSE(IsWin7OrAboveVersion(2, 6, 0));
    EXPECT_TRUE(IsWin7OrAboveVersion(2, 6, 1));
    EXPECT_TRUE(IsWin7OrAboveVersion(2, 10, 0));
    EXPECT_FALSE(IsWin7OrAboveVersion(1, 10, 0));

    ISystemInfo* info = ISystemInfo_GetInstance();
    std::wstring os = info->GetOSName()->GetUtf16();
    EXPECT_EQ(os.compare(0, 7, L"Windows"), 0) << os.c_str();
    EXPECT_EQ(os.find(L"(64 bit)") != std::wstring::npos, info->IsWow64());
}

TEST(SystemInfo, HardwareAddressCopyStaysInsideTheBuffer)
{
    const std::string full = Narrow(ISystemInfo_GetInstance()->GetMACAddress()->GetUtf16());
    char big[64];
    EXPECT_EQ(GetMACAddress(big), !full.empty());
    EXPECT_EQ(std::string(big), full);

    char small[8];
    std::memset(small, 'Z', sizeof(small));
    EXPECT_EQ(GetMACAddress(small, 5), !full.empty());
    EXPECT_EQ(std::string(small), full.substr(0, 4));
    EXPECT_EQ(small[5], 'Z');
    EXPECT_FALSE(GetMACAddress(nullptr, 5));
}

TEST(SystemInfo, PlainQueriesMatchTheSystem)
{
    ISystemInfo* info = ISystemInfo_GetInstance();
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(::GetComputerNameW(name, &length));
    EXPECT_STREQ(info->GetComputerName()->GetUtf16(), name);
    EXPECT_STRNE(info->GetUserName()->GetUtf16(), L"");
    EXPECT_GE(info->GetVideoMemoryTotal(), info->GetVideoMemoryFree());
    EXPECT_GE(info->GetVideoMemoryUsed(), 0);
    EXPECT_EQ(std::strchr(info->GetHardDiskSerial(), ' '), nullptr);
}

TEST(SystemInfo, ReportGoesToTheLogInOrder)
{
    SystemTests::LogCapture log;
    ISystemInfo_GetInstance()->GetReport();
    const auto lines = SystemTests::LogCapture::Lines();
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines.front().second.compare(0, 14, L"Computer Name="), 0);
    EXPECT_EQ(lines[1].second.compare(0, 10, L"User Name="), 0);
    EXPECT_EQ(lines[2].second.compare(0, 26, L"Central Processing Unit 0 "), 0);
    const std::wstring screen = L"Current Screen Size=" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" * " +
                                std::to_wstring(GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(lines.back().second, screen);
    for (const auto& line : lines)
        EXPECT_EQ(line.first, 0);
}
