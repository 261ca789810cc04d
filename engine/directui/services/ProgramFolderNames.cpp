#include "engine/directui/services/ProgramFolderNames.h"

#include "engine/common/system/ShellFunctions.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

namespace {

// The absolute form of the name, or empty when it has none.
std::wstring FullPathOf(const wchar_t* name)
{
    const DWORD needed = GetFullPathNameW(name, 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(name, needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    return full;
}

std::wstring AsFolder(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder)
{
    return !folder.empty() && path.size() > folder.size() &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

// A colon only as the drive letter's: any other names a stream or a device.
bool HasStrayColon(const wchar_t* name)
{
    const wchar_t* colon = wcschr(name, L':');
    if (colon == nullptr)
        return false;
    return colon != name + 1 || wcschr(colon + 1, L':') != nullptr;
}

} // namespace

bool IsInsideProgramFolders(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0' || HasStrayColon(name))
        return false;
    const std::wstring full = FullPathOf(name);
    // "\\server\share\..." and "\\.\device", "\\?\..." lead out of the folders.
    if (full.size() < 3 || full[1] != L':' || full[2] != L'\\')
        return false;
    const std::wstring programFolder = AsFolder(FullPathOf(Common::GetProgramDir()->GetUtf16()));
    const std::wstring currentFolder = AsFolder(FullPathOf(L"."));
    return StartsWithFolder(full, programFolder) || StartsWithFolder(full, currentFolder);
}

} // namespace DirectUI
} // namespace RVGameEngine
