#pragma once

#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <atomic>
#include <cstdint>

// Extracts a packed archive into the current directory and counts the
// entries done, for the progress display on the UI thread.
class CInstallProgress
{
public:
    static CInstallProgress* GetInstance();

    CInstallProgress() = default;
    CInstallProgress(const CInstallProgress&) = delete;
    CInstallProgress& operator=(const CInstallProgress&) = delete;

    // Writes every entry of the archive held in the stream as a file under
    // the current directory; files of the scrambled types outside "Web/" are
    // stored in the RVEF form. An entry counts done once it is written (a
    // repeated name with its first entry), so that the progress shows what
    // was written. False when the archive does not open or any entry was
    // refused (unsafe name), unreadable or could not be written; each such
    // entry is logged with its name (and the system error for a failed
    // write) and nothing else of it is written. Entries may share or overlap
    // their bytes; they are written in the order of their bytes.
    bool ExtractPackedArchive(RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IStream> stream);
    // The same for the archive inside a package blob, inflated piece by piece
    // while the files are written, so that it is never held whole. A blob
    // found damaged part-way fails the extraction; the entries written
    // before then stay, are listed in the log and counted done.
    bool ExtractPackage(const void* blob, uint32_t blobSize, const wchar_t* name);

    void Reset();
    uint32_t GetTotal() const { return m_total.load(); }
    // Never more than GetTotal() as seen after it.
    uint32_t GetCurrent() const { return m_done.load(); }

private:
    std::atomic<uint32_t> m_total{0};
    std::atomic<uint32_t> m_done{0};
};
