#include "tests/support/LogCapture.h"

#include "engine/common/system/CSystemInfo.h"
#include "engine/common/system/SystemQueryFunctions.h"
#include "engine/common/base/TextCodec.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <regex>
#include <tuple>
#include <vector>

using namespace RVGameEngine::Common;

namespace {

std::wstring ProcessorKeyText(const wchar_t* name)
{
    wchar_t text[256] = {};
    DWORD size = sizeof(text);
    return RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", name,
                        RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS
               ? text
               : L"";
}

DWORD ProcessorKeyNumber(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value);
    RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", name,
                 RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// The sizes of the present fixed drives in megabytes, asked of the system
// directly; -1 for any other drive.
std::vector<int32_t> FixedDriveSizes()
{
    std::vector<int32_t> sizes;
    for (int32_t drive = -1; drive <= 32; ++drive) {
        const wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', 0};
        ULARGE_INTEGER total, unused;
        const bool fixed = drive >= 0 && drive < 26 && (GetLogicalDrives() & (1u << drive)) &&
                           GetDriveTypeW(root) == DRIVE_FIXED && GetDiskFreeSpaceExW(root, &unused, &total, &unused);
        sizes.push_back(fixed ? static_cast<int32_t>(total.QuadPart / 1048576) : -1);
    }
    return sizes;
}

int32_t FixedDrivesTotal()
{
    int32_t sum = 0;
    for (int32_t size : FixedDriveSizes())
        sum += size > 0 ? size : 0;
    return sum;
}

} // namespace

// The values are checked against the system's own answers, not against the
// getters that made them.
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
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)));
    std::wstring os = CSystemInfo::NameWindowsVersion(version.dwPlatformId, version.dwMajorVersion,
                                                      version.dwMinorVersion);
    if (version.szCSDVersion[0] != L'\0')
        os += std::wstring(L" ") + version.szCSDVersion;
    EXPECT_EQ(parts[2].str(), ProcessorKeyText(L"ProcessorNameString"));
    EXPECT_EQ(std::stoul(parts[3]), ProcessorKeyNumber(L"~MHz"));
    EXPECT_EQ(std::stoul(parts[4]), system.dwNumberOfProcessors);
    EXPECT_EQ(std::stoull(parts[5]), memory.ullTotalPhys / 1048576);
    EXPECT_EQ(std::stol(parts[8]), FixedDrivesTotal() / 1024);
    EXPECT_EQ(parts[9].str(), os) << "a 32-bit Wine prefix is no WOW64 system";
    EXPECT_TRUE(parts[10] == L"Unknown" || std::regex_match(parts[10].str(), std::wregex(L"Direct X \\d+\\.\\d+")));
    EXPECT_EQ(std::stoi(parts[11]), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(std::stoi(parts[12]), GetSystemMetrics(SM_CYSCREEN));
}

TEST(SystemInfo, DriveSpaceOnlyForPresentFixedDrives)
{
    CSystemInfo info;
    const std::vector<int32_t> sizes = FixedDriveSizes();
    for (int32_t drive = -1; drive <= 32; ++drive) {
        const int32_t expected = sizes[static_cast<size_t>(drive + 1)];
        int32_t total = -1, free = -1, available = -1;
        EXPECT_EQ(info.GetDriveSpace(drive, &total, &free, &available), expected >= 0) << drive;
        EXPECT_EQ(total, expected);
        EXPECT_EQ(info.GetDriveTotalSize(drive), expected >= 0 ? expected : 0);
        EXPECT_GE(free, available);
    }
    EXPECT_EQ(info.GetDiskTotalSize(), FixedDrivesTotal());
    EXPECT_GE(info.GetDiskTotalSize(), info.GetDiskFreeSize());
}

// Wine has no drive that answers identify requests: the text is checked on
// identify words made here.
TEST(SystemInfo, TheDiskSerialComesFromItsIdentifyWords)
{
    uint16_t words[256] = {};
    const char serial[] = "  WD-WX1 2AB34      ";  // 20 bytes, as the drive stores them
    for (int i = 0; i < 10; ++i)
        words[10 + i] = static_cast<uint16_t>((static_cast<uint8_t>(serial[2 * i]) << 8) |
                                              static_cast<uint8_t>(serial[2 * i + 1]));
    words[9] = words[20] = 0x4142;  // neighbours that are not part of it
    EXPECT_EQ(CSystemInfo::SerialFromIdentify(words), "WD-WX12AB34");
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
    // DirectDraw is made through COM, which the program starts first.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_GT(info->GetVideoMemoryTotal(), 0);
    EXPECT_EQ(info->GetVideoMemoryTotal(), info->GetVideoMemoryUsed() + info->GetVideoMemoryFree());
    CoUninitialize();
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
