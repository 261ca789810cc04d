#include "installer/core/CInstallProgress.h"

#include "installer/core/CPackedFileReader_Stream.h"
#include "installer/core/EntryNameRules.h"

#include "engine/filesystem/CRawFile.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

using EngineStream = RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::CRawFile;
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

// The entry's bytes replace the file. Written through the engine's raw file
// without its warning box: a failed entry is logged, and a silent install
// must not stop on a box from the worker thread.
bool WriteEntryFile(const wchar_t* name, EngineStream* bytes)
{
    TIntrusivePointer<CRawFile> file(new CRawFile());
    if (!file->Open(name, false, false)) {
        LogEntryFailure(L"could not be opened for writing", name, GetLastError());
        return false;
    }
    if (!file->SetSize(0) || !file->Write(0, bytes->GetData(), static_cast<uint32_t>(bytes->GetSize()))) {
        const DWORD error = GetLastError();
        file->Close();
        LogEntryFailure(L"could not be written", name, error);
        return false;
    }
    return true;
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
    IVirtualFileSystem* fileSystem = IVirtualFileSystem_GetInstance();
    bool allWritten = true;
    for (int32_t i = 0; i < reader->GetItemCount(); ++i) {
        const wchar_t* name = reader->GetItemName(i);
        TIntrusivePointer<EngineStream> bytes;
        if (!IsSafeEntryName(name)) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry \"%s\" refused: not a plain relative name",
                                        name);
            allWritten = false;
        } else if ((bytes = reader->ReadItemByIndex(i)).IsNull()) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s could not be read", name);
            allWritten = false;
        } else {
            if (IsScrambledOnExtraction(name))
                bytes = fileSystem->ScrambleStream(bytes);
            allWritten = (bytes && WriteEntryFile(name, bytes.Get())) && allWritten;
        }
        m_done.fetch_add(1);
    }
    return allWritten;
}
