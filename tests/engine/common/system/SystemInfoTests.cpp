#include "tests/support/LogCapture.h"

#include "engine/common/system/CSystemInfo.h"
#include "engine/common/system/SystemQueryFunctions.h"
#include "engine/common/base/TextCodec.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <regex>
#include <tuple>

using namespace RVGameEngine::Common;

TEST(SystemInfo, SummaryHasItsKeysInOrderWithWellFormedValues)
{
    ISystemInfo* info = ISystemInfo_GetInstance();
    const std::wstring line = info->GetReportKeyValues()->GetUtf16();
    const std::wregex form(L"MAC=\"((?:[0-9A-F]{2})*)\" CPU=\"([^\"]*)\" CPU_FREQ=(\\d+) CPU_CNT=(\\d+) SM=(\\d+) "
                           L"GPU=\"([^\"]*)\" VM=(\\d+) DISK=(\\d+) OS=\"([^\"]+)\" DX=\"([^\"]+)\" SCRW=(\\d+) "
                           L"SCRH=(\\d+) ");
    std::wsmatch parts;
    ASSERT_TRUE(std::regex_match(line, parts, form)) << line.c_str();
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(parts[1].str(), info->GetMACAddress()->GetUtf16());
    EXPECT_EQ(parts[2].str(), info->GetCPUName(0)->GetUtf16());
    EXPECT_EQ(std::stoi(parts[3]), info->GetCPUSpeed(0));
    EXPECT_EQ(std::stoul(parts[4]), system.dwNumberOfProcessors);
    EXPECT_EQ(std::stoull(parts[5]), memory.ullTotalPhys / 1048576);
    EXPECT_EQ(std::stol(parts[8]), info->GetDiskTotalSize() / 1024);
    EXPECT_EQ(parts[9].str(), info->GetOSName()->GetUtf16());
    EXPECT_EQ(parts[9].str().find(L"(64 bit)") != std::wstring::npos, info->IsWow64());
    EXPECT_TRUE(parts[10] == L"Unknown" || std::regex_match(parts[10].str(), std::wregex(L"Direct X \\d+\\.\\d+")));
    EXPECT_EQ(std::stoi(parts[11]), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(std::stoi(parts[12]), GetSystemMetrics(SM_CYSCREEN));
}

TEST(SystemInfo, DriveSpaceOnlyForPresentFixedDrives)
{
    CSystemInfo info;
    int32_t directSum = 0;
    for (int32_t drive = -1; drive <= 32; ++drive) {
        const wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', 0};
        ULARGE_INTEGER directTotal, unused;
        const bool fixed = drive >= 0 && drive < 26 && (GetLogicalDrives() & (1u << drive)) &&
                           GetDriveTypeW(root) == DRIVE_FIXED && GetDiskFreeSpaceExW(root, &unused, &directTotal, &unused);
        int32_t total = -1, free = -1, available = -1;
        EXPECT_EQ(info.GetDriveSpace(drive, &total, &free, &available), fixed) << drive;
        EXPECT_EQ(total, fixed ? static_cast<int32_t>(directTotal.QuadPart / 1048576) : -1);
        EXPECT_EQ(info.GetDriveTotalSize(drive), fixed ? total : 0);
        EXPECT_GE(free, available);
        directSum += fixed ? total : 0;
    }
    EXPECT_EQ(info.GetDiskTotalSize(), directSum);
    EXPECT_GE(info.GetDiskTotalSize(), info.GetDiskFreeSize());
}

TEST(SystemInfo, VersionTextsAndTheirRules)
{
    // Version text, Direct3D 8 or later, the name shown.
    const std::tuple<const wchar_t*, bool, const wchar_t*> versions[] = {
        {L"4.08.01.0881", true, L"Direct X 8.1"}, {L"4.08.00.0400", false, L"Direct X 8.0"},
        {L"3.09.00.0000", false, L"Unknown"}, {L"4.09.00.0904", true, L"Direct X 9.0"}};
    int32_t numbers[4] = {};
    for (const auto& version : versions) {
        ASSERT_TRUE(CSystemInfo::ParseDirectXVersion(std::get<0>(version), numbers));
        EXPECT_EQ(CSystemInfo::IsDirect3D8Version(numbers), std::get<1>(version)) << std::get<0>(version);
        EXPECT_EQ(CSystemInfo::FormatDirectXVersion(true, numbers), std::get<2>(version));
    }
    EXPECT_EQ(std::vector<int32_t>(numbers, numbers + 4), (std::vector<int32_t>{4, 9, 0, 904}));
    EXPECT_EQ(CSystemInfo::FormatDirectXVersion(false, numbers), L"Unknown");
    EXPECT_FALSE(CSystemInfo::ParseDirectXVersion(L"4.09", numbers));
    EXPECT_EQ(numbers[0], 0);
    EXPECT_FALSE(CSystemInfo::ParseDirectXVersion(nullptr, numbers));
    EXPECT_EQ(CSystemInfo::NameWindowsVersion(2, 6, 1), L"Windows 7");
    EXPECT_EQ(CSystemInfo::NameWindowsVersion(1, 4, 90), L"Windows ME");
    EXPECT_EQ(CSystemInfo::NameWindowsVersion(2, 6, 2), L"Windows(2,6,2)");
    EXPECT_FALSE(IsWin7OrAboveVersion(2, 6, 0));
    EXPECT_TRUE(IsWin7OrAboveVersion(2, 6, 1) && IsWin7OrAboveVersion(2, 10, 0));
    EXPECT_FALSE(IsWin7OrAboveVersion(1, 10, 0));
}

TEST(SystemInfo, PlainQueriesTheBoundedHardwareAddressCopyAndTheLoggedReport)
{
    ISystemInfo* info = ISystemInfo_GetInstance();
    const std::string mac = WideToNarrow(kCodePageUtf8, info->GetMACAddress()->GetUtf16());
    char big[64], small[] = "ZZZZZZZ";
    EXPECT_EQ(GetMACAddress(big), !mac.empty());
    EXPECT_EQ(std::string(big), mac);
    EXPECT_EQ(GetMACAddress(small, 5), !mac.empty());
    EXPECT_EQ(std::string(small), mac.substr(0, 4));
    EXPECT_EQ(small[5], 'Z');
    EXPECT_FALSE(GetMACAddress(nullptr, 5));
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(::GetComputerNameW(name, &length));
    EXPECT_STRNE(info->GetUserName()->GetUtf16(), L"");
    EXPECT_GE(info->GetVideoMemoryTotal(), info->GetVideoMemoryFree());
    EXPECT_EQ(std::strchr(info->GetHardDiskSerial(), ' '), nullptr);
    RVTest::LogCapture log;
    info->GetReport();
    const auto lines = RVTest::LogCapture::Lines();
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[0].second, L"Computer Name=" + std::wstring(name));
    EXPECT_EQ(lines[2].second.compare(0, 26, L"Central Processing Unit 0 "), 0);
    EXPECT_EQ(lines.back().second, L"Current Screen Size=" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L" * " +
                                       std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
    for (const auto& line : lines)
        EXPECT_EQ(line.first, 0);
}
