#include "installer/core/install/InstallPathFunctions.h"

#include "installer/core/rules/AsciiTextFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/system/ISystemInfo.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

#include <atomic>
#include <cwchar>

using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

int32_t SystemDriveFreeMB(int32_t driveIndex)
{
    return RVGameEngine::Common::ISystemInfo_GetInstance()->GetDriveFreeMB(driveIndex);
}

std::atomic<DriveFreeSpaceQuery> g_freeSpaceQuery{SystemDriveFreeMB};
std::atomic<wchar_t> g_installDrive{kNoDrive};

bool DriveHasRoom(wchar_t upperLetter)
{
    return g_freeSpaceQuery.load()(upperLetter - L'A') >= kRequiredFreeMB;
}

std::wstring ProgramFilesPath(const wchar_t* separator, const wchar_t* tail)
{
    const wchar_t* programFiles = HasProgramFilesX86() ? L"Program Files (x86)" : L"Program Files";
    return std::wstring(1, GetInstallDriveLetter()) + L":" + separator + programFiles + separator +
           GetPackNameOrDefault() + tail;
}

// Where the folders of a full path begin: past "C:\" or "\\server\share\".
size_t RootLength(const std::wstring& full)
{
    if (full.compare(0, 2, L"\\\\") != 0)
        return full.size() >= 3 && full[1] == L':' ? 3 : full.size();
    size_t at = 2;
    for (int part = 0; part < 2 && at != std::wstring::npos; ++part) {
        at = full.find(L'\\', at);
        at = at == std::wstring::npos ? at : at + 1;
    }
    return at == std::wstring::npos ? full.size() : at;
}

} // namespace

void SetDriveFreeSpaceQuery(DriveFreeSpaceQuery query)
{
    g_freeSpaceQuery.store(query != nullptr ? query : SystemDriveFreeMB);
}

void FindInstallDrive()
{
    for (const wchar_t* letter = kDriveSearchOrder; *letter != L'\0'; ++letter) {
        if (DriveHasRoom(*letter)) {
            g_installDrive.store(*letter);
            return;
        }
    }
    g_installDrive.store(kNoDrive);
}

wchar_t GetInstallDriveLetter()
{
    return g_installDrive.load();
}

bool HasEnoughFreeSpace(wchar_t letter)
{
    letter = UpperAsciiCharacter(letter);
    return letter >= L'A' && letter <= L'Z' && DriveHasRoom(letter);
}

bool HasProgramFilesX86()
{
    return RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->IsDirectory(L"C://Program Files (x86)");
}

std::wstring GetDefaultInstallPath()
{
    return ProgramFilesPath(L"\\", L"");
}

std::wstring GetTempInstallPath()
{
    return ProgramFilesPath(L"/", L"/Temp");
}

std::wstring FindLinkOnInstallPath(const std::wstring& path)
{
    const std::wstring folder = RVGameEngine::FileSystem::GetFullPath(path.c_str());
    for (size_t end = RootLength(folder); end < folder.size() + 1; ++end) {
        if (end < folder.size() && folder[end] != L'\\')
            continue;
        const std::wstring part = folder.substr(0, end);
        // Not following a link at its end: its own attributes say what it is.
        const DWORD attributes = GetFileAttributesW(part.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return std::wstring();
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            return part;
    }
    return std::wstring();
}

bool IsInstallRefusedForALink(const std::wstring& folder)
{
    const std::wstring link = FindLinkOnInstallPath(folder);
    if (!link.empty())
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                    L"Install refused: %s is a link (symbolic link, junction or mount point), and "
                                    L"nothing is installed through one",
                                    link.c_str());
    return !link.empty();
}
