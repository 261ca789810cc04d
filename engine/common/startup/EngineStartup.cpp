// Winsock 2 must come before anything that brings in windows.h.
#include <winsock2.h>

#include "engine/common/startup/EngineStartup.h"

#include "engine/common/base/EngineMessageBox.h"
#include "engine/common/base/FatalError.h"
#include "engine/common/base/IEngineLog.h"
#include "engine/common/base/LocalClock.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/ShellFunctions.h"
#include "engine/filesystem/CheckedFolderFunctions.h"
#include "engine/filesystem/FolderHandleFunctions.h"
#include "engine/directui/controls/ControlFactory.h"
#include "engine/directui/frame/IFrameManager.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/webui/CWebControl.h"

#include <windows.h>
#include <dbghelp.h>
#include <mmsystem.h>
#include <ole2.h>
#include <strsafe.h>

namespace RVGameEngine {
namespace Common {

const wchar_t* const kCrashMessage =
    L"非常抱歉，游戏遇到问题，需要关闭，请尝试重新启动游戏，或者联系在线客服。";
const wchar_t* const kCrashMessageNoDump =
    L"非常抱歉，游戏遇到问题，需要关闭，请尝试重新启动游戏，或者联系在线客服。（转储文件生成失败）";

namespace {

constexpr size_t kStateBufferLength = 1000;
constexpr size_t kDumpNameLength = 260;
// Far beyond any real number of crashes at one second; ends the search
// should the existence test answer true for everything.
constexpr int kMaxDumpCandidates = 100000;

constexpr MINIDUMP_TYPE kFullDumpType =
    static_cast<MINIDUMP_TYPE>(MiniDumpWithDataSegs | MiniDumpWithPrivateReadWriteMemory);
constexpr MINIDUMP_TYPE kSmallDumpType = MiniDumpWithDataSegs;

struct StartupState
{
    wchar_t programDir[kStateBufferLength];
    PreSaveDumpHook preSaveDump;
    PostSaveDumpHook postSaveDump;
    bool fullDump;
};

StartupState g_state = {{0}, nullptr, nullptr, true};

// COM and OLE of the start-up thread, given back when the program ends (OLE
// first: it stands on COM).
CScopedComApartment g_comApartment;
CScopedOle g_ole;

// Copies a text into a state buffer; a text that does not fit is a
// consistency failure of the program, not something to cut silently.
void StoreBounded(wchar_t* buffer, const wchar_t* text)
{
    if (text == nullptr)
        text = L"";
    if (wcslen(text) >= kStateBufferLength)
        EngineFatalError("Start-up text beyond its fixed limit");
    StringCchCopyW(buffer, kStateBufferLength, text);
}

void RaiseTimerResolution()
{
    TIMECAPS caps = {};
    if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR)
        timeBeginPeriod(caps.wPeriodMin);
}

constexpr const wchar_t* kDumpFolder = L"Dump";

// Builds the file's name for one candidate; false when it does not fit the buffer.
bool FormatDumpName(const SYSTEMTIME& now, int counter, wchar_t* name)
{
    HRESULT result;
    if (counter == 0)
        result = StringCchPrintfW(name, kDumpNameLength, L"%ls_%04d%02d%02d_%02d%02d%02d.dmp", GetModuleName(),
                                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    else
        result = StringCchPrintfW(name, kDumpNameLength, L"%ls_%04d%02d%02d_%02d%02d%02d_%d.dmp", GetModuleName(),
                                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, counter);
    return SUCCEEDED(result);
}

// The dump folder of the current folder, opened or made from its checked
// handle, never through a link (the current folder may lie where other
// users can write).
CScopedKernelHandle OpenDumpFolder()
{
    CScopedKernelHandle current;
    CScopedKernelHandle dumps;
    DWORD error = ERROR_SUCCESS;
    if (FileSystem::OpenCheckedCurrentFolder(&current, &error) == FileSystem::CHECKED_REACH_DONE)
        FileSystem::OpenCheckedFolder(current.Get(), kDumpFolder, FileSystem::FOLDER_MISSING_MADE, &dumps, nullptr,
                                      &error);
    return dumps;
}

// Takes the first candidate name that nothing has yet and creates its file in
// the same step, in the dump folder's own handle, so that a second thread
// crashing in the same second cannot overwrite the dump and nothing planted
// at a name is ever opened.
CScopedKernelHandle CreateDumpFile(HANDLE folder, const SYSTEMTIME& now, wchar_t* name)
{
    for (int counter = 0; counter < kMaxDumpCandidates; ++counter) {
        if (!FormatDumpName(now, counter, name))
            return CScopedKernelHandle();
        DWORD error = ERROR_SUCCESS;
        CScopedKernelHandle file(FileSystem::OpenFolderEntry(folder, name, FileSystem::ENTRY_KIND_FILE,
                                                             FileSystem::ENTRY_OPEN_NEW, GENERIC_WRITE, &error));
        // Any other failure than a taken name means the folder cannot hold a dump.
        if (file || error != ERROR_ALREADY_EXISTS)
            return file;
    }
    return CScopedKernelHandle();
}

// What the crash report needs to know of the crash.
struct CrashContext
{
    EXCEPTION_POINTERS* exception;
    DWORD threadId;
};

bool WriteDump(HANDLE file, const CrashContext& crash)
{
    EXCEPTION_POINTERS* exception = crash.exception;
    MINIDUMP_EXCEPTION_INFORMATION information = {};
    information.ThreadId = crash.threadId;
    information.ExceptionPointers = exception;
    information.ClientPointers = TRUE;
    const BOOL written = MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file,
                                           g_state.fullDump ? kFullDumpType : kSmallDumpType,
                                           exception != nullptr ? &information : nullptr, nullptr, nullptr);
    FlushFileBuffers(file);
    return written != FALSE;
}

// A failure is logged and the start-up goes on: the program may still run
// without what needs COM.
void StartComAndOle()
{
    if (!g_comApartment) {
        const HRESULT result = CoInitialize(nullptr);
        if (SUCCEEDED(result))
            g_comApartment.Reset(true);
        else
            EngineLog(ENGINE_LOG_ERROR, L"CoInitialize failed: 0x%08lX", static_cast<unsigned long>(result));
    }
    if (!g_ole) {
        const HRESULT result = OleInitialize(nullptr);
        if (SUCCEEDED(result))
            g_ole.Reset(true);
        else
            EngineLog(ENGINE_LOG_ERROR, L"OleInitialize failed: 0x%08lX", static_cast<unsigned long>(result));
    }
}

} // namespace

void EngineInitialize(const wchar_t* moduleName)
{
    EngineInitialize(moduleName, nullptr, true);
}

void EngineInitialize(const wchar_t* moduleName, PreSaveDumpHook preSaveDump)
{
    EngineInitialize(moduleName, preSaveDump, true);
}

void EngineInitialize(const wchar_t* moduleName, PreSaveDumpHook preSaveDump, bool fullDump)
{
    g_state.preSaveDump = preSaveDump;
    g_state.fullDump = fullDump;
    if (!StoreModuleName(moduleName))
        EngineFatalError("Start-up text beyond its fixed limit");
    SetUnhandledExceptionFilter(DefaultUnhandledExceptionFilter);
    StoreBounded(g_state.programDir, GetProgramDir()->GetUtf16());
    RaiseTimerResolution();
    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    StartComAndOle();
    if (DirectUI::IFrameManager* frames = DirectUI::IFrameManager_GetInstance())
        frames->Initialize();
    DirectUI::RegisterControls();
    DirectUI::RegisterWebControl();
    if (DirectUI::IGdiFontManager* fonts = DirectUI::IFontManager_GetInstance())
        fonts->GetDefaultFont();
}

void SetExceptionHandler_PreSaveDump(PreSaveDumpHook hook)
{
    g_state.preSaveDump = hook;
}

void SetExceptionHandler_PostSaveDump(PostSaveDumpHook hook)
{
    g_state.postSaveDump = hook;
}

const wchar_t* CoreGetProgramDir()
{
    return g_state.programDir;
}

namespace {

void ReportCrash(const CrashContext& crash)
{
    SYSTEMTIME now = {};
    GetEngineLocalTime(&now);
    if (g_state.preSaveDump != nullptr)
        g_state.preSaveDump();

    // This runs on the crashing thread, which may have broken the heap or hold
    // the allocator's or the file system's lock: from here on only system
    // calls on stack buffers, no engine service.
    wchar_t name[kDumpNameLength] = {};
    bool written = false;
    {
        // Named even when no folder can be had: the hook is told where the dump would be.
        FormatDumpName(now, 0, name);
        const CScopedKernelHandle folder = OpenDumpFolder();
        const CScopedKernelHandle file = folder ? CreateDumpFile(folder.Get(), now, name) : CScopedKernelHandle();
        written = file && WriteDump(file.Get(), crash);
    }

    wchar_t folder[kStateBufferLength] = {};
    const DWORD length = GetCurrentDirectoryW(kStateBufferLength, folder);
    if (length == 0 || length >= kStateBufferLength)
        folder[0] = L'\0';
    wchar_t fullPath[kStateBufferLength + kDumpNameLength] = {};
    StringCchPrintfW(fullPath, kStateBufferLength + kDumpNameLength, L"%ls\\%ls\\%ls", folder, kDumpFolder, name);

    EngineMessageBox(nullptr, written ? kCrashMessage : kCrashMessageNoDump, L"提示", MB_OK);
    if (g_state.postSaveDump != nullptr)
        g_state.postSaveDump(fullPath);
}

DWORD WINAPI ReportCrashThread(void* crash)
{
    ReportCrash(*static_cast<const CrashContext*>(crash));
    return 0;
}

} // namespace

LONG WINAPI DefaultUnhandledExceptionFilter(EXCEPTION_POINTERS* exception)
{
    const CrashContext crash = {exception, GetCurrentThreadId()};
    // A thread whose stack has overflowed has next to none left for the dump,
    // the box and the hooks: they run on a fresh thread while this one waits.
    if (exception != nullptr && exception->ExceptionRecord != nullptr &&
        exception->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
        const CScopedKernelHandle reporter(
            CreateThread(nullptr, 0, ReportCrashThread, const_cast<CrashContext*>(&crash), 0, nullptr));
        if (reporter) {
            WaitForSingleObject(reporter.Get(), INFINITE);
            return EXCEPTION_EXECUTE_HANDLER;
        }
    }
    ReportCrash(crash);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace Common
} // namespace RVGameEngine
