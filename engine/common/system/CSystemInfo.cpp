#include "engine/common/system/CSystemInfo.h"

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/ILogFile.h"

#include <windows.h>
#include <initguid.h>
#include <ddraw.h>
#include <iphlpapi.h>
#include <winioctl.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr uint64_t kBytesPerMB = 1048576;
constexpr int32_t kDriveCount = 32;
constexpr int32_t kMaxGraphicsAdapters = 8;

TIntrusivePointer<IString> MakeText(const std::wstring& text)
{
    return IString_Create_Utf16(text.c_str());
}

CScopedRegistryKey OpenKeyForQuery(HKEY parent, const wchar_t* path)
{
    CScopedRegistryKey key;
    if (RegOpenKeyExW(parent, path, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        key.Release();
    return key;
}

// Empty when the key is not open or the value is not a text.
std::wstring ReadKeyText(HKEY parent, const wchar_t* path, const wchar_t* name)
{
    const CScopedRegistryKey key = OpenKeyForQuery(parent, path);
    if (!key)
        return std::wstring();
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    // One spare unit: a stored text need not carry its terminator.
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = bytes;
    if (RegQueryValueExW(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return std::wstring();
    return std::wstring(text.data());
}

bool ReadKeyNumber(HKEY parent, const wchar_t* path, const wchar_t* name, DWORD* value)
{
    const CScopedRegistryKey key = OpenKeyForQuery(parent, path);
    if (!key)
        return false;
    DWORD type = 0;
    DWORD size = sizeof(*value);
    return RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

std::wstring Format(const wchar_t* format, ...)
{
    wchar_t buffer[512];
    va_list arguments;
    va_start(arguments, format);
    const int written = _vsnwprintf(buffer, 511, format, arguments);
    va_end(arguments);
    buffer[written < 0 ? 511 : written] = L'\0';
    return buffer;
}

std::wstring CentralProcessorKey(int32_t processor)
{
    return Format(L"HARDWARE\\DESCRIPTION\\SYSTEM\\CentralProcessor\\%d", processor);
}

bool ReadVersion(OSVERSIONINFOEXW* version)
{
    *version = OSVERSIONINFOEXW{};
    version->dwOSVersionInfoSize = sizeof(*version);
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(version)) != FALSE;
}

// Total and free video memory of the primary display driver, in bytes.
bool ReadVideoMemory(uint64_t* total, uint64_t* available)
{
    TComPointer<IDirectDraw2> directDraw;
    if (FAILED(CoCreateInstance(CLSID_DirectDraw, nullptr, CLSCTX_ALL, IID_IDirectDraw2,
                                reinterpret_cast<void**>(directDraw.Receive()))))
        return false;
    if (FAILED(directDraw->Initialize(nullptr)))
        return false;
    DDCAPS_DX7 caps = {};
    caps.dwSize = sizeof(caps);
    if (FAILED(directDraw->GetCaps(reinterpret_cast<DDCAPS*>(&caps), nullptr)))
        return false;
    *total = caps.dwVidMemTotal;
    *available = caps.dwVidMemFree;
    return true;
}

std::wstring HexOfAddress(const BYTE* bytes, UINT length)
{
    std::wstring text;
    for (UINT i = 0; i < length && i < MAX_ADAPTER_ADDRESS_LENGTH; ++i)
        text += Format(L"%02X", bytes[i]);
    return text;
}

// Identify data of one physical drive through the SMART interface.
bool IdentifyDrive(int drive, std::vector<WORD>* words)
{
    wchar_t name[64];
    swprintf(name, 64, L"\\\\.\\PhysicalDrive%d", drive);
    CScopedKernelHandle device(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!device)
        return false;
    GETVERSIONINPARAMS version = {};
    DWORD returned = 0;
    if (!DeviceIoControl(device.Get(), SMART_GET_VERSION, nullptr, 0, &version, sizeof(version), &returned,
                         nullptr) ||
        version.bIDEDeviceMap == 0)
        return false;

    SENDCMDINPARAMS command = {};
    command.cBufferSize = IDENTIFY_BUFFER_SIZE;
    command.irDriveRegs.bSectorCountReg = 1;
    command.irDriveRegs.bSectorNumberReg = 1;
    command.irDriveRegs.bDriveHeadReg = static_cast<BYTE>(0xA0 | ((drive & 1) << 4));
    command.irDriveRegs.bCommandReg = ((version.bIDEDeviceMap >> drive) & 0x10) ? ATAPI_ID_CMD : ID_CMD;
    command.bDriveNumber = static_cast<BYTE>(drive);
    std::vector<BYTE> answer(sizeof(SENDCMDOUTPARAMS) + IDENTIFY_BUFFER_SIZE, 0);
    if (!DeviceIoControl(device.Get(), SMART_RCV_DRIVE_DATA, &command, sizeof(SENDCMDINPARAMS) - 1, answer.data(),
                         static_cast<DWORD>(answer.size()), &returned, nullptr))
        return false;
    const SENDCMDOUTPARAMS* out = reinterpret_cast<const SENDCMDOUTPARAMS*>(answer.data());
    words->assign(256, 0);
    memcpy(words->data(), out->bBuffer, 512);
    return true;
}

} // namespace

TIntrusivePointer<IString> CSystemInfo::GetComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &length))
        name[0] = L'\0';
    return MakeText(name);
}

TIntrusivePointer<IString> CSystemInfo::GetUserName()
{
    wchar_t name[257] = {};
    DWORD length = 257;
    if (!::GetUserNameW(name, &length))
        name[0] = L'\0';
    return MakeText(name);
}

int32_t CSystemInfo::GetCPUCount()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    return static_cast<int32_t>(info.dwNumberOfProcessors);
}

TIntrusivePointer<IString> CSystemInfo::GetCPUName(int32_t processor)
{
    return MakeText(ReadKeyText(HKEY_LOCAL_MACHINE, CentralProcessorKey(processor).c_str(), L"ProcessorNameString"));
}

int32_t CSystemInfo::GetCPUSpeed(int32_t processor)
{
    DWORD speed = 0;
    if (!ReadKeyNumber(HKEY_LOCAL_MACHINE, CentralProcessorKey(processor).c_str(), L"~MHz", &speed))
        return 0;
    return static_cast<int32_t>(speed);
}

int32_t CSystemInfo::GetMemorySize()
{
    // The extended record: the plain one stops counting at 4 GB.
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return 0;
    return static_cast<int32_t>(status.ullTotalPhys / kBytesPerMB);
}

TIntrusivePointer<IString> CSystemInfo::GetGPUName(int32_t adapter)
{
    const std::wstring key =
        Format(L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\%04d", adapter);
    return MakeText(ReadKeyText(HKEY_LOCAL_MACHINE, key.c_str(), L"DriverDesc"));
}

int32_t CSystemInfo::GetVideoMemoryTotal()
{
    uint64_t total = 0, available = 0;
    if (!ReadVideoMemory(&total, &available))
        return 0;
    return static_cast<int32_t>(total / kBytesPerMB);
}

int32_t CSystemInfo::GetVideoMemoryUsed()
{
    uint64_t total = 0, available = 0;
    if (!ReadVideoMemory(&total, &available) || available > total)
        return 0;
    return static_cast<int32_t>((total - available) / kBytesPerMB);
}

int32_t CSystemInfo::GetVideoMemoryFree()
{
    uint64_t total = 0, available = 0;
    if (!ReadVideoMemory(&total, &available))
        return 0;
    return static_cast<int32_t>(available / kBytesPerMB);
}

bool CSystemInfo::GetDriveSpace(int32_t drive, int32_t* totalMB, int32_t* freeMB, int32_t* availableMB)
{
    if (drive < 0 || drive >= kDriveCount || (GetLogicalDrives() & (1UL << drive)) == 0)
        return false;
    const wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', L'\0'};
    if (GetDriveTypeW(root) != DRIVE_FIXED)
        return false;
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!GetDiskFreeSpaceExW(root, &available, &total, &free))
        return false;
    *totalMB = static_cast<int32_t>(total.QuadPart / kBytesPerMB);
    *freeMB = static_cast<int32_t>(free.QuadPart / kBytesPerMB);
    *availableMB = static_cast<int32_t>(available.QuadPart / kBytesPerMB);
    return true;
}

namespace {

// Which of GetDriveSpace's three sizes a caller asks for.
enum DriveSpacePart { kTotalPart, kFreePart, kAvailablePart };

int32_t DriveSpaceOf(CSystemInfo& info, int32_t drive, DriveSpacePart part)
{
    int32_t sizes[3] = {};
    info.GetDriveSpace(drive, &sizes[kTotalPart], &sizes[kFreePart], &sizes[kAvailablePart]);
    return sizes[part];
}

int32_t DiskSpaceOf(CSystemInfo& info, DriveSpacePart part)
{
    int32_t sum = 0;
    for (int32_t drive = 0; drive < kDriveCount; ++drive)
        sum += DriveSpaceOf(info, drive, part);
    return sum;
}

} // namespace

int32_t CSystemInfo::GetDriveTotalSize(int32_t drive) { return DriveSpaceOf(*this, drive, kTotalPart); }
int32_t CSystemInfo::GetDriveFreeSize(int32_t drive) { return DriveSpaceOf(*this, drive, kFreePart); }
int32_t CSystemInfo::GetDriveAvailableSize(int32_t drive) { return DriveSpaceOf(*this, drive, kAvailablePart); }
int32_t CSystemInfo::GetDiskTotalSize() { return DiskSpaceOf(*this, kTotalPart); }
int32_t CSystemInfo::GetDiskFreeSize() { return DiskSpaceOf(*this, kFreePart); }
int32_t CSystemInfo::GetDiskAvailableSize() { return DiskSpaceOf(*this, kAvailablePart); }

bool CSystemInfo::IsWow64()
{
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    if (kernel == nullptr)
        return false;
    auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64Process == nullptr || !isWow64Process(GetCurrentProcess(), &wow64))
        return false;
    return wow64 != FALSE;
}

std::wstring CSystemInfo::NameWindowsVersion(unsigned long platformId, unsigned long major, unsigned long minor)
{
    struct KnownVersion
    {
        unsigned long platformId, major, minor;
        const wchar_t* name;
    };
    static const KnownVersion kKnown[] = {
        {1, 4, 90, L"Windows ME"}, {1, 4, 10, L"Windows 98"},   {1, 4, 0, L"Windows 95"},
        {2, 6, 1, L"Windows 7"},   {2, 6, 0, L"Windows Vista"}, {2, 5, 1, L"Windows XP"},
        {2, 5, 0, L"Windows 2000"}, {2, 4, 0, L"Windows NT"},
    };
    for (const KnownVersion& known : kKnown) {
        if (known.platformId == platformId && known.major == major && known.minor == minor)
            return known.name;
    }
    return Format(L"Windows(%lu,%lu,%lu)", platformId, major, minor);
}

TIntrusivePointer<IString> CSystemInfo::GetOSName()
{
    OSVERSIONINFOEXW version;
    if (!ReadVersion(&version))
        return MakeText(L"");
    std::wstring name = NameWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
    if (IsWow64())
        name += L"(64 bit)";
    if (version.szCSDVersion[0] != L'\0')
        name += std::wstring(L" ") + version.szCSDVersion;
    return MakeText(name);
}

bool CSystemInfo::ParseDirectXVersion(const wchar_t* text, int32_t numbers[4])
{
    for (int i = 0; i < 4; ++i)
        numbers[i] = 0;
    if (text == nullptr || wcslen(text) < 9)
        return false;
    static const size_t kStarts[4] = {0, 2, 5, 8};
    for (int i = 0; i < 4; ++i)
        numbers[i] = static_cast<int32_t>(wcstol(text + kStarts[i], nullptr, 10));
    return true;
}

bool CSystemInfo::IsDirect3D8Version(const int32_t numbers[4])
{
    if (numbers[0] != 4)
        return numbers[0] > 4;
    if (numbers[1] != 8)
        return numbers[1] > 8;
    return numbers[2] >= 1;
}

std::wstring CSystemInfo::FormatDirectXVersion(bool read, const int32_t numbers[4])
{
    if (!read || numbers[0] != 4)
        return L"Unknown";
    return Format(L"Direct X %d.%d", numbers[1], numbers[2]);
}

bool CSystemInfo::ReadDirectXVersion(int32_t numbers[4])
{
    const std::wstring text = ReadKeyText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\DirectX", L"Version");
    return ParseDirectXVersion(text.c_str(), numbers);
}

TIntrusivePointer<IString> CSystemInfo::GetDirectXVersion()
{
    int32_t numbers[4];
    const bool read = ReadDirectXVersion(numbers);
    return MakeText(FormatDirectXVersion(read, numbers));
}

TIntrusivePointer<IString> CSystemInfo::GetMACAddress()
{
    ULONG size = sizeof(IP_ADAPTER_INFO);
    std::vector<BYTE> buffer(size);
    DWORD result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        buffer.assign(size, 0);
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS)
        return MakeText(L"");
    for (const IP_ADAPTER_INFO* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data());
         adapter != nullptr; adapter = adapter->Next) {
        MIB_IFROW row = {};
        row.dwIndex = adapter->Index;
        if (GetIfEntry(&row) != NO_ERROR)
            continue;
        if (row.dwOperStatus == MIB_IF_OPER_STATUS_CONNECTED || row.dwOperStatus == MIB_IF_OPER_STATUS_OPERATIONAL)
            return MakeText(HexOfAddress(adapter->Address, adapter->AddressLength));
    }
    return MakeText(L"");
}

int32_t CSystemInfo::GetScreenWidth()
{
    return GetSystemMetrics(SM_CXSCREEN);
}

int32_t CSystemInfo::GetScreenHeight()
{
    return GetSystemMetrics(SM_CYSCREEN);
}

void CSystemInfo::GetReport()
{
    FileSystem::ILogFile* log = FileSystem::ILogFile_GetInstance();
    const int32_t level = FileSystem::LOG_LEVEL_TRACE;
    log->Log(level, L"Computer Name=%s", GetComputerName()->GetUtf16());
    log->Log(level, L"User Name=%s", GetUserName()->GetUtf16());
    const int32_t processors = GetCPUCount();
    for (int32_t i = 0; i < processors; ++i)
        log->Log(level, L"Central Processing Unit %d Name=%s,Speed=%dMHz", i, GetCPUName(i)->GetUtf16(),
                 GetCPUSpeed(i));
    log->Log(level, L"System Memory Size=%dMB", GetMemorySize());
    for (int32_t i = 0; i < kMaxGraphicsAdapters; ++i) {
        TIntrusivePointer<IString> name = GetGPUName(i);
        if (name->GetUtf16()[0] == L'\0')
            break;
        log->Log(level, L"Graphics Processing Unit %d Name=%s", i, name->GetUtf16());
    }
    log->Log(level, L"Video Memory Size=%dMB", GetVideoMemoryTotal());
    for (int32_t drive = 0; drive < kDriveCount; ++drive) {
        int32_t total = 0, free = 0, available = 0;
        if (GetDriveSpace(drive, &total, &free, &available))
            log->Log(level, L"Fixed Disk %c:\\ Total Size=%dGB,Free Size=%dGB,Available Size=%dGB",
                     static_cast<wchar_t>(L'A' + drive), total / 1024, free / 1024, available / 1024);
    }
    log->Log(level, L"Operating System Version=%s", GetOSName()->GetUtf16());
    log->Log(level, L"Direct X Version=%s", GetDirectXVersion()->GetUtf16());
    log->Log(level, L"Current Screen Size=%d * %d", GetScreenWidth(), GetScreenHeight());
}

TIntrusivePointer<IString> CSystemInfo::GetReportKeyValues()
{
    std::wstring line;
    auto addText = [&line](const wchar_t* key, const TIntrusivePointer<IString>& value) {
        line += key;
        line += L"=\"";
        line += value->GetUtf16();
        line += L"\" ";
    };
    auto addNumber = [&line](const wchar_t* key, int32_t value) {
        line += key;
        line += L"=";
        line += std::to_wstring(value);
        line += L" ";
    };
    addText(L"MAC", GetMACAddress());
    addText(L"CPU", GetCPUName(0));
    addNumber(L"CPU_FREQ", GetCPUSpeed(0));
    addNumber(L"CPU_CNT", GetCPUCount());
    addNumber(L"SM", GetMemorySize());
    addText(L"GPU", GetGPUName(0));
    addNumber(L"VM", GetVideoMemoryTotal());
    addNumber(L"DISK", GetDiskTotalSize() / 1024);
    addText(L"OS", GetOSName());
    addText(L"DX", GetDirectXVersion());
    addNumber(L"SCRW", GetScreenWidth());
    addNumber(L"SCRH", GetScreenHeight());
    return MakeText(line);
}

bool CSystemInfo::HasD3D8()
{
    int32_t numbers[4];
    ReadDirectXVersion(numbers);
    if (!IsDirect3D8Version(numbers))
        return false;
    // Kept loaded: later device creation uses it.
    return LoadLibraryW(L"D3D8.DLL") != nullptr;
}

const char* CSystemInfo::GetHardDiskSerial()
{
    m_hardDiskSerial.clear();
    OSVERSIONINFOEXW version;
    if (ReadVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        std::vector<WORD> words;
        for (int drive = 0; drive < 4; ++drive) {
            if (IdentifyDrive(drive, &words))
                m_hardDiskSerial = SerialFromIdentify(words.data());
        }
    }
    return m_hardDiskSerial.c_str();
}

std::string CSystemInfo::SerialFromIdentify(const uint16_t* words)
{
    std::string serial;
    for (int i = 10; i < 20; ++i) {
        for (const char c : {static_cast<char>(words[i] >> 8), static_cast<char>(words[i] & 0xFF)}) {
            if (c != ' ')
                serial.push_back(c);
        }
    }
    return serial;
}

ISystemInfo* ISystemInfo_GetInstance()
{
    static CSystemInfo instance;
    return &instance;
}

} // namespace Common
} // namespace RVGameEngine
