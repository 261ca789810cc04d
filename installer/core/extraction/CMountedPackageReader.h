#pragma once

#include "installer/core/extraction/CPackedFileReader_Stream.h"

#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/IPackedFileReader.h"

// A package held in memory, as the virtual file system's archives are read:
// once mounted, its files are read from the program's own bytes, never from
// a copy on disk that someone else could have rewritten since.
class CMountedPackageReader : public RVGameEngine::FileSystem::IPackedFileReader
{
public:
    CMountedPackageReader();
    CMountedPackageReader(const CMountedPackageReader&) = delete;
    CMountedPackageReader& operator=(const CMountedPackageReader&) = delete;

    // The archive in the stream (an inflated package); false, with no
    // entries, when it does not open.
    bool OpenArchive(RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> archive);

    // A path is refused: this reader's archive is the one it was given.
    bool Open(const wchar_t* archivePath) override;
    bool FileExists(const wchar_t* name) override;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> ReadFile(const wchar_t* name) override;
    int32_t GetItemCount() override;
    const wchar_t* GetItemName(int32_t index) override;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> ReadItem(int32_t index) override;

private:
    RVGameEngine::Common::TIntrusivePointer<CPackedFileReader_Stream> m_reader;
};
