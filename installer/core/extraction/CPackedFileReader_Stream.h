#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/CPackedArchiveTable.h"
#include "engine/filesystem/tagPackedFileItem.h"

#include <cstdint>
#include <string>

// Reads a packed archive held whole in a memory stream (an embedded package
// after decompression), without any file on disk. The table is checked
// against the stream's size: an archive that does not open holds no entries,
// and an entry whose bytes lie outside the stream reads as empty.
class CPackedFileReader_Stream : public RVGameEngine::Common::IReferenceCounted
{
public:
    using Item = RVGameEngine::FileSystem::tagPackedFileItem;

    CPackedFileReader_Stream() = default;
    CPackedFileReader_Stream(const CPackedFileReader_Stream&) = delete;
    CPackedFileReader_Stream& operator=(const CPackedFileReader_Stream&) = delete;

    // Parses the header and entry table. False (with no entries) for an
    // empty pointer, another magic or version, or a table that does not fit.
    bool Open(RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> stream);
    int32_t GetItemCount() const;
    // Null for an index out of range.
    const wchar_t* GetItemName(int32_t index) const;
    // The first entry of that name, "/" and "\" alike and any letter case.
    Item* FindItem(const wchar_t* name) const;
    // A new stream (position 0) with the entry's plain bytes, or empty.
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> ReadItem(const wchar_t* name);
    // The entry at that position, read through its name (of two entries with
    // one name, the first is always read).
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> ReadItemByIndex(int32_t index);

    // The stored (scrambled) bytes of the first entry of that name, in place
    // in the source stream: valid while the reader holds it. False, with a
    // log line for an entry outside the stream, when there are none.
    bool GetStoredBytes(const wchar_t* name, const uint8_t** bytes, uint32_t* size) const;

    static std::wstring NormalizeName(const wchar_t* name);

private:
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> m_stream;
    RVGameEngine::FileSystem::CPackedArchiveTable m_table;
};
