#include "installer/core/InstallPathFunctions.h"

#include "installer/core/AsciiTextFunctions.h"
#include "installer/core/PartnerFunctions.h"

#include "engine/common/system/ISystemInfo.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <atomic>
#include <cwchar>

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
