#pragma once

#include "engine/common/IStream.h"
#include "engine/filesystem/IPackedFileManager.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace FileSystemTest {

// A file written by the packing tool at build time, next to this executable.
inline std::wstring Fixture(const std::wstring& name)
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder = module;
    folder.erase(folder.find_last_of(L"\\/"));
    return folder + L"\\fixtures\\" + name;
}

// Makes a folder the current directory for its lifetime.
class CurrentDirectory
{
public:
    explicit CurrentDirectory(const std::wstring& folder)
    {
        wchar_t previous[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, previous);
        m_previous = previous;
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryW(m_previous.c_str()); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::wstring m_previous;
};

// Every test starts in a fresh current folder, with the file system's
// process-wide state (replacements, base folder, mounted archives) cleared.
class FileSystemTestBase : public ::testing::Test
{
protected:
    FileSystemTestBase() : m_current(m_temp.Path()) {}

    void SetUp() override
    {
        ResetState();
        RVTest::MessageBoxRecorder::Clear();
    }
    void TearDown() override { ResetState(); }

    static void ResetState()
    {
        VFS()->ClearFilenameReplace();
        VFS()->SetBaseDirectory(L"");
        RVGameEngine::FileSystem::IPackedFileManager_GetInstance()->UnmountAll();
    }

    static RVGameEngine::FileSystem::IVirtualFileSystem* VFS()
    {
        return RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance();
    }

    const std::wstring& Temp() const { return m_temp.Path(); }

    RVTest::TempFolder m_temp;
    CurrentDirectory m_current;
};

// The engine's stream (COM has a type of the same name in the global scope).
using RVStream = RVGameEngine::Common::IStream;
using StreamPtr = RVGameEngine::Common::TIntrusivePointer<RVStream>;

inline StreamPtr NewStream(const std::string& bytes)
{
    StreamPtr stream(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(bytes.size())));
    if (!bytes.empty())
        std::memcpy(stream->GetData(), bytes.data(), bytes.size());
    return stream;
}

inline std::string StreamText(RVStream* stream)
{
    return std::string(reinterpret_cast<const char*>(stream->GetData()), static_cast<size_t>(stream->GetSize()));
}

} // namespace FileSystemTest
