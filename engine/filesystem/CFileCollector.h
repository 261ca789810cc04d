#pragma once

#include "engine/filesystem/IFileCollector.h"

#include <functional>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

class CFileCollector : public IFileCollector
{
public:
    void CollectFiles(const wchar_t* folder) override;
    int32_t GetCount() override;
    const wchar_t* GetAt(int32_t index) override;
    void Remove(const wchar_t* path) override;
    void CollectSubdirectories(const wchar_t* folder) override;

private:
    using EntryHandler = std::function<void(const std::wstring& path, bool isFolder)>;
    // Calls the handler for every entry of the folder except "." and "..",
    // and for no reparse-point folder. The folder passes through the name
    // replacement list first.
    static void ListFolder(const wchar_t* folder, const EntryHandler& handler);
    void Walk(const wchar_t* folder, int depth);

    std::vector<std::wstring> m_paths;
};

} // namespace FileSystem
} // namespace RVGameEngine
