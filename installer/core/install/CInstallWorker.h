#pragma once

#include "installer/core/install/tagInstallPaths.h"

#include "engine/common/base/TScopedHandle.h"

#include <atomic>
#include <string>

// One install from start to end: closes running game programs, makes the
// install folder the process's current directory, unpacks the game-client
// package there, writes the updater configuration, the shortcuts, the
// install record and the uninstall entry, then raises the finished flag.
// When the package cannot be unpacked whole the install stops after the
// extraction and the failed flag is raised with the finished flag.
class CInstallWorker
{
public:
    explicit CInstallWorker(const wchar_t* packageName);
    CInstallWorker(const CInstallWorker&) = delete;
    CInstallWorker& operator=(const CInstallWorker&) = delete;

    // Runs on the calling thread (COM is initialised for it). The options'
    // path is replaced by the default install path when it cannot be made.
    void Run(tagInstallPaths* options);

    bool IsFinished() const { return m_finished.load(); }
    bool IsFailed() const { return m_failed.load(); }

private:
    // Creates the folder (falling back to the default install path once,
    // unless that is the folder that failed) and gives the folder that
    // exists, with its checked handle, or empty; empty at once, with a log
    // line naming the link, when the folder or one above it is a link. Each
    // folder that fails is logged once, with the system's error.
    static std::wstring PrepareInstallFolder(tagInstallPaths* options,
                                             RVGameEngine::Common::CScopedKernelHandle* handle);
    bool UnpackGameClient();
    static void CreateShortcuts(const tagInstallPaths& options, const std::wstring& packName, int32_t iconIndex);
    void Finish(bool failed);

    std::wstring m_packageName;
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_failed{false};
};
