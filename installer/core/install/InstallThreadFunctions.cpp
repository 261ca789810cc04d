#include "installer/core/install/InstallThreadFunctions.h"

#include "installer/core/extraction/PackedResourceFunctions.h"
#include "installer/core/install/CInstallWorker.h"

#include "engine/common/base/FatalError.h"
#include "engine/filesystem/ILogFile.h"

#include <atomic>
#include <new>

namespace {

HANDLE SystemThreadStart(LPTHREAD_START_ROUTINE procedure)
{
    return CreateThread(nullptr, 0, procedure, nullptr, 0, nullptr);
}

tagInstallPaths* SystemOptionsAllocation()
{
    return new (std::nothrow) tagInstallPaths();
}

std::atomic<InstallOptionsAllocation> g_optionsAllocation{SystemOptionsAllocation};
std::atomic<tagInstallPaths*> g_options{nullptr};
std::atomic<InstallThreadStart> g_threadStart{SystemThreadStart};
std::atomic<HANDLE> g_thread{nullptr};
std::atomic<bool> g_started{false};
// The install was asked for and no worker can ever finish it.
std::atomic<bool> g_startFailed{false};

CInstallWorker& ProcessWorker()
{
    static CInstallWorker worker(kGameClientPackage);
    return worker;
}

} // namespace

tagInstallPaths* NewInstallOptions(const std::wstring& path, bool desktopShortcut, bool startMenuShortcuts)
{
    tagInstallPaths* options = g_optionsAllocation.load()();
    if (options == nullptr) {
        RVGameEngine::FileSystem::ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
                                                              L"No memory for the install options");
        return nullptr;
    }
    options->path = path;
    options->desktopShortcut = desktopShortcut;
    options->startMenuShortcuts = startMenuShortcuts;
    return options;
}

void SetInstallOptionsAllocationForTests(InstallOptionsAllocation allocate)
{
    g_optionsAllocation.store(allocate != nullptr ? allocate : SystemOptionsAllocation);
}

void SetInstallOption(tagInstallPaths* options)
{
    g_options.store(options);
}

void SetInstallThreadStart(InstallThreadStart start)
{
    g_threadStart.store(start != nullptr ? start : SystemThreadStart);
}

void StartInstallThread()
{
    if (g_started.exchange(true))
        return;
    if (g_options.load() == nullptr) {
        g_startFailed.store(true);
        RVGameEngine::FileSystem::ILogFile_GetInstance()->Log(
            RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
            L"The install worker has no install options and is not started: nothing is installed");
        return;
    }
    ProcessWorker();  // made before the thread can ask for it
    const HANDLE thread = g_threadStart.load()(InstallThreadProc);
    if (thread == nullptr) {
        const DWORD error = GetLastError();
        g_startFailed.store(true);
        RVGameEngine::FileSystem::ILogFile_GetInstance()->Log(
            RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
            L"The install worker's thread cannot be started (system error %lu): nothing is installed",
            static_cast<unsigned long>(error));
        return;
    }
    // The handle is kept for the process's life: it marks the worker as started.
    g_thread.store(thread);
}

bool IsInstallAskedFor()
{
    return g_started.load();
}

bool IsInstallThreadRunning()
{
    return g_thread.load() != nullptr;
}

bool WaitForInstallThread(DWORD limitMs)
{
    const HANDLE thread = g_thread.load();
    if (thread == nullptr || WaitForSingleObject(thread, limitMs) == WAIT_OBJECT_0)
        return true;
    RVGameEngine::FileSystem::ILogFile_GetInstance()->Log(
        RVGameEngine::FileSystem::LOG_LEVEL_WARNING, L"The install worker has not ended after %u ms",
        static_cast<unsigned>(limitMs));
    return false;
}

bool IsInstallFinished()
{
    return g_startFailed.load() || ProcessWorker().IsFinished();
}

bool IsInstallFailed()
{
    return g_startFailed.load() || ProcessWorker().IsFailed();
}

DWORD WINAPI InstallThreadProc(LPVOID)
{
    InstallThreadMain();
    return 0;
}

void InstallThreadMain()
{
    tagInstallPaths* options = g_options.load();
    if (options == nullptr)
        RVGameEngine::Common::EngineFatalError("The install worker was started without install options");
    ProcessWorker().Run(options);
}
