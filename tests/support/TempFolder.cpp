#include "tests/support/TempFolder.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/FolderRemovalFunctions.h"

#include <windows.h>

#include <cwchar>

namespace RVTest {

void RemoveTree(const std::wstring& folder)
{
    RVGameEngine::Common::RemoveFolderTree(folder.c_str(), RVGameEngine::Common::FOLDER_REMOVAL_WHOLE_TREE);
}

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        wchar_t name[MAX_PATH + 64];
        swprintf(name, sizeof(name) / sizeof(name[0]), L"%lsrvtest_%lu_%ld", base,
                 GetCurrentProcessId(), InterlockedIncrement(&counter));
        if (CreateDirectoryW(name, nullptr)) {
            m_path = name;
            return;
        }
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(m_path);
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    const RVGameEngine::Common::CScopedKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
}

std::string ReadWholeFile(const std::wstring& path)
{
    const RVGameEngine::Common::CScopedKernelHandle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr));
    if (!file)
        return std::string();
    std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::wstring& folder)
{
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    m_previous = previous;
    SetCurrentDirectoryW(folder.c_str());
}

ScopedCurrentFolder::~ScopedCurrentFolder()
{
    SetCurrentDirectoryW(m_previous.c_str());
}

} // namespace RVTest
