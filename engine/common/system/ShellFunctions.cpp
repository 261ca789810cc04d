#include "engine/common/system/ShellFunctions.h"

#include "engine/common/base/ComPointer.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

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

} // namespace

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
    ShellExecuteW(nullptr, L"OPEN", target->GetUtf16(), nullptr, nullptr, SW_SHOWNORMAL);
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

bool CreateShortcut1(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                     const wchar_t* shortcutFile, int32_t iconIndex)
{
    TComPointer<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Receive()))))
        return false;
    if (target != nullptr)
        link->SetPath(target);
    if (workingFolder != nullptr)
        link->SetWorkingDirectory(workingFolder);
    if (description != nullptr)
        link->SetDescription(description);
    link->SetShowCmd(SW_SHOWNORMAL);
    if (iconIndex != 0 && target != nullptr)
        link->SetIconLocation(target, iconIndex);

    TComPointer<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
        return false;
    if (shortcutFile == nullptr)
        return true;
    return SUCCEEDED(file->Save(shortcutFile, TRUE));
}

bool CreateShortcut(const wchar_t* target, const wchar_t* workingFolder, const wchar_t* description,
                    const wchar_t* shortcutFile)
{
    return CreateShortcut1(target, workingFolder, description, shortcutFile, 0);
}

} // namespace Common
} // namespace RVGameEngine
