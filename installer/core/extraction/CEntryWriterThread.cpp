#include "installer/core/extraction/CEntryWriterThread.h"

#include "installer/core/rules/EntryNameRules.h"

#include "engine/filesystem/CCheckedFileWriter.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <algorithm>
#include <cstring>

using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr uint8_t kRvefMagic[4] = {'R', 'V', 'E', 'F'};

} // namespace

CEntryWriterThread::CEntryWriterThread(std::vector<tagExtractionEntry>* entries, CExtractionSlabPool* pool,
                                       std::atomic<uint32_t>* done)
    : m_entries(entries), m_pool(pool), m_done(done)
{
}

CEntryWriterThread::~CEntryWriterThread()
{
    Finish();
}

void CEntryWriterThread::Start()
{
    m_thread.Reset(CreateThread(nullptr, 0, &CEntryWriterThread::ThreadMain, this, 0, nullptr));
}

DWORD WINAPI CEntryWriterThread::ThreadMain(void* writer)
{
    static_cast<CEntryWriterThread*>(writer)->WriteQueued();
    return 0;
}

void CEntryWriterThread::Push(const tagExtractionPiece& piece)
{
    if (!m_thread) {
        WritePiece(piece);
        return;
    }
    AcquireSRWLockExclusive(&m_lock);
    m_queue.push_back(piece);
    const bool wake = m_waiting;
    ReleaseSRWLockExclusive(&m_lock);
    if (wake)
        WakeConditionVariable(&m_arrived);
}

void CEntryWriterThread::Finish()
{
    if (!m_thread)
        return;
    AcquireSRWLockExclusive(&m_lock);
    m_finishing = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeConditionVariable(&m_arrived);
    WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Close();
}

// Everything queued so far, at once; false when there is nothing and no
// more will come.
bool CEntryWriterThread::TakeQueued(std::deque<tagExtractionPiece>* pieces)
{
    AcquireSRWLockExclusive(&m_lock);
    while (m_queue.empty() && !m_finishing) {
        m_waiting = true;
        SleepConditionVariableSRW(&m_arrived, &m_lock, INFINITE, 0);
        m_waiting = false;
    }
    pieces->swap(m_queue);
    ReleaseSRWLockExclusive(&m_lock);
    return !pieces->empty();
}

void CEntryWriterThread::WriteQueued()
{
    std::deque<tagExtractionPiece> pieces;
    while (TakeQueued(&pieces)) {
        for (const tagExtractionPiece& piece : pieces)
            WritePiece(piece);
        pieces.clear();
    }
}

void CEntryWriterThread::WritePiece(const tagExtractionPiece& piece)
{
    tagExtractionEntry* entry = &(*m_entries)[piece.entry];
    if (piece.first)
        BeginEntry(*entry, &m_open[piece.entry]);
    const auto open = m_open.find(piece.entry);
    if (open != m_open.end() && !open->second.failed && !piece.abandoned)
        WriteBytes(piece, *entry, &open->second);
    if (piece.slab != nullptr)
        m_pool->Release(piece.slab);
    if (open != m_open.end() && piece.last)
        EndEntry(piece, entry, &open->second);
}

// Scrambling is its own inverse, so a scrambled type's stored bytes already
// are its RVEF content; only when the plain bytes are in the RVEF form
// themselves are they written plain, as they stand.
CEntryWriterThread::enmEntryForm CEntryWriterThread::FormOf(const uint8_t* head, uint32_t size,
                                                           const tagExtractionEntry& entry)
{
    if (!IsScrambledOnExtraction(entry.item->name.c_str()))
        return ENTRY_FORM_PLAIN;
    if (size < sizeof kRvefMagic)
        return ENTRY_FORM_RVEF_HEAD;
    uint8_t plain[sizeof kRvefMagic];
    std::memcpy(plain, head, sizeof plain);
    IVirtualFileSystem_GetInstance()->UnscrambleBuffer(plain, sizeof plain);
    return std::memcmp(plain, kRvefMagic, sizeof plain) == 0 ? ENTRY_FORM_PLAIN : ENTRY_FORM_RVEF_HEAD;
}

void CEntryWriterThread::BeginEntry(const tagExtractionEntry& entry, tagOpenEntry* open)
{
    open->form = IsScrambledOnExtraction(entry.item->name.c_str()) ? ENTRY_FORM_UNKNOWN : ENTRY_FORM_PLAIN;
    DWORD error = ERROR_SUCCESS;
    open->file.Reset(m_writer.Open(entry.item->name.c_str(), &error));
    if (!open->file) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s could not be written (system error %lu)",
                                    entry.item->name.c_str(), static_cast<unsigned long>(error));
        open->failed = true;
    }
}

bool CEntryWriterThread::Append(const tagExtractionEntry& entry, tagOpenEntry* open, const uint8_t* bytes,
                                uint32_t size)
{
    DWORD error = ERROR_SUCCESS;
    if (size == 0 || RVGameEngine::FileSystem::CCheckedFileWriter::Append(open->file.Get(), bytes, size, &error))
        return true;
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s could not be written (system error %lu)",
                                entry.item->name.c_str(), static_cast<unsigned long>(error));
    open->failed = true;
    open->file.Close();
    return false;
}

// The entry's first bytes, gathered while its form was unknown.
bool CEntryWriterThread::WriteHeadOnce(const tagExtractionEntry& entry, tagOpenEntry* open)
{
    open->form = FormOf(open->head, open->headSize, entry);
    uint8_t bytes[sizeof kRvefMagic + kFormBytes];
    uint32_t size = 0;
    if (open->form == ENTRY_FORM_RVEF_HEAD) {
        std::memcpy(bytes, kRvefMagic, sizeof kRvefMagic);
        size = sizeof kRvefMagic;
    }
    std::memcpy(bytes + size, open->head, open->headSize);
    if (open->form == ENTRY_FORM_PLAIN)
        IVirtualFileSystem_GetInstance()->UnscrambleBuffer(bytes, static_cast<int32_t>(open->headSize));
    return Append(entry, open, bytes, size + open->headSize);
}

void CEntryWriterThread::WriteBytes(const tagExtractionPiece& piece, const tagExtractionEntry& entry,
                                    tagOpenEntry* open)
{
    uint8_t* bytes = piece.Bytes();
    uint32_t size = piece.size;
    if (open->form == ENTRY_FORM_UNKNOWN && piece.first && size >= kFormBytes) {
        // The usual case: the header goes into the room left before the piece.
        open->form = FormOf(bytes, size, entry);
        if (open->form == ENTRY_FORM_RVEF_HEAD) {
            bytes -= sizeof kRvefMagic;
            std::memcpy(bytes, kRvefMagic, sizeof kRvefMagic);
            Append(entry, open, bytes, size + sizeof kRvefMagic);
            return;
        }
    } else if (open->form == ENTRY_FORM_UNKNOWN) {
        const uint32_t taken = std::min(size, kFormBytes - open->headSize);
        std::memcpy(open->head + open->headSize, bytes, taken);
        open->headSize += taken;
        bytes += taken;
        size -= taken;
        if (open->headSize < kFormBytes || !WriteHeadOnce(entry, open))
            return;
    }
    if (open->form == ENTRY_FORM_PLAIN)
        IVirtualFileSystem_GetInstance()->UnscrambleBuffer(bytes, static_cast<int32_t>(size));
    Append(entry, open, bytes, size);
}

void CEntryWriterThread::EndEntry(const tagExtractionPiece& piece, tagExtractionEntry* entry, tagOpenEntry* open)
{
    // An entry shorter than its form's mark.
    if (open->form == ENTRY_FORM_UNKNOWN && !open->failed && !piece.abandoned)
        WriteHeadOnce(*entry, open);
    open->file.Close();
    if (piece.abandoned && !open->failed)
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s is incomplete: the package is damaged",
                                    entry->item->name.c_str());
    entry->written = !open->failed && !piece.abandoned;
    m_allWritten = m_allWritten && entry->written;
    // The progress shows what was written: a failed entry is not done.
    if (entry->written)
        m_done->fetch_add(1);
    m_open.erase(piece.entry);
}
