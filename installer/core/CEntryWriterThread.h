#pragma once

#include "installer/core/CExtractedFileWriter.h"
#include "installer/core/CExtractionSlabPool.h"
#include "installer/core/tagExtractionEntry.h"
#include "installer/core/tagExtractionPiece.h"

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <vector>

// Writes the entries handed to it, piece by piece in the order pushed, on a
// thread of its own: opens the file at an entry's first piece, turns the
// bytes into their written form in place (plain, or RVEF for the scrambled
// types), gives each slab back once written and counts the entry done at its
// last piece. A failed entry is logged with its name and system error and
// the rest of its pieces are dropped.
class CEntryWriterThread
{
public:
    CEntryWriterThread(std::vector<tagExtractionEntry>* entries, CExtractionSlabPool* pool,
                       std::atomic<uint32_t>* done);
    CEntryWriterThread(const CEntryWriterThread&) = delete;
    CEntryWriterThread& operator=(const CEntryWriterThread&) = delete;
    ~CEntryWriterThread();

    // Without a thread (it could not be made) pieces are written as pushed.
    void Start();
    void Push(const tagExtractionPiece& piece);
    // Writes what is queued, then ends the thread.
    void Finish();
    // Whether every entry pushed was written whole.
    bool AllWritten() const { return m_allWritten; }

private:
    enum enmEntryForm
    {
        ENTRY_FORM_PLAIN,      // unscrambled in place
        ENTRY_FORM_RVEF_HEAD,  // the stored bytes as they are, behind "RVEF"
    };

    static DWORD WINAPI ThreadMain(void* writer);
    void WriteQueued();
    bool TakeQueued(std::deque<tagExtractionPiece>* pieces);
    void WritePiece(const tagExtractionPiece& piece);
    void BeginEntry(const tagExtractionPiece& piece, const tagExtractionEntry& entry);
    void WriteBytes(const tagExtractionPiece& piece, const tagExtractionEntry& entry);
    void EndEntry(const tagExtractionPiece& piece, tagExtractionEntry* entry);
    static enmEntryForm FormOf(const tagExtractionPiece& firstPiece, const tagExtractionEntry& entry);

    std::vector<tagExtractionEntry>* m_entries;
    CExtractionSlabPool* m_pool;
    std::atomic<uint32_t>* m_done;
    CExtractedFileWriter m_writer;
    RVGameEngine::Common::CScopedKernelHandle m_thread;

    // A slim lock and condition variable: waking a writer is frequent, and
    // these cost no call into the system unless someone really waits.
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_arrived = CONDITION_VARIABLE_INIT;
    std::deque<tagExtractionPiece> m_queue;
    bool m_waiting = false;
    bool m_finishing = false;

    // The entry being written.
    RVGameEngine::Common::CScopedKernelHandle m_file;
    enmEntryForm m_form = ENTRY_FORM_PLAIN;
    bool m_entryFailed = false;
    bool m_allWritten = true;
};
