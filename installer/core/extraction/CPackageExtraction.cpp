#include "installer/core/extraction/CPackageExtraction.h"

#include "installer/core/extraction/CEntryWriterThread.h"
#include "installer/core/extraction/CExtractionSlabPool.h"
#include "installer/core/extraction/tagExtractionPiece.h"
#include "installer/core/rules/EntryNameRules.h"

#include "engine/common/base/LogTextFunctions.h"
#include "engine/filesystem/ILogFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

using RVGameEngine::Common::LoggableText;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;
using RVGameEngine::FileSystem::tagPackedFileItem;

namespace {

constexpr uint32_t kSlabBytes = 2 * 1024 * 1024;
constexpr uint32_t kWriterCount = 2;
constexpr uint32_t kTableReadPiece = 64 * 1024;
constexpr uint32_t kSkipPiece = 64 * 1024;
// Pieces begin on this boundary, so that unscrambling runs word by word.
constexpr uint32_t kPieceAlignment = 8;

uint32_t AlignUp(uint32_t value)
{
    return (value + kPieceAlignment - 1) & ~(kPieceAlignment - 1);
}

} // namespace

CPackageExtraction::CPackageExtraction(std::atomic<uint32_t>* total, std::atomic<uint32_t>* done,
                                       uint32_t slabCount)
    : m_total(total), m_done(done), m_slabCount(slabCount)
{
}

bool CPackageExtraction::ReadPrefixed(uint64_t position, void* target, uint32_t count)
{
    while (m_prefix.size() < position + count) {
        const uint64_t left = m_source->GetSize() - m_prefix.size();
        const uint32_t step = static_cast<uint32_t>(std::min<uint64_t>(kTableReadPiece, left));
        if (step == 0)
            return false;
        const size_t at = m_prefix.size();
        m_prefix.resize(at + step);
        if (!m_source->ReadNext(m_prefix.data() + at, step))
            return false;
    }
    std::memcpy(target, m_prefix.data() + position, count);
    return true;
}

bool CPackageExtraction::ReadTable(const wchar_t* label)
{
    const auto read = [this](uint64_t position, void* target, uint32_t count) {
        return ReadPrefixed(position, target, count);
    };
    return m_table.Read(read, m_source->GetSize(), label);
}

bool CPackageExtraction::ReadData(uint8_t* target, uint32_t count)
{
    if (m_position < m_prefix.size()) {
        const uint32_t fromPrefix = static_cast<uint32_t>(std::min<uint64_t>(count, m_prefix.size() - m_position));
        std::memcpy(target, m_prefix.data() + m_position, fromPrefix);
        m_position += fromPrefix;
        target += fromPrefix;
        count -= fromPrefix;
    }
    // Past the prefix the source reads on from where the prefix ends.
    if (m_position >= m_prefix.size() && !m_prefix.empty())
        std::vector<uint8_t>().swap(m_prefix);
    if (count == 0)
        return true;
    if (!m_source->ReadNext(target, count))
        return false;
    m_position += count;
    return true;
}

bool CPackageExtraction::SkipTo(uint64_t position)
{
    std::vector<uint8_t> discard;
    while (m_position < position) {
        const uint32_t step = static_cast<uint32_t>(std::min<uint64_t>(kSkipPiece, position - m_position));
        discard.resize(step);
        if (!ReadData(discard.data(), step))
            return false;
    }
    return true;
}

// Which entries get written, in data order (table order among those that
// begin together). A repeated name is written once, with its first entry's
// bytes (as lookups find it), and counts done at once; a refused entry is
// logged and never counts. False when any entry is refused.
bool CPackageExtraction::PlanEntries()
{
    bool allPlanned = true;
    for (const auto& held : m_table.GetItems()) {
        const tagPackedFileItem* item = held.Get();
        const tagPackedFileItem* found = m_table.FindItem(item->name.c_str());
        const tagPackedFileItem* first = found != nullptr ? found : item;
        if (!IsSafeEntryName(item->name)) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry \"%s\" refused: not a plain relative name",
                                        LoggableText(item->name).c_str());
            allPlanned = false;
        } else if (!m_table.LiesWithin(*first, m_source->GetSize())) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                        L"Package entry %s lies outside the package (%u bytes at %u)",
                                        LoggableText(item->name).c_str(), first->size, first->offset);
            allPlanned = false;
        } else if (first == item) {
            tagExtractionEntry entry;
            entry.item = item;
            entry.position = m_table.GetDataPosition(*item);
            m_entries.push_back(entry);
        } else {
            m_done->fetch_add(1);
        }
    }
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const tagExtractionEntry& a, const tagExtractionEntry& b) { return a.position < b.position; });
    return allPlanned;
}

uint8_t* CPackageExtraction::PlacePiece(CExtractionSlabPool* pool, uint32_t wanted, bool whole,
                                        tagExtractionPiece* piece)
{
    uint32_t offset = AlignUp(m_slabAt + tagExtractionPiece::kPieceHeadroom);
    if (offset + (whole ? wanted : std::min<uint32_t>(wanted, 1)) > pool->GetSlabBytes()) {
        pool->Release(m_slab);
        m_slab = pool->Take();
        m_slabAt = 0;
        offset = AlignUp(tagExtractionPiece::kPieceHeadroom);
    }
    piece->slab = m_slab;
    piece->offset = offset;
    piece->size = std::min(wanted, pool->GetSlabBytes() - offset);
    CExtractionSlabPool::AddUser(m_slab);
    m_slabAt = offset + piece->size;
    return piece->Bytes();
}

tagExtractionPiece CPackageExtraction::PieceOf(uint32_t index, uint64_t from, uint64_t to) const
{
    const tagExtractionEntry& entry = m_entries[index];
    tagExtractionPiece piece;
    piece.entry = index;
    piece.first = from == entry.position;
    piece.last = to == entry.position + entry.item->size;
    return piece;
}

// The next bytes, which every entry being read shares up to the end given:
// read once into a slab as the first entry's piece, and copied for the
// others, since each entry's bytes are turned into their written form in
// place. The copies go out first: their slabs must never wait for a piece
// that has not been handed on.
bool CPackageExtraction::StreamShared(const std::vector<uint32_t>& reading, uint64_t end, CExtractionSlabPool* pool,
                                      CEntryWriterThread* writers, uint32_t writerCount)
{
    const uint64_t from = m_position;
    const uint32_t most = pool->GetSlabBytes() - AlignUp(tagExtractionPiece::kPieceHeadroom);
    tagExtractionPiece read;
    uint8_t* bytes = PlacePiece(pool, static_cast<uint32_t>(std::min<uint64_t>(end - from, most)), false, &read);
    const uint32_t size = read.size;
    if (!ReadData(bytes, size)) {
        pool->Release(read.slab);
        for (uint32_t index : reading) {
            if (m_entries[index].position == from)
                continue;
            tagExtractionPiece abandoned = PieceOf(index, from, from);
            abandoned.last = true;
            abandoned.abandoned = true;
            writers[index % writerCount].Push(abandoned);
        }
        return false;
    }
    for (size_t i = 1; i < reading.size(); ++i) {
        tagExtractionPiece copy = PieceOf(reading[i], from, from + size);
        // No piece is larger than a fresh slab holds: the copy is never cut.
        std::memcpy(PlacePiece(pool, size, true, &copy), bytes, size);
        writers[reading[i] % writerCount].Push(copy);
    }
    tagExtractionPiece first = PieceOf(reading[0], from, from + size);
    first.slab = read.slab;
    first.offset = read.offset;
    first.size = size;
    writers[reading[0] % writerCount].Push(first);
    return true;
}

// The data front to back once, from the first entry's bytes to the end of
// the last: gaps are skipped, and bytes that several entries name (entries
// may overlap, nest or share their bytes) go to each of them.
bool CPackageExtraction::StreamEntries(CExtractionSlabPool* pool, CEntryWriterThread* writers, uint32_t writerCount)
{
    m_slab = pool->Take();
    m_slabAt = 0;
    const auto endOf = [this](uint32_t index) { return m_entries[index].position + m_entries[index].item->size; };
    std::vector<uint32_t> reading;
    uint32_t next = 0;
    const uint32_t count = static_cast<uint32_t>(m_entries.size());
    bool sound = true;
    while (sound && (next < count || !reading.empty())) {
        if (reading.empty())
            sound = SkipTo(m_entries[next].position);
        for (; sound && next < count && m_entries[next].position == m_position; ++next) {
            if (m_entries[next].item->size != 0) {
                reading.push_back(next);
                continue;
            }
            tagExtractionPiece empty = PieceOf(next, m_position, m_position);
            PlacePiece(pool, 0, true, &empty);
            writers[next % writerCount].Push(empty);
        }
        if (!sound || reading.empty())
            continue;
        uint64_t end = next < count ? m_entries[next].position : UINT64_MAX;
        for (uint32_t index : reading)
            end = std::min(end, endOf(index));
        sound = StreamShared(reading, end, pool, writers, writerCount);
        reading.erase(std::remove_if(reading.begin(), reading.end(),
                                     [&](uint32_t index) { return endOf(index) == m_position; }),
                      reading.end());
    }
    pool->Release(m_slab);
    m_slab = nullptr;
    return sound && m_source->ReadRestAndCheck();
}

void CPackageExtraction::LogWrittenEntries(const wchar_t* label) const
{
    uint32_t written = 0;
    for (const tagExtractionEntry& entry : m_entries)
        written += entry.written ? 1 : 0;
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package %s is damaged: %u of %u entries were written before",
                                label, written, static_cast<uint32_t>(m_entries.size()));
    for (const tagExtractionEntry& entry : m_entries) {
        if (entry.written)
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Written before the damage: %s",
                                        LoggableText(entry.item->name).c_str());
    }
}

bool CPackageExtraction::Run(IPackageSource* source, const wchar_t* label)
{
    m_source = source;
    if (!ReadTable(label))
        return false;
    m_total->store(static_cast<uint32_t>(m_table.GetItemCount()));
    const bool allPlanned = PlanEntries();
    CExtractionSlabPool pool(m_slabCount, kSlabBytes);
    if (pool.GetSlabCount() < kLeastSlabCount) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR,
                                    L"Out of memory extracting %s: %u of the %u slabs of %u bytes it needs", label,
                                    pool.GetSlabCount(), kLeastSlabCount, kSlabBytes);
        return false;
    }
    CEntryWriterThread writers[kWriterCount] = {{&m_entries, &pool, m_done}, {&m_entries, &pool, m_done}};
    for (CEntryWriterThread& writer : writers)
        writer.Start();
    const bool sound = StreamEntries(&pool, writers, kWriterCount);
    bool allWritten = allPlanned && sound;
    for (CEntryWriterThread& writer : writers) {
        writer.Finish();
        allWritten = writer.AllWritten() && allWritten;
    }
    if (!sound)
        LogWrittenEntries(label);
    return allWritten;
}
