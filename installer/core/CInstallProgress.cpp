#include "installer/core/CInstallProgress.h"

#include "installer/core/CExtractedFileWriter.h"
#include "installer/core/CPackedFileReader_Stream.h"
#include "installer/core/EntryNameRules.h"
#include "installer/core/LogTextFunctions.h"

#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

#include <cstring>
#include <vector>

using EngineStream = RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

void LogEntryFailure(const wchar_t* what, const wchar_t* name, DWORD systemError)
{
    ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s %s (system error %lu)", name, what,
                                static_cast<unsigned long>(systemError));
}

constexpr uint8_t kRvefMagic[4] = {'R', 'V', 'E', 'F'};

// The bytes an entry is written as: its plain bytes, or their RVEF form for
// the scrambled types (unless they already are in that form).
void PrepareEntryBytes(const wchar_t* name, const uint8_t* stored, uint32_t size, std::vector<uint8_t>* out)
{
    IVirtualFileSystem* fileSystem = IVirtualFileSystem_GetInstance();
    const bool scramble = IsScrambledOnExtraction(name);
    const size_t head = scramble ? sizeof kRvefMagic : 0;
    out->resize(head + size);
    uint8_t* plain = out->data() + head;
    std::memcpy(plain, stored, size);
    fileSystem->UnscrambleBuffer(plain, static_cast<int32_t>(size));
    if (!scramble)
        return;
    if (size >= sizeof kRvefMagic && std::memcmp(plain, kRvefMagic, sizeof kRvefMagic) == 0) {
        out->erase(out->begin(), out->begin() + head);
        return;
    }
    std::memcpy(out->data(), kRvefMagic, sizeof kRvefMagic);
    fileSystem->ScrambleBuffer(plain, static_cast<int32_t>(size));
}

} // namespace

CInstallProgress* CInstallProgress::GetInstance()
{
    static CInstallProgress instance;
    return &instance;
}

void CInstallProgress::Reset()
{
    m_done.store(0);
    m_total.store(0);
}

bool IsScrambledOnExtraction(const wchar_t* name)
{
    if (name == nullptr || CompareStringOrdinal(name, static_cast<int>(wcsnlen(name, 4)), L"Web/", 4, TRUE) == CSTR_EQUAL)
        return false;
    wchar_t extension[RVGameEngine::FileSystem::kPathPartBufferLength];
    if (!IVirtualFileSystem_GetInstance()->GetExtension(name, extension))
        return false;
    static const wchar_t* const kScrambledTypes[] = {L"PNG", L"JPG", L"BMP", L"XML", L"SW"};
    for (const wchar_t* type : kScrambledTypes) {
        if (CompareStringOrdinal(extension, -1, type, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

bool CInstallProgress::ExtractPackedArchive(TIntrusivePointer<EngineStream> stream)
{
    m_done.store(0);
    m_total.store(0);
    TIntrusivePointer<CPackedFileReader_Stream> reader(new CPackedFileReader_Stream());
    if (!reader->Open(stream))
        return false;
    m_total.store(static_cast<uint32_t>(reader->GetItemCount()));
    CExtractedFileWriter writer;
    // One entry's bytes as written, reused from entry to entry.
    std::vector<uint8_t> bytes;
    bool allWritten = true;
    for (int32_t i = 0; i < reader->GetItemCount(); ++i) {
        const wchar_t* name = reader->GetItemName(i);
        const uint8_t* stored = nullptr;
        uint32_t size = 0;
        DWORD error = ERROR_SUCCESS;
        if (!IsSafeEntryName(name)) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry \"%s\" refused: not a plain relative name",
                                        LoggableText(name).c_str());
            allWritten = false;
        } else if (!reader->GetStoredBytes(name, &stored, &size)) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s could not be read", name);
            allWritten = false;
        } else {
            // Of two entries with one name, the first one's bytes are written.
            PrepareEntryBytes(name, stored, size, &bytes);
            if (!writer.Write(name, bytes.data(), static_cast<uint32_t>(bytes.size()), &error)) {
                LogEntryFailure(L"could not be written", name, error);
                allWritten = false;
            }
        }
        m_done.fetch_add(1);
    }
    return allWritten;
}
