#pragma once

#include "engine/common/base/IStream.h"
#include "engine/filesystem/IPackedFileManager.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace FileSystemTest {

using namespace RVGameEngine::Common;
using namespace RVGameEngine::FileSystem;

// The engine's stream (COM has a type of the same name in the global scope).
using StreamPtr = TIntrusivePointer<RVGameEngine::Common::IStream>;

// A file written by the packing tool at build time, next to this executable.
inline std::wstring Fixture(const std::wstring& name)
{
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetModuleFileNameW(nullptr, &folder[0], MAX_PATH));
    return folder.erase(folder.find_last_of(L"\\/")) + L"\\fixtures\\" + name;
}

inline StreamPtr NewStream(const std::string& bytes)
{
    StreamPtr stream(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(bytes.size())));
    std::copy(bytes.begin(), bytes.end(), stream->GetData());
    return stream;
}

inline std::string StreamText(RVGameEngine::Common::IStream* stream)
{
    const char* bytes = stream == nullptr ? nullptr : reinterpret_cast<const char*>(stream->GetData());
    return bytes == nullptr ? "<null>" : std::string(bytes, static_cast<size_t>(stream->GetSize()));
}

inline std::vector<std::wstring> BoxTexts()
{
    std::vector<std::wstring> texts;
    for (const RVTest::RecordedMessageBox& box : RVTest::MessageBoxRecorder::Taken())
        texts.push_back(box.text);
    return texts;
}

// Every test runs in a fresh current folder, with the file system's
// process-wide state (replacements, base folder, mounted archives) cleared.
class FileSystemTestBase : public ::testing::Test
{
protected:
    FileSystemTestBase() { GetCurrentDirectoryW(MAX_PATH, m_previous), SetCurrentDirectoryW(Temp().c_str()); }
    ~FileSystemTestBase() override { SetCurrentDirectoryW(m_previous); }

    void SetUp() override { ResetState(), RVTest::MessageBoxRecorder::Clear(); }
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

    // The bytes the virtual file system reads for a name ("<null>" if none).
    static std::string Read(const wchar_t* name) { return StreamText(VFS()->ReadFile(name).Get()); }

    const std::wstring& Temp() const { return m_temp.Path(); }

    RVTest::TempFolder m_temp;
    wchar_t m_previous[MAX_PATH] = {};
};

} // namespace FileSystemTest
