#include "engine/filesystem/CFileCollector.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <shlwapi.h>

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace FileSystem {

namespace {

constexpr size_t kMaxPathLength = 999;
constexpr int kMaxWalkDepth = static_cast<int>(kMaxPathLength / 2);

} // namespace

void CFileCollector::ListFolder(const wchar_t* folder, const EntryHandler& handler)
{
    const std::wstring base = IVirtualFileSystem_GetInstance()->ReplaceFilename(folder)->GetUtf16();
    // An empty folder (given so, or a name the replacement list refused)
    // would list the root of the drive: callers empty what they collect.
    if (base.empty()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Folder not listed: empty or refused folder name");
        return;
    }
    const std::wstring pattern = base + L"/*.*";
    if (pattern.size() > kMaxPathLength) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Folder not listed: path longer than %d units: %s",
                      static_cast<int>(kMaxPathLength), base.c_str());
        return;
    }
    WIN32_FIND_DATAW found{};
    Common::CScopedFindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isReparsePoint = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isFolder && isReparsePoint)
            continue;
        const std::wstring path = base + L"/" + name;
        if (path.size() > kMaxPathLength) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Entry skipped: path longer than %d units: %s",
                          static_cast<int>(kMaxPathLength), path.c_str());
            continue;
        }
        handler(path, isFolder);
    } while (FindNextFileW(search.Get(), &found));
}

void CFileCollector::Walk(const wchar_t* folder, int depth)
{
    // Every level adds at least two units to a path of at most 999, so only a
    // replacement pair that maps a subfolder back onto a folder above it can
    // go deeper; without this stop the walk would run out of stack.
    if (depth > kMaxWalkDepth) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Folder not entered: more than %d levels deep: %s", kMaxWalkDepth, folder);
        return;
    }
    ListFolder(folder, [this, depth](const std::wstring& path, bool isFolder) {
        if (isFolder)
            Walk(path.c_str(), depth + 1);
        else if (PathFileExistsW(path.c_str()))
            m_paths.push_back(path);
    });
}

void CFileCollector::CollectFiles(const wchar_t* folder)
{
    m_paths.clear();
    if (folder != nullptr)
        Walk(folder, 0);
}

void CFileCollector::CollectSubdirectories(const wchar_t* folder)
{
    if (folder == nullptr)
        return;
    ListFolder(folder, [this](const std::wstring& path, bool isFolder) {
        if (isFolder)
            m_paths.push_back(path);
    });
}

int32_t CFileCollector::GetCount()
{
    return static_cast<int32_t>(m_paths.size());
}

const wchar_t* CFileCollector::GetAt(int32_t index)
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_paths[static_cast<size_t>(index)].c_str();
}

void CFileCollector::Remove(const wchar_t* path)
{
    if (path == nullptr)
        return;
    const auto found = std::find(m_paths.begin(), m_paths.end(), std::wstring(path));
    if (found != m_paths.end())
        m_paths.erase(found);
}

IFileCollector* IFileCollector_Create()
{
    return new (std::nothrow) CFileCollector();
}

} // namespace FileSystem
} // namespace RVGameEngine
