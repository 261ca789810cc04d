#include "engine/common/system/ShellFunctions.h"

#include "engine/common/base/ComPointer.h"
#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/ILogFile.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <atomic>

#include <string>

namespace RVGameEngine {
namespace Common {

namespace {

constexpr DWORD kPathBufferLength = 1000;

TIntrusivePointer<IString> MakeText(const wchar_t* text)
{
    return IString_Create_Utf16(text != nullptr ? text : L"");
}

bool IsSeparator(wchar_t unit)
{
    return unit == L'/' || unit == L'\\';
}

std::wstring CurrentDirectory()
{
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring folder(needed, L'\0');
    const DWORD written = GetCurrentDirectoryW(needed, &folder[0]);
    folder.resize(written < needed ? written : 0);
    return folder;
}

TIntrusivePointer<IString> SpecialFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE))
        folder[0] = L'\0';
    return MakeText(folder);
}

ELEVATION SystemProcessElevation(DWORD processId)
{
    if (processId == 0)
        return ELEVATION_UNKNOWN;
    CScopedKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    HANDLE token = nullptr;
    if (!process || !OpenProcessToken(process.Get(), TOKEN_QUERY, &token))
        return ELEVATION_UNKNOWN;
    CScopedKernelHandle ownedToken(token);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(ownedToken.Get(), TokenElevation, &elevation, sizeof elevation, &size))
        return ELEVATION_UNKNOWN;
    return elevation.TokenIsElevated != 0 ? ELEVATION_FULL : ELEVATION_NONE;
}

std::atomic<ElevationQuery> g_elevationQuery{nullptr};

// The desktop shell's own automation object opens the target in the shell's
// process, with the shell's rights: the desktop's folder view, its
// application object, and that object's ShellExecute.
bool OpenThroughDesktopShell(const wchar_t* target)
{
    TComPointer<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                reinterpret_cast<void**>(windows.Receive()))))
        return false;
    VARIANT location;
    VariantInit(&location);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT none;
    VariantInit(&none);
    long window = 0;
    TComPointer<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Receive()) != S_OK ||
        !desktop)
        return false;
    TComPointer<IServiceProvider> services;
    TComPointer<IShellBrowser> browser;
    TComPointer<IShellView> view;
    TComPointer<IDispatch> background;
    TComPointer<IShellFolderViewDual> folderView;
    TComPointer<IDispatch> application;
    TComPointer<IShellDispatch2> shell;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(services.Receive()))) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                      reinterpret_cast<void**>(browser.Receive()))) ||
        FAILED(browser->QueryActiveShellView(view.Receive())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(background.Receive()))) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void**>(folderView.Receive()))) ||
        FAILED(folderView->get_Application(application.Receive())) ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(shell.Receive()))))
        return false;
    CScopedBstr file(SysAllocString(target));
    CScopedBstr verbText(SysAllocString(L"open"));
    if (!file || !verbText)
        return false;
    VARIANT verb;
    VariantInit(&verb);
    verb.vt = VT_BSTR;
    verb.bstrVal = verbText.Get();
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return SUCCEEDED(shell->ShellExecute(file.Get(), none, none, verb, show));
}

// COM for the calling thread while the shell is asked; a thread that has it
// already keeps its own.
bool OpenThroughDesktopShellWithCom(const wchar_t* target)
{
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool opened = OpenThroughDesktopShell(target);
    if (SUCCEEDED(started))
        CoUninitialize();
    return opened;
}

} // namespace

void SetElevationQuery(ElevationQuery query)
{
    g_elevationQuery.store(query);
}

ELEVATION GetProcessElevation(DWORD processId)
{
    const ElevationQuery query = g_elevationQuery.load();
    return query != nullptr ? query(processId) : SystemProcessElevation(processId);
}

DWORD GetShellProcessId()
{
    DWORD processId = 0;
    if (HWND shell = GetShellWindow())
        GetWindowThreadProcessId(shell, &processId);
    return processId;
}

bool IsWebAddress(const wchar_t* text)
{
    if (text == nullptr)
        return false;
    const size_t length = wcslen(text);
    size_t scheme = 0;
    if (length > 5 && _wcsnicmp(text, L"http:", 5) == 0)
        scheme = 5;
    else if (length > 6 && _wcsnicmp(text, L"https:", 6) == 0)
        scheme = 6;
    else
        return false;
    return length >= scheme + 2 && IsSeparator(text[scheme]) && IsSeparator(text[scheme + 1]);
}

TIntrusivePointer<IString> ProcessURL(const wchar_t* url)
{
    if (url == nullptr)
        return MakeText(L"");
    if (IsWebAddress(url))
        return MakeText(url);

    std::wstring path = GetShortPath(url)->GetUtf16();
    if (path.size() < 2 || path[1] != L':')
        path = CurrentDirectory() + L"\\" + path;
    // PathCanonicalizeW works in MAX_PATH buffers: a longer path is handed
    // back as joined rather than overrunning them.
    wchar_t canonical[MAX_PATH] = {};
    if (path.size() >= MAX_PATH || !PathCanonicalizeW(canonical, path.c_str()))
        return MakeText(path.c_str());
    return MakeText(canonical);
}

void OpenWebLink(const wchar_t* url)
{
    TIntrusivePointer<IString> target = ProcessURL(url);
    const bool elevated = GetProcessElevation(GetCurrentProcessId()) == ELEVATION_FULL;
    const ELEVATION shell = elevated ? GetProcessElevation(GetShellProcessId()) : ELEVATION_NONE;
    if (!elevated || shell == ELEVATION_FULL) {
        ShellExecuteW(nullptr, L"OPEN", target->GetUtf16(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    // No shell window, or its token cannot be read: the shell may well run as
    // the user, and opening the link here would give the browser
    // administrator rights.
    if (shell == ELEVATION_UNKNOWN) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"%s not opened: the desktop shell's rights are unknown, and it is "
                                                L"not opened with administrator rights",
                                                LoggableText(target->GetUtf16()).c_str());
        return;
    }
    if (!OpenThroughDesktopShellWithCom(target->GetUtf16()))
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"%s not opened: the desktop shell did not take it, and it is not "
                                                L"opened with administrator rights",
                                                LoggableText(target->GetUtf16()).c_str());
}

TIntrusivePointer<IString> GetDesktopDir()
{
    return SpecialFolder(CSIDL_DESKTOP);
}

TIntrusivePointer<IString> GetDocumentDir()
{
    return SpecialFolder(CSIDL_PERSONAL);
}

TIntrusivePointer<IString> GetProgramsDir()
{
    return SpecialFolder(CSIDL_PROGRAMS);
}

TIntrusivePointer<IString> GetProgramPath()
{
    wchar_t path[kPathBufferLength] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, kPathBufferLength);
    if (length == 0 || length >= kPathBufferLength)
        path[0] = L'\0';
    return MakeText(path);
}

TIntrusivePointer<IString> GetFolderOfPath(const wchar_t* path)
{
    std::wstring folder = path != nullptr ? path : L"";
    const size_t separator = folder.find_last_of(L"/\\");
    if (separator != std::wstring::npos)
        folder.resize(separator + 1);
    return MakeText(folder.c_str());
}

TIntrusivePointer<IString> GetProgramDir()
{
    return GetFolderOfPath(GetProgramPath()->GetUtf16());
}

TIntrusivePointer<IString> GetShortPath(const wchar_t* path)
{
    if (path == nullptr)
        return MakeText(L"");
    wchar_t shortPath[kPathBufferLength] = {};
    const DWORD length = GetShortPathNameW(path, shortPath, kPathBufferLength);
    if (length == 0 || length >= kPathBufferLength)
        return MakeText(path);
    return MakeText(shortPath);
}

bool IsDirectoryExists(const wchar_t* path)
{
    if (path == nullptr)
        return false;
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

// A shell link with the settings, or false.
bool MakeShellLink(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                   int32_t iconIndex, TComPointer<IShellLinkW>* link)
{
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW,
                                reinterpret_cast<void**>(link->Receive()))))
        return false;
    IShellLinkW* made = link->Get();
    if (target != nullptr)
        made->SetPath(target);
    if (workingFolder != nullptr)
        made->SetWorkingDirectory(workingFolder);
    if (description != nullptr)
        made->SetDescription(description);
    made->SetShowCmd(SW_SHOWNORMAL);
    if (iconIndex != 0 && target != nullptr)
        made->SetIconLocation(target, iconIndex);
    return true;
}

} // namespace

bool CreateShortcut1(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                     const wchar_t* shortcutFile, int32_t iconIndex)
{
    TComPointer<IShellLinkW> link;
    if (!MakeShellLink(target, workingFolder, description, iconIndex, &link))
        return false;
    TComPointer<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
        return false;
    if (shortcutFile == nullptr)
        return true;
    return SUCCEEDED(file->Save(shortcutFile, TRUE));
}

bool MakeShortcutBytes(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                       int32_t iconIndex, std::vector<uint8_t>* bytes)
{
    TComPointer<IShellLinkW> link;
    TComPointer<IPersistStream> persist;
    TComPointer<::IStream> memory;
    if (!MakeShellLink(target, workingFolder, description, iconIndex, &link) ||
        FAILED(link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.Receive()))) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, memory.Receive())) || FAILED(persist->Save(memory.Get(), TRUE)))
        return false;
    STATSTG stat = {};
    if (FAILED(memory->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.HighPart != 0)
        return false;
    bytes->assign(stat.cbSize.LowPart, 0);
    LARGE_INTEGER start = {};
    ULONG read = 0;
    return SUCCEEDED(memory->Seek(start, STREAM_SEEK_SET, nullptr)) &&
           (bytes->empty() || SUCCEEDED(memory->Read(bytes->data(), stat.cbSize.LowPart, &read))) &&
           read == stat.cbSize.LowPart;
}

bool CreateShortcut(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                    const wchar_t* shortcutFile)
{
    return CreateShortcut1(target, workingFolder, description, shortcutFile, 0);
}

} // namespace Common
} // namespace RVGameEngine
