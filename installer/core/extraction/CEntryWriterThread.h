#pragma once

#include "installer/core/extraction/CExtractedFileWriter.h"
#include "installer/core/extraction/CExtractionSlabPool.h"
#include "installer/core/extraction/tagExtractionEntry.h"
#include "installer/core/extraction/tagExtractionPiece.h"

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <unordered_map>
#include <vector>

// Writes the entries handed to it, piece by piece in the order pushed, on a
// thread of its own: opens the file at an entry's first piece, turns the
// bytes into their written form in place (plain, or RVEF for the scrambled
// types), gives each slab back once written and counts the entry done when
// its last piece is written. Pieces of several entries may come interleaved
// (entries whose bytes overlap). A failed entry is logged with its name and
// system error, the rest of its pieces are dropped, and it is not counted.
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
        ENTRY_FORM_UNKNOWN,    // not before the entry's first four bytes are in
        ENTRY_FORM_PLAIN,      // unscrambled in place
        ENTRY_FORM_RVEF_HEAD,  // the stored bytes as they are, behind "RVEF"
    };
    static constexpr uint32_t kFormBytes = 4;

    // An entry being written.
    struct tagOpenEntry
    {
        RVGameEngine::Common::CScopedKernelHandle file;
        enmEntryForm form = ENTRY_FORM_UNKNOWN;
        bool failed = false;
        // Its first stored bytes while its form is unknown.
        uint8_t head[kFormBytes] = {};
        uint32_t headSize = 0;
    };

    static DWORD WINAPI ThreadMain(void* writer);
    void WriteQueued();
    bool TakeQueued(std::deque<tagExtractionPiece>* pieces);
    void WritePiece(const tagExtractionPiece& piece);
    void BeginEntry(const tagExtractionEntry& entry, tagOpenEntry* open);
    void WriteBytes(const tagExtractionPiece& piece, const tagExtractionEntry& entry, tagOpenEntry* open);
    bool WriteHeadOnce(const tagExtractionEntry& entry, tagOpenEntry* open);
    void EndEntry(const tagExtractionPiece& piece, tagExtractionEntry* entry, tagOpenEntry* open);
    bool Append(const tagExtractionEntry& entry, tagOpenEntry* open, const uint8_t* bytes, uint32_t size);
    static enmEntryForm FormOf(const uint8_t* head, uint32_t size, const tagExtractionEntry& entry);

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

    // The entries being written, by their index.
    std::unordered_map<uint32_t, tagOpenEntry> m_open;
    bool m_allWritten = true;
};
