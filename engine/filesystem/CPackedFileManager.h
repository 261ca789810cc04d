#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/filesystem/IPackedFileManager.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

class CPackedFileManager : public IPackedFileManager
{
public:
    CPackedFileManager() = default;
    ~CPackedFileManager() = default;
    CPackedFileManager(const CPackedFileManager&) = delete;
    CPackedFileManager& operator=(const CPackedFileManager&) = delete;

    bool Mount(const wchar_t* archivePath) override;
    bool FileExists(const wchar_t* name) override;
    Common::TIntrusivePointer<Common::IStream> ReadFile(const wchar_t* name) override;
    int32_t GetReaderCount() override;
    Common::TIntrusivePointer<IPackedFileReader> GetReader(int32_t index) override;
    void UnmountAll() override;
    bool MountReader(Common::TIntrusivePointer<IPackedFileReader> reader) override;

private:
    static std::wstring PrepareName(const wchar_t* name);
    // The mounted readers, each held by reference, so that they are searched
    // and read outside the lock.
    std::vector<Common::TIntrusivePointer<IPackedFileReader>> Readers();

    std::vector<Common::TIntrusivePointer<IPackedFileReader>> m_readers;
    Common::CCriticalSection m_lock;
};

} // namespace FileSystem
} // namespace RVGameEngine
