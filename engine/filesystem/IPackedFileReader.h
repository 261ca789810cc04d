#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// Reads one "RADE" packed archive on disk:
//   "RADE", uint32 version 1, uint32 entry count N, then N entries
//   (uint32 offset from the data area, uint32 size, uint32 name length L,
//   L UTF-16LE units), then the data area. Entry bytes are stored scrambled.
// Names are looked up without regard to case, "\" and "/" alike; the first
// entry of a name wins. A reader is used only after a successful Open.
class RV_API IPackedFileReader : public Common::IReferenceCounted
{
public:
    // Checks the whole table before taking it: the entry count, names of at
    // most 999 units, every entry inside the file, a file below 2 GiB. A
    // failed Open leaves the reader without entries.
    virtual bool Open(const wchar_t* archivePath) = 0;
    virtual bool FileExists(const wchar_t* name) = 0;
    // The entry's plain bytes at position 0; empty when the name is missing or
    // the entry cannot be read whole.
    virtual Common::TIntrusivePointer<Common::IStream> ReadFile(const wchar_t* name) = 0;
    virtual int32_t GetItemCount() = 0;
    // Null for an index out of range.
    virtual const wchar_t* GetItemName(int32_t index) = 0;
    // ReadFile of that entry's name (so the first entry of a name answers).
    virtual Common::TIntrusivePointer<Common::IStream> ReadItem(int32_t index) = 0;
};

// A new reader, count 0: wrap it in a TIntrusivePointer. Null when out of memory.
RV_API IPackedFileReader* IPackedFileReader_Create();

// Longest entry name, in UTF-16 units.
constexpr uint32_t kMaxPackedNameLength = 999;
// Most entries an archive may list: each costs memory well beyond its twelve
// bytes of table, so a large file of empty entries could exhaust the process.
constexpr uint32_t kMaxPackedEntries = 1u << 20;

} // namespace FileSystem
} // namespace RVGameEngine
