#include "installer/core/install/ProgramClosingFunctions.h"

#include "installer/core/install/InstallStepFunctions.h"
#include "installer/core/rules/PartnerFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/ProcessFunctions.h"

#include <tlhelp32.h>

#include <string>

using RVGameEngine::Common::CScopedKernelHandle;

namespace {

const wchar_t* const kClientPrograms[] = {kUpdaterProgram, L"ZEZoveDevez.exe", L"WMChatClient.exe", kRepairProgram,
                                          L"WMUpdaterRestarter.exe"};
constexpr const wchar_t* kFrameWindowClass = L"RVFRAME";

void EndProcess(HANDLE opened)
{
    CScopedKernelHandle process(opened);
    if (process)
        RVGameEngine::Common::ForceTerminateProcess(process.Get(), 0);
}

} // namespace

HANDLE OpenProcessByName(const wchar_t* name)
{
    CScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0));
    if (!snapshot || name == nullptr)
        return nullptr;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID != self && ContainsNoCase(entry.szExeFile, name))
            return OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
    }
    return nullptr;
}

void TerminateProgramByName(const wchar_t* name)
{
    EndProcess(OpenProcessByName(name));
}

HANDLE OpenWindowProcess(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == 0 || processId == GetCurrentProcessId())
        return nullptr;
    return OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
}

void TerminateWindowProcess(const wchar_t* windowClass, const wchar_t* title)
{
    // The installer's own frame may carry the same class and title: look past it.
    for (HWND window = FindWindowExW(nullptr, nullptr, windowClass, title); window != nullptr;
         window = FindWindowExW(nullptr, window, windowClass, title)) {
        CScopedKernelHandle process(OpenWindowProcess(window));
        if (process) {
            RVGameEngine::Common::ForceTerminateProcess(process.Get(), 0);
            return;
        }
    }
}

void CloseRunningClientPrograms()
{
    for (const wchar_t* program : kClientPrograms)
        TerminateProgramByName(program);
    const std::wstring packName = GetPackNameOrDefault();
    const std::wstring updaterTitle = packName + L" - 更新";
    TerminateWindowProcess(kFrameWindowClass, updaterTitle.c_str());
    TerminateWindowProcess(kFrameWindowClass, updaterTitle.c_str());
    TerminateWindowProcess(kFrameWindowClass, packName.c_str());
}
