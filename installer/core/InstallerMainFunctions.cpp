#include "installer/core/InstallerMainFunctions.h"

#include "installer/core/extraction/CExtractedFileWriter.h"
#include "installer/core/extraction/CMountedPackageReader.h"
#include "installer/core/extraction/PackedResourceFunctions.h"
#include "installer/core/install/InstallPathFunctions.h"
#include "installer/core/install/InstallStepFunctions.h"
#include "installer/core/install/InstallThreadFunctions.h"
#include "installer/core/reporting/CUrlItemList.h"
#include "installer/core/reporting/StatisticsFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/base/EngineMessageBox.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/FolderRemovalFunctions.h"
#include "engine/common/system/ProcessFunctions.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IPackedFileManager.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/ReparsePointFunctions.h"
#include "engine/math/RandomFunctions.h"

#include <windows.h>

#include <algorithm>
#include <utility>

using RVGameEngine::Common::CScopedKernelHandle;
using RVGameEngine::Common::RemoveFolderTree;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;
using RVGameEngine::FileSystem::LOG_LEVEL_WARNING;

namespace {

constexpr uint32_t kStatisticsDeliveryLimitMs = 3000;
// How long the end of the main flow waits for the install worker thread.
constexpr DWORD kInstallThreadEndLimitMs = 10000;
constexpr int kFallbackFolderAttempts = 100;

std::wstring WithForwardSlashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

std::wstring ComparablePath(const std::wstring& path)
{
    std::wstring text = WithForwardSlashes(path);
    while (text.size() > 1 && text.back() == L'/')
        text.pop_back();
    CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring SystemTempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH, buffer);
    return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(buffer, length);
}

// "X:" or "X:/" alone would name a drive's current folder or its root.
bool IsDrivePart(const std::wstring& path)
{
    const std::wstring text = WithForwardSlashes(path);
    return (text.size() == 2 || (text.size() == 3 && text[2] == L'/')) && text[1] == L':';
}

// Made anew below the system's temporary folder, from its checked handle;
// empty, with a log line naming the folder and what stopped it, when none
// can be.
std::wstring MakeUniqueTempFolder(CScopedKernelHandle* folder)
{
    const std::wstring base = SystemTempFolder();
    if (base.empty()) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"No temporary folder: the system names none of its own");
        return std::wstring();
    }
    CScopedKernelHandle parent;
    std::wstring link;
    DWORD error = ERROR_SUCCESS;
    RVGameEngine::FileSystem::CHECKED_REACH reach = MakeCheckedInstallFolder(base, &parent, &link, &error);
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                    L"No temporary folder: the system's, %s, lies at or under %s, %s, and nothing is "
                                    L"made through one",
                                    base.c_str(), link.c_str(), RVGameEngine::FileSystem::kLinkKinds);
        return std::wstring();
    }
    for (int attempt = 0; attempt < kFallbackFolderAttempts && reach == RVGameEngine::FileSystem::CHECKED_REACH_DONE;
         ++attempt) {
        const std::wstring name = std::wstring(kInstallerModuleName) + L"_" + std::to_wstring(GetCurrentProcessId()) +
                                  L"_" + std::to_wstring(GetTickCount() + static_cast<DWORD>(attempt));
        bool made = false;
        const RVGameEngine::FileSystem::CHECKED_REACH named = RVGameEngine::FileSystem::OpenCheckedFolder(
            parent.Get(), name.c_str(), RVGameEngine::FileSystem::FOLDER_MISSING_MADE, folder, &made, &error);
        if (named == RVGameEngine::FileSystem::CHECKED_REACH_DONE && made)
            return WithForwardSlashes(base + name);
        if (named == RVGameEngine::FileSystem::CHECKED_REACH_DONE)
            error = ERROR_ALREADY_EXISTS;
        if (named == RVGameEngine::FileSystem::CHECKED_REACH_FAILED)
            break;
    }
    folder->Close();
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"No temporary folder could be made in %s (system error %lu)",
                                base.c_str(), static_cast<unsigned long>(error));
    return std::wstring();
}

// A silent start is unattended: a modal box would wait for ever for a player
// who is not there, so the reason the run ends is only logged.
void TellThatNoDriveHasRoom(bool silent)
{
    if (silent) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                    L"No drive has %d MB free: nothing is installed; a silent start shows no message",
                                    static_cast<int>(kRequiredFreeMB));
        return;
    }
    RVGameEngine::Common::EngineMessageBox(nullptr, kNoDriveMessage, kNoDriveCaption, MB_OK);
}

} // namespace

bool CheckSingleInstance()
{
    static CScopedKernelHandle mutex;
    CScopedKernelHandle created(CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName));
    if (created.IsValid() && GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    mutex = std::move(created);
    return false;
}

// The preferred temporary folder lies in the install folder, which another
// user may have made a link before this program ran, or may swap for one
// while it runs: it is made from the drive's root one checked name at a
// time, and written below its own handle. When it is not usable, the line
// says why (the link, or the system's error), before the system's folder is
// tried: no install is refused here, none has been asked for yet.
bool EntersPreferredTempFolder(const std::wstring& preferred)
{
    CScopedKernelHandle folder;
    std::wstring link;
    DWORD error = ERROR_SUCCESS;
    const RVGameEngine::FileSystem::CHECKED_REACH reach = MakeCheckedInstallFolder(preferred, &folder, &link, &error);
    std::wstring why;
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK) {
        why = link + L" is " + RVGameEngine::FileSystem::kLinkKinds;
    } else if (reach != RVGameEngine::FileSystem::CHECKED_REACH_DONE) {
        why = L"it cannot be made (system error " + std::to_wstring(error) + L")";
    } else if (!SetCurrentDirectoryW(preferred.c_str())) {
        error = GetLastError();
        why = L"it cannot be entered (system error " + std::to_wstring(error) + L")";
    } else {
        CExtractedFileWriter::SetTargetFolder(folder.Get());
        return true;
    }
    ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"Temporary folder %s not used: %s; using one of the system's",
                                preferred.c_str(), why.c_str());
    return false;
}

std::wstring EnterTempFolder(const std::wstring& preferred)
{
    if (EntersPreferredTempFolder(preferred))
        return WithForwardSlashes(preferred);
    CScopedKernelHandle folder;
    const std::wstring fallback = MakeUniqueTempFolder(&folder);
    if (fallback.empty())
        return std::wstring();
    if (!SetCurrentDirectoryW(fallback.c_str())) {
        const DWORD error = GetLastError();
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"No temporary folder: %s cannot be entered (system error %lu)",
                                    fallback.c_str(), static_cast<unsigned long>(error));
        return std::wstring();
    }
    CExtractedFileWriter::SetTargetFolder(folder.Get());
    return fallback;
}

bool MountInstallerPackage()
{
    TIntrusivePointer<RVGameEngine::Common::IStream> archive = LoadPackageArchive(kInstallerPackage);
    TIntrusivePointer<CMountedPackageReader> reader(new CMountedPackageReader());
    const bool mounted = archive && reader->OpenArchive(archive) &&
                         RVGameEngine::FileSystem::IPackedFileManager_GetInstance()->MountReader(reader);
    if (!mounted)
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The installer's own package could not be mounted");
    return mounted;
}

void ReportClosingAndStartUpdater(bool installFinished, bool installFailed)
{
    if (!installFinished)
        return;
    if (installFailed) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_WARNING, L"The install failed: no finished report, no updater");
        return;
    }
    // The worker left the install folder current: named here, at the end,
    // whatever folder the install had to fall back to.
    ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_TRACE, L"The game is installed in %s",
                                RVGameEngine::FileSystem::GetFullPath(L".").c_str());
    for (int32_t report = 0; report < kClosingReportCount; ++report) {
        SendStatisticsSystemInfo(kStatisticsStepInstallFinished);
        Sleep(kClosingReportPauseMs);
    }
    // Relative: the install worker has made the install folder current.
    const std::wstring updater = std::wstring(L"./") + kUpdaterProgram;
    if (IVirtualFileSystem_GetInstance()->FileExists(updater.c_str()))
        CScopedKernelHandle started(RVGameEngine::Common::LaunchProgram(updater.c_str(), L""));
}

void LeaveAndDeleteTempFolder(const std::wstring& folder, const std::wstring& boundary)
{
    // A folder that is the current directory, or holds the open log file,
    // cannot be removed.
    const std::wstring elsewhere = SystemTempFolder();
    if (!elsewhere.empty())
        SetCurrentDirectoryW(elsewhere.c_str());
    ILogFile_GetInstance()->Close();
    // Nor one a handle is kept of.
    CExtractedFileWriter::SetTargetFolder(nullptr);
    DeleteTempDirectoryWithin(folder.c_str(), boundary.empty() ? nullptr : boundary.c_str());
}

void DeleteTempDirectory(const wchar_t* path)
{
    DeleteTempDirectoryWithin(path, nullptr);
}

void DeleteTempDirectoryWithin(const wchar_t* path, const wchar_t* boundary)
{
    if (path == nullptr || path[0] == L'\0')
        return;
    // Folders without files go too: they would keep the folder alive. A link
    // planted inside (or in the folder's place) is left, with what it leads to.
    RemoveFolderTree(path, RVGameEngine::Common::FOLDER_REMOVAL_WHOLE_TREE);
    wchar_t parent[RVGameEngine::FileSystem::kPathPartBufferLength] = {};
    if (IVirtualFileSystem_GetInstance()->GetDirectoryPart(path, parent))
        RemoveDirectoryTreeWithin(parent, boundary);
}

void RemoveDirectoryTree(const wchar_t* path)
{
    RemoveDirectoryTreeWithin(path, nullptr);
}

void RemoveDirectoryTreeWithin(const wchar_t* path, const wchar_t* boundary)
{
    RVGameEngine::FileSystem::IVirtualFileSystem* files = IVirtualFileSystem_GetInstance();
    const std::wstring limit = boundary == nullptr ? std::wstring() : ComparablePath(boundary);
    std::wstring current = path == nullptr ? std::wstring() : std::wstring(path);
    while (!current.empty() && current != L"./" && !IsDrivePart(current)) {
        if (!limit.empty() && ComparablePath(current).size() <= limit.size())
            return;
        if (!files->IsDirectory(current.c_str()))
            return;
        RVGameEngine::Common::RemoveEmptyFolder(current.c_str());
        wchar_t parent[RVGameEngine::FileSystem::kPathPartBufferLength] = {};
        if (!files->GetDirectoryPart(current.c_str(), parent))
            return;
        current = parent;
    }
}

int32_t InstallExitStatus(bool silentStart, bool installAskedFor, bool installFinished, bool installFailed)
{
    if (!silentStart && !installAskedFor)
        return 0;
    return installAskedFor && installFinished && !installFailed ? 0 : kInstallNotDoneExitCode;
}

int32_t RunInstaller(InstallWindowRun runWindow)
{
    RVGameEngine::Math::Randomize();
    if (CheckSingleInstance())
        return kAnotherInstanceExitCode;
    FindInstallDrive();
    const bool silent = IsSilentInstall();
    if (GetInstallDriveLetter() == kNoDrive) {
        TellThatNoDriveHasRoom(silent);
        return InstallExitStatus(silent, false, false, false);
    }
    // Kept for the clean-up: the pack name the path is made from may change
    // once the package's partner configuration has been read.
    const std::wstring preferred = GetTempInstallPath();
    const std::wstring tempFolder = EnterTempFolder(preferred);
    if (tempFolder.empty())
        return kInstallNotDoneExitCode;
    const bool fallback = tempFolder != WithForwardSlashes(preferred);
    int32_t status = kInstallNotDoneExitCode;
    if (MountInstallerPackage()) {
        CUrlItemList::GetInstance();
        InitStatisticsServerConnection();
        SendStatisticsSystemInfo(kStatisticsStepStarted);
        // A package without fonts would otherwise stop the start on a
        // file warning box.
        if (IVirtualFileSystem_GetInstance()->FileExists(kFontListFile))
            RVGameEngine::DirectUI::IFontManager_GetInstance()->LoadFontList(kFontListFile);
        if (runWindow != nullptr)
            runWindow();
        ReportClosingAndStartUpdater(IsInstallFinished(), IsInstallFailed());
        WaitForStatisticsDelivery(kStatisticsDeliveryLimitMs);
        // The window closes only after the install's last step; the thread
        // may still be ending, and must have ended before the process does.
        // A worker that has not ended by now has not finished either.
        const bool ended = WaitForInstallThread(kInstallThreadEndLimitMs);
        status = InstallExitStatus(silent, IsInstallAskedFor(), ended && IsInstallFinished(), IsInstallFailed());
        if (status != 0)
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"The install asked for is not done: the program ends with %d",
                                        static_cast<int>(status));
    }
    LeaveAndDeleteTempFolder(tempFolder, fallback ? WithForwardSlashes(SystemTempFolder()) : std::wstring());
    return status;
}
