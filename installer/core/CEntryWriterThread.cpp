#include "installer/core/CEntryWriterThread.h"

#include "installer/core/CInstallProgress.h"

#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

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
        BeginEntry(piece, *entry);
    if (!m_entryFailed && !piece.abandoned)
        WriteBytes(piece, *entry);
    if (piece.slab != nullptr)
        m_pool->Release(piece.slab);
    if (piece.last)
        EndEntry(piece, entry);
}

// Scrambling is its own inverse, so a scrambled type's stored bytes already
// are its RVEF content; only when the plain bytes are in the RVEF form
// themselves are they written plain, as they stand.
CEntryWriterThread::enmEntryForm CEntryWriterThread::FormOf(const tagExtractionPiece& firstPiece,
                                                           const tagExtractionEntry& entry)
{
    if (!IsScrambledOnExtraction(entry.item->name.c_str()))
        return ENTRY_FORM_PLAIN;
    if (firstPiece.size < sizeof kRvefMagic)
        return ENTRY_FORM_RVEF_HEAD;
    uint8_t head[sizeof kRvefMagic];
    std::memcpy(head, firstPiece.Bytes(), sizeof head);
    IVirtualFileSystem_GetInstance()->UnscrambleBuffer(head, sizeof head);
    return std::memcmp(head, kRvefMagic, sizeof head) == 0 ? ENTRY_FORM_PLAIN : ENTRY_FORM_RVEF_HEAD;
}

void CEntryWriterThread::BeginEntry(const tagExtractionPiece& piece, const tagExtractionEntry& entry)
{
    m_entryFailed = false;
    m_form = FormOf(piece, entry);
    DWORD error = ERROR_SUCCESS;
    m_file.Reset(m_writer.Open(entry.item->name.c_str(), &error));
    if (!m_file) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s could not be written (system error %lu)",
                                    entry.item->name.c_str(), static_cast<unsigned long>(error));
        m_entryFailed = true;
    }
}

void CEntryWriterThread::WriteBytes(const tagExtractionPiece& piece, const tagExtractionEntry& entry)
{
    uint8_t* bytes = piece.Bytes();
    uint32_t size = piece.size;
    if (m_form == ENTRY_FORM_PLAIN) {
        IVirtualFileSystem_GetInstance()->UnscrambleBuffer(bytes, static_cast<int32_t>(size));
    } else if (piece.first) {
        bytes -= sizeof kRvefMagic;
        std::memcpy(bytes, kRvefMagic, sizeof kRvefMagic);
        size += sizeof kRvefMagic;
    }
    DWORD error = ERROR_SUCCESS;
    if (size > 0 && !CExtractedFileWriter::Append(m_file.Get(), bytes, size, &error)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s could not be written (system error %lu)",
                                    entry.item->name.c_str(), static_cast<unsigned long>(error));
        m_entryFailed = true;
        m_file.Close();
    }
}

void CEntryWriterThread::EndEntry(const tagExtractionPiece& piece, tagExtractionEntry* entry)
{
    m_file.Close();
    if (piece.abandoned && !m_entryFailed)
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s is incomplete: the package is damaged",
                                    entry->item->name.c_str());
    entry->written = !m_entryFailed && !piece.abandoned;
    m_allWritten = m_allWritten && entry->written;
    // An entry that failed is done all the same; one the damage cut off is not.
    if (!piece.abandoned)
        m_done->fetch_add(1);
}
