// Child program of the system tests. The mode (RV_HELPER_MODE: options, exit,
// wait or crash) and its settings come from RV_HELPER_* environment variables,
// so the command line is entirely the test's. Reports go to RV_HELPER_OUT as
// appended UTF-8 lines; started by someone else, without that variable (as
// the desktop shell starts it), it reports beside itself, to "<own path>.out".

#include "engine/common/system/CParameterParser.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/base/EngineMessageBox.h"
#include "engine/common/startup/EngineStartup.h"
#include "engine/common/system/ICommandLine.h"
#include "engine/common/base/LocalClock.h"
#include "engine/common/base/TextCodec.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <sstream>

using namespace RVGameEngine::Common;

namespace {

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[4096] = {};
    return GetEnvironmentVariableW(name, value, 4096) < 4096 ? value : L"";
}

std::wstring ReportPath()
{
    const std::wstring given = Environment(L"RV_HELPER_OUT");
    if (!given.empty())
        return given;
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    return std::wstring(own) + L".out";
}

DWORD ParentProcessId()
{
    const CScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry))
        if (entry.th32ProcessID == GetCurrentProcessId())
            return entry.th32ParentProcessID;
    return 0;
}

void Report(const std::wstring& line)
{
    const CScopedKernelHandle file(CreateFileW(ReportPath().c_str(), FILE_APPEND_DATA,
                                               FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    const std::string bytes = WideToNarrow(kCodePageUtf8, (line + L"\n").c_str());
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int ReportOptions()
{
    CParameterParser parser;
    ICommandLine* commandLine = ICommandLine_GetInstance();
    parser.Parse(commandLine->GetRawCommandLine());
    for (const std::wstring& token : parser.GetTokens())
        Report(L"token:" + token);
    std::wistringstream names(Environment(L"RV_HELPER_NAMES"));
    for (std::wstring name; std::getline(names, name, L'|');) {
        wchar_t numbers[128];
        swprintf(numbers, 128, L"|%d|%d|%g|%d", commandLine->HasParameter(name.c_str()) ? 1 : 0,
                 commandLine->GetInt(name.c_str()), static_cast<double>(commandLine->GetFloat(name.c_str())),
                 commandLine->GetBool(name.c_str()) ? 1 : 0);
        Report(L"option:" + name + L"|" + commandLine->GetString(name.c_str())->GetUtf16() + numbers);
    }
    return 0;
}

__attribute__((noinline)) void WriteThrough(volatile int* pointer) { *pointer = 1; }

__attribute__((noinline)) int Recurse(volatile int depth)
{
    volatile char pad[256];
    pad[0] = static_cast<char>(depth);
    // Never negative: the test only keeps the compiler from calling this endless.
    return depth < 0 ? 0 : Recurse(depth + 1) + pad[0];
}

int Crash()
{
    Report(std::wstring(L"module:") + GetModuleName());
    SetEngineMessageBoxHook([](const wchar_t* text, const wchar_t* caption, unsigned int type) {
        Report(std::wstring(L"box:") + text + L"|" + caption + L"|" + std::to_wstring(type));
        return IDOK;
    });
    SetLocalTimeSource([](SYSTEMTIME* now) { *now = SYSTEMTIME{2021, 3, 0, 7, 9, 5, 3, 0}; });
    EngineInitialize(L"Setup", [] { Report(L"pre"); }, Environment(L"RV_HELPER_FULLDUMP") != L"0");
    const std::wstring base = Environment(L"RV_HELPER_BASE");
    if (!base.empty())
        RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->SetBaseDirectory(base.c_str());
    SetExceptionHandler_PostSaveDump([](const wchar_t* path) { Report(std::wstring(L"post:") + path); });
    Report(L"initialized");
    if (Environment(L"RV_HELPER_OVERFLOW") == L"1")
        Recurse(0);
    WriteThrough(nullptr);
    Report(L"survived");
    return 0;
}

} // namespace

int main()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    const std::wstring mode = Environment(L"RV_HELPER_MODE");
    if (mode == L"options")
        return ReportOptions();
    if (mode == L"crash")
        return Crash();
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    // Who started it tells a test that did not start it itself.
    if (Environment(L"RV_HELPER_OUT").empty())
        Report(std::wstring(L"parent:") + std::to_wstring(ParentProcessId()));
    Report(std::wstring(L"cwd:") + folder);
    if (mode == L"wait")
        Sleep(60000);   // bounded: a test that fails to end this process does not leave it behind
    return _wtoi(Environment(L"RV_HELPER_EXIT").c_str());
}
