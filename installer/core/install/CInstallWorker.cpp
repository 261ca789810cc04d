#include "installer/core/install/CInstallWorker.h"

#include "installer/core/extraction/CExtractedFileWriter.h"
#include "installer/core/extraction/PackedResourceFunctions.h"
#include "installer/core/install/CInstallProgress.h"
#include "installer/core/install/InstallPathFunctions.h"
#include "installer/core/install/InstallStepFunctions.h"
#include "installer/core/install/ProgramClosingFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/system/ICommandLine.h"
#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ILogFile.h"

#include <objbase.h>
#include <windows.h>

using RVGameEngine::Common::CScopedKernelHandle;
using RVGameEngine::FileSystem::CHECKED_REACH;
using RVGameEngine::FileSystem::GetFullPath;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IsSameFileName;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr DWORD kPauseBeforeFinishMs = 100;

} // namespace

CInstallWorker::CInstallWorker(const wchar_t* packageName) : m_packageName(packageName) {}

std::wstring CInstallWorker::PrepareInstallFolder(tagInstallPaths* options, CScopedKernelHandle* handle)
{
    std::wstring link;
    DWORD error = ERROR_SUCCESS;
    CHECKED_REACH reach = MakeCheckedInstallFolder(options->path, handle, &link, &error);
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_DONE)
        return options->path;
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK) {
        LogInstallRefusedForALink(link);
        return L"";
    }
    // The folder that just failed is not tried again under its other name.
    const std::wstring fallback = GetDefaultInstallPath();
    if (IsSameFileName(GetFullPath(options->path.c_str()), GetFullPath(fallback.c_str()))) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                    L"Install stopped: install folder %s cannot be made (system error %lu)",
                                    options->path.c_str(), static_cast<unsigned long>(error));
        return L"";
    }
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                L"Install folder %s cannot be made (system error %lu): the default folder %s is tried",
                                options->path.c_str(), static_cast<unsigned long>(error), fallback.c_str());
    options->path = fallback;
    reach = MakeCheckedInstallFolder(options->path, handle, &link, &error);
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_DONE)
        return options->path;
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK)
        LogInstallRefusedForALink(link);
    else
        ILogFile_GetInstance()->Log(
            LOG_LEVEL_ERROR, L"Install stopped: default install folder %s cannot be made either (system error %lu)",
            options->path.c_str(), static_cast<unsigned long>(error));
    return L"";
}

bool CInstallWorker::UnpackGameClient()
{
    const void* blob = nullptr;
    uint32_t size = 0;
    if (!FindPackageBlob(m_packageName.c_str(), &blob, &size)) {
        CInstallProgress::GetInstance()->Reset();
        return false;
    }
    // Inflated as it is written, straight from the program's image.
    return CInstallProgress::GetInstance()->ExtractPackage(blob, size, m_packageName.c_str());
}

void CInstallWorker::CreateShortcuts(const tagInstallPaths& options, const std::wstring& packName, int32_t iconIndex)
{
    const std::wstring linkName = packName + L".lnk";
    const std::wstring description =
        RVGameEngine::Common::ICommandLine_GetInstance()->GetString(L"ShortCutDesc")->GetUtf16();
    if (options.desktopShortcut)
        CreateDesktopShortcut(kUpdaterProgram, description.c_str(), linkName.c_str(), iconIndex);
    if (!options.startMenuShortcuts)
        return;
    const std::wstring repairLink = L"修复" + packName + L".lnk";
    const std::wstring uninstallLink = L"卸载" + packName + L".lnk";
    const std::wstring repairDescription = packName + L"修复程序";
    const std::wstring uninstallDescription = packName + L"卸载程序";
    CreateProgramsShortcut(kUpdaterProgram, description.c_str(), packName.c_str(), linkName.c_str(), iconIndex);
    CreateProgramsShortcut(kRepairProgram, repairDescription.c_str(), packName.c_str(), repairLink.c_str(), 0);
    CreateProgramsShortcut(kUninstallProgram, uninstallDescription.c_str(), packName.c_str(), uninstallLink.c_str(),
                           0);
}

void CInstallWorker::Finish(bool failed)
{
    m_failed.store(failed);
    m_finished.store(true);
}

void CInstallWorker::Run(tagInstallPaths* options)
{
    // Shell links need COM on this thread; it stays initialised.
    CoInitialize(nullptr);
    ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_TRACE, L"Install into %s begins",
                                options->path.c_str());
    CloseRunningClientPrograms();
    CScopedKernelHandle folderHandle;
    const std::wstring folder = PrepareInstallFolder(options, &folderHandle);
    // The partner configuration is read from the installer's own package,
    // mounted in memory, wherever the current directory is. Without that
    // package (window files unpacked on disk) it is a file relative to the
    // current directory: read, and remembered, before the directory moves.
    const std::wstring packName = GetPackNameOrDefault();
    const int32_t iconIndex = LoadPartnerConfig();
    if (folder.empty()) {
        // PrepareInstallFolder has logged which folder stopped the install, and why.
        Finish(true);
        return;
    }
    // Without its own folder as the current directory the package would land
    // wherever the process happens to be.
    if (!SetCurrentDirectoryW(folder.c_str())) {
        const DWORD error = GetLastError();
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Install stopped: cannot work in %s (system error %lu)",
                                    folder.c_str(), static_cast<unsigned long>(error));
        Finish(true);
        return;
    }
    // The package is written below the folder's own handle, as it was made.
    CExtractedFileWriter::SetTargetFolder(folderHandle.Get());
    ClearUpdaterState();
    if (!UnpackGameClient()) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Install failed: the game files are not all in %s",
                                    folder.c_str());
        Finish(true);
        return;
    }
    WriteUpdaterConfig(packName);
    CreateShortcuts(*options, packName, iconIndex);
    WriteInstallData(kInstallDataFile);
    WriteUninstallRegistry(packName, folder);
    Sleep(kPauseBeforeFinishMs);
    Finish(false);
}
