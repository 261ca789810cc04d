#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/IPackedFileReader.h"

#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// The archives mounted into the virtual file system, asked in mount order.
// Names lose one leading "./" or ".\" and pass through the replacement list.
class RV_API IPackedFileManager
{
public:
    virtual bool Mount(const wchar_t* archivePath) = 0;
    virtual bool FileExists(const wchar_t* name) = 0;
    virtual Common::TIntrusivePointer<Common::IStream> ReadFile(const wchar_t* name) = 0;
    virtual int32_t GetReaderCount() = 0;
    // Empty for an index out of range.
    virtual Common::TIntrusivePointer<IPackedFileReader> GetReader(int32_t index) = 0;
    virtual void UnmountAll() = 0;
    // Adds an archive already opened elsewhere (one held in memory), asked
    // after those mounted before it; false for an empty pointer.
    virtual bool MountReader(Common::TIntrusivePointer<IPackedFileReader> reader) = 0;

protected:
    ~IPackedFileManager() = default;
};

// Made on first use, destroyed at process exit. Every operation holds the
// manager's lock, so any thread may read while another mounts.
RV_API IPackedFileManager* IPackedFileManager_GetInstance();

} // namespace FileSystem
} // namespace RVGameEngine
