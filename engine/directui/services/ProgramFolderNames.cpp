#include "engine/directui/services/ProgramFolderNames.h"

#include "engine/common/system/ShellFunctions.h"
#include "engine/filesystem/FinalPathFunctions.h"

#include <windows.h>

#include <cwchar>
#include <string>

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

bool IsInFolder(const std::wstring& path, std::wstring folder)
{
    if (folder.empty())
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
    return IsInFolder(full, FileSystem::GetFullPath(Common::GetProgramDir()->GetUtf16())) ||
           IsInFolder(full, FileSystem::GetFullPath(L"."));
}

} // namespace DirectUI
} // namespace RVGameEngine
