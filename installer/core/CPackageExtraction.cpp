#include "installer/core/CPackageExtraction.h"

#include "installer/core/CEntryWriterThread.h"
#include "installer/core/CExtractionSlabPool.h"
#include "installer/core/EntryNameRules.h"
#include "installer/core/LogTextFunctions.h"
#include "installer/core/tagExtractionPiece.h"

#include "engine/filesystem/ILogFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;
using RVGameEngine::FileSystem::tagPackedFileItem;

namespace {

// 16 slabs of 2 MB: enough for the writers never to wait on the inflater's
// account, little beside the package itself.
constexpr uint32_t kSlabCount = 16;
constexpr uint32_t kSlabBytes = 2 * 1024 * 1024;
constexpr uint32_t kWriterCount = 2;
constexpr uint32_t kTableReadPiece = 64 * 1024;
constexpr uint32_t kSkipPiece = 64 * 1024;
// Pieces begin on this boundary, so that unscrambling runs word by word.
constexpr uint32_t kPieceAlignment = 8;
// The first piece holds at least this much of its entry: enough to tell
// whether its plain bytes already are in the RVEF form.
constexpr uint32_t kLeastFirstPiece = 4;

uint32_t AlignUp(uint32_t value)
{
    return (value + kPieceAlignment - 1) & ~(kPieceAlignment - 1);
}

} // namespace

CPackageExtraction::CPackageExtraction(std::atomic<uint32_t>* total, std::atomic<uint32_t>* done)
    : m_total(total), m_done(done)
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

// Which entries get written, in data order; the others are logged and
// counted done at once. False when any entry is not to be written.
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
            continue;
        }
        // A repeated name is written once, with its first entry's bytes.
        m_done->fetch_add(1);
    }
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const tagExtractionEntry& a, const tagExtractionEntry& b) { return a.position < b.position; });
    return allPlanned;
}

bool CPackageExtraction::RefuseOverlaps(const wchar_t* label) const
{
    uint64_t end = 0;
    for (const tagExtractionEntry& entry : m_entries) {
        if (entry.item->size == 0)
            continue;
        if (entry.position < end) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Archive refused: entries of %s overlap at %s", label,
                                        LoggableText(entry.item->name).c_str());
            return true;
        }
        end = entry.position + entry.item->size;
    }
    return false;
}

bool CPackageExtraction::StreamEntry(uint32_t index, CExtractionSlabPool* pool, CEntryWriterThread* writer)
{
    const tagExtractionEntry& entry = m_entries[index];
    const uint32_t headroom = tagExtractionPiece::kPieceHeadroom;
    uint32_t left = entry.item->size;
    bool first = true;
    do {
        const uint32_t least = first ? std::min(left, kLeastFirstPiece) : 1;
        uint32_t offset = AlignUp(m_slabAt + headroom);
        if (offset + least > pool->GetSlabBytes()) {
            pool->Release(m_slab);
            m_slab = pool->Take();
            m_slabAt = 0;
            offset = AlignUp(headroom);
        }
        tagExtractionPiece piece;
        piece.entry = index;
        piece.slab = m_slab;
        piece.offset = offset;
        piece.size = std::min(left, pool->GetSlabBytes() - offset);
        piece.first = first;
        piece.last = piece.size == left;
        if (!ReadData(piece.Bytes(), piece.size)) {
            if (!first) {
                tagExtractionPiece abandoned;
                abandoned.entry = index;
                abandoned.last = true;
                abandoned.abandoned = true;
                writer->Push(abandoned);
            }
            return false;
        }
        CExtractionSlabPool::AddUser(m_slab);
        writer->Push(piece);
        m_slabAt = offset + piece.size;
        left -= piece.size;
        first = false;
    } while (left > 0);
    return true;
}

bool CPackageExtraction::StreamEntries(CExtractionSlabPool* pool, CEntryWriterThread* writers, uint32_t writerCount)
{
    m_slab = pool->Take();
    if (m_slab == nullptr) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Out of memory extracting the package");
        return false;
    }
    m_slabAt = 0;
    bool sound = true;
    for (uint32_t i = 0; i < m_entries.size() && sound; ++i)
        sound = SkipTo(m_entries[i].position) && StreamEntry(i, pool, &writers[i % writerCount]);
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
    if (RefuseOverlaps(label)) {
        m_total->store(0);
        m_done->store(0);
        return false;
    }
    CExtractionSlabPool pool(kSlabCount, kSlabBytes);
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
