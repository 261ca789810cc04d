#pragma once

#include "engine/filesystem/CPackedArchiveTable.h"
#include "engine/filesystem/CRawFile.h"
#include "engine/filesystem/IPackedFileReader.h"

namespace RVGameEngine {
namespace FileSystem {

class CPackedFileReader : public IPackedFileReader
{
public:
    CPackedFileReader() = default;
    CPackedFileReader(const CPackedFileReader&) = delete;
    CPackedFileReader& operator=(const CPackedFileReader&) = delete;

    bool Open(const wchar_t* archivePath) override;
    bool FileExists(const wchar_t* name) override;
    Common::TIntrusivePointer<Common::IStream> ReadFile(const wchar_t* name) override;
    int32_t GetItemCount() override;
    const wchar_t* GetItemName(int32_t index) override;
    Common::TIntrusivePointer<Common::IStream> ReadItem(int32_t index) override;

private:
    bool ReadTable(const wchar_t* archivePath);
    void Drop();

    Common::TIntrusivePointer<CRawFile> m_file;
    CPackedArchiveTable m_table;
};

} // namespace FileSystem
} // namespace RVGameEngine
