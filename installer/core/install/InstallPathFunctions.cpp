#include "installer/core/install/InstallPathFunctions.h"

#include "installer/core/rules/AsciiTextFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/system/ISystemInfo.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/ReparsePointFunctions.h"

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

RVGameEngine::FileSystem::CHECKED_REACH WalkInstallFolder(const std::wstring& path,
                                                          RVGameEngine::FileSystem::FOLDER_MISSING missing,
                                                          RVGameEngine::Common::CScopedKernelHandle* handle,
                                                          std::wstring* link, DWORD* error)
{
    const std::wstring folder = RVGameEngine::FileSystem::GetFullPath(path.c_str());
    size_t stopped = 0;
    *error = folder.empty() ? ERROR_INVALID_NAME : ERROR_SUCCESS;
    const RVGameEngine::FileSystem::CHECKED_REACH reach =
        folder.empty() ? RVGameEngine::FileSystem::CHECKED_REACH_FAILED
                       : RVGameEngine::FileSystem::OpenCheckedFolderPath(folder.c_str(), missing, handle, &stopped,
                                                                         error);
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK)
        *link = folder.substr(0, stopped);
    return reach;
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

std::wstring FolderWithPackName(const std::wstring& folder, const std::wstring& packName)
{
    size_t end = folder.size();
    while (end > 0 && (folder[end - 1] == L'\\' || folder[end - 1] == L'/'))
        --end;
    const size_t start = folder.find_last_of(L"\\/", end == 0 ? 0 : end - 1);
    const size_t first = start == std::wstring::npos || start >= end ? 0 : start + 1;
    // Compared as the system compares names in a folder: a name that differs
    // in the case of any letter (not only A-Z) is the same folder there.
    if (!packName.empty() && RVGameEngine::FileSystem::IsSameFileName(folder.substr(first, end - first), packName))
        return folder;
    if (!folder.empty() && folder.back() == L'\\')
        return folder + packName;
    return folder + L"\\" + packName;
}

std::wstring FindLinkOnInstallPath(const std::wstring& path)
{
    RVGameEngine::Common::CScopedKernelHandle folder;
    std::wstring link;
    DWORD error = ERROR_SUCCESS;
    WalkInstallFolder(path, RVGameEngine::FileSystem::FOLDER_MISSING_FAILS, &folder, &link, &error);
    return link;
}

bool IsInstallRefusedForALink(const std::wstring& folder)
{
    const std::wstring link = FindLinkOnInstallPath(folder);
    if (!link.empty())
        LogInstallRefusedForALink(link);
    return !link.empty();
}

void LogInstallRefusedForALink(const std::wstring& link)
{
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                L"Install refused: %s is %s, and nothing is installed through one", link.c_str(),
                                RVGameEngine::FileSystem::kLinkKinds);
}

RVGameEngine::FileSystem::CHECKED_REACH MakeCheckedInstallFolder(const std::wstring& folder,
                                                                 RVGameEngine::Common::CScopedKernelHandle* handle,
                                                                 std::wstring* link, DWORD* error)
{
    return WalkInstallFolder(folder, RVGameEngine::FileSystem::FOLDER_MISSING_MADE, handle, link, error);
}
