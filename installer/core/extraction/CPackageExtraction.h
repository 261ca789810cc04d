#pragma once

#include "installer/core/extraction/IPackageSource.h"
#include "installer/core/extraction/tagExtractionEntry.h"
#include "installer/core/extraction/tagExtractionPiece.h"
#include "installer/core/extraction/tagExtractionSlab.h"

#include "engine/filesystem/CPackedArchiveTable.h"

#include <atomic>
#include <cstdint>
#include <vector>

class CEntryWriterThread;
class CExtractionSlabPool;

// One extraction of a packed archive into the current directory, taking the
// archive's bytes front to back once: the table first, then each entry's
// bytes in data order, cut into pieces in a few fixed slabs and handed to two
// writer threads while the next bytes come out of the source. Memory stays
// bounded by the slabs whatever the archive's size.
//
// Entries are checked before anything is written: an unsafe name, bytes lying
// outside the archive or a repeated name (whose first entry's bytes are the
// ones written) keep an entry from being written. Entries may lie anywhere
// in the data, in any order, and share or overlap their bytes: each file
// gets its own bytes all the same.
class CPackageExtraction
{
public:
    // 16 slabs of 2 MB: enough for the writers never to wait on the
    // inflater's account, little beside the package itself.
    static constexpr uint32_t kDefaultSlabCount = 16;
    // Bytes several entries share are read into one slab and copied into
    // another while the first is still held, so fewer than this would wait
    // for ever.
    static constexpr uint32_t kLeastSlabCount = 2;

    CPackageExtraction(std::atomic<uint32_t>* total, std::atomic<uint32_t>* done,
                       uint32_t slabCount = kDefaultSlabCount);
    CPackageExtraction(const CPackageExtraction&) = delete;
    CPackageExtraction& operator=(const CPackageExtraction&) = delete;

    // False when the table does not open or is refused, memory does not hold
    // the least slabs, an entry was not written whole, or the source turned out damaged (what was written
    // before then stays, and is listed in the log).
    bool Run(IPackageSource* source, const wchar_t* label);

private:
    bool ReadTable(const wchar_t* label);
    bool ReadPrefixed(uint64_t position, void* target, uint32_t count);
    bool ReadData(uint8_t* target, uint32_t count);
    bool SkipTo(uint64_t position);
    bool PlanEntries();
    bool StreamEntries(CExtractionSlabPool* pool, CEntryWriterThread* writers, uint32_t writerCount);
    bool StreamShared(const std::vector<uint32_t>& reading, uint64_t end, CExtractionSlabPool* pool,
                      CEntryWriterThread* writers, uint32_t writerCount);
    // Room for a piece of at most that many bytes (all of them when whole) in
    // the slab being filled, or else in a fresh one, held for the piece.
    uint8_t* PlacePiece(CExtractionSlabPool* pool, uint32_t wanted, bool whole, tagExtractionPiece* piece);
    tagExtractionPiece PieceOf(uint32_t index, uint64_t from, uint64_t to) const;
    void LogWrittenEntries(const wchar_t* label) const;

    std::atomic<uint32_t>* m_total;
    std::atomic<uint32_t>* m_done;
    uint32_t m_slabCount;
    IPackageSource* m_source = nullptr;
    RVGameEngine::FileSystem::CPackedArchiveTable m_table;
    // The archive's first bytes, read for the table; data reads take what of
    // them lies past the table before reading on.
    std::vector<uint8_t> m_prefix;
    uint64_t m_position = 0;
    std::vector<tagExtractionEntry> m_entries;
    // The slab being filled and where its free room begins.
    tagExtractionSlab* m_slab = nullptr;
    uint32_t m_slabAt = 0;
};
