#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/tagPackedFileItem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

// The header and entry table of a RADE archive, wherever its bytes are held
// (a file on disk, a package in memory). Reading never goes past the end of
// the source: a count or name length that cannot fit is refused before
// anything is allocated for it. What to do with an entry whose bytes lie
// outside the source, or whose name is empty, is left to the reader.
class CPackedArchiveTable
{
public:
    // Copies `count` bytes at `position` of the source into `target`.
    using ReadFunction = std::function<bool(uint64_t position, void* target, uint32_t count)>;

    // Replaces the entries by those of the source's table. False, with a log
    // line naming `label`, and no entries for another magic or version, a
    // table cut short, too many entries or too long a name.
    bool Read(const ReadFunction& read, uint64_t sourceSize, const wchar_t* label);
    void Clear();

    int32_t GetItemCount() const { return static_cast<int32_t>(m_items.size()); }
    // Null for an index out of range.
    const wchar_t* GetItemName(int32_t index) const;
    // The first entry of that name in table order ("/" and "\" alike, any
    // letter case), or null; a null or empty name finds none.
    tagPackedFileItem* FindItem(const wchar_t* name) const;

    // Where the entry's bytes begin in the source.
    uint64_t GetDataPosition(const tagPackedFileItem& item) const { return uint64_t{m_dataStart} + item.offset; }
    bool LiesWithin(const tagPackedFileItem& item, uint64_t sourceSize) const
    {
        return GetDataPosition(item) + item.size <= sourceSize;
    }
    const std::vector<Common::TIntrusivePointer<tagPackedFileItem>>& GetItems() const { return m_items; }

    // Every "\" turned into "/"; nothing else changes.
    static std::wstring NormalizeName(const wchar_t* name);

private:
    uint32_t m_dataStart = 0;
    std::vector<Common::TIntrusivePointer<tagPackedFileItem>> m_items;
    // Letter-case-folded normalised name -> index of its first entry.
    std::unordered_map<std::wstring, size_t> m_index;
};

} // namespace FileSystem
} // namespace RVGameEngine
