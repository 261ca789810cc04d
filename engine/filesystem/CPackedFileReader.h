#pragma once

#include "engine/filesystem/CRawFile.h"
#include "engine/filesystem/IPackedFileReader.h"
#include "engine/filesystem/tagPackedFileItem.h"

#include <string>
#include <unordered_map>
#include <vector>

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
    // The first entry of the name in table order, or null.
    tagPackedFileItem* FindItem(const wchar_t* name);

    Common::TIntrusivePointer<CRawFile> m_file;
    uint32_t m_dataStart = 0;
    std::vector<Common::TIntrusivePointer<tagPackedFileItem>> m_items;
    // Letter-case-folded normalised name -> index of its first entry.
    std::unordered_map<std::wstring, size_t> m_index;
};

} // namespace FileSystem
} // namespace RVGameEngine
