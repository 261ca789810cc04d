#include "engine/directui/services/ProgramFolderNames.h"

#include "engine/common/system/ShellFunctions.h"
#include "engine/filesystem/FinalPathFunctions.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// Refused before the name reaches the file system at all: a network
// ("\\server\share") or device ("\\.\", "\\?\") path, and a colon other than
// a drive letter's, which names a stream or a device.
bool LeavesTheDisksByItsForm(const wchar_t* name)
{
    if (IsSeparator(name[0]) && IsSeparator(name[1]))
        return true;
    const wchar_t* colon = wcschr(name, L':');
    return colon != nullptr && (colon != name + 1 || wcschr(colon + 1, L':') != nullptr);
}

// The folders named by the program, absolute, UI thread only like the
// toolkit that asks.
std::vector<std::wstring>& AddedFolders()
{
    static std::vector<std::wstring> folders;
    return folders;
}

bool IsDriveRoot(const std::wstring& folder)
{
    return folder.size() <= 3 && folder.size() >= 2 && folder[1] == L':';
}

bool IsInFolder(const std::wstring& path, std::wstring folder)
{
    if (folder.empty() || IsDriveRoot(folder))
        return false;
    if (folder.back() != L'\\')
        folder += L'\\';
    return path.size() > folder.size() &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

bool IsInsideProgramFolders(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0' || LeavesTheDisksByItsForm(name))
        return false;
    const std::wstring full = FileSystem::GetFullPath(name);
    if (full.size() < 3 || full[1] != L':' || full[2] != L'\\')
        return false;
    if (IsInFolder(full, FileSystem::GetFullPath(Common::GetProgramDir()->GetUtf16())))
        return true;
    for (const std::wstring& folder : AddedFolders()) {
        if (IsInFolder(full, folder))
            return true;
    }
    return false;
}

void AddProgramFolder(const wchar_t* folder)
{
    if (folder == nullptr || folder[0] == L'\0')
        return;
    const std::wstring full = FileSystem::GetFullPath(folder);
    std::vector<std::wstring>& folders = AddedFolders();
    if (!full.empty() && std::find(folders.begin(), folders.end(), full) == folders.end())
        folders.push_back(full);
}

void RemoveProgramFolder(const wchar_t* folder)
{
    if (folder == nullptr || folder[0] == L'\0')
        return;
    const std::wstring full = FileSystem::GetFullPath(folder);
    std::vector<std::wstring>& folders = AddedFolders();
    folders.erase(std::remove(folders.begin(), folders.end(), full), folders.end());
}

} // namespace DirectUI
} // namespace RVGameEngine
