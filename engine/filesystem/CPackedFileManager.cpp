#include "engine/filesystem/CPackedFileManager.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <utility>

namespace RVGameEngine {
namespace FileSystem {

using Common::CAutoLock;
using Common::IStream;
using Common::TIntrusivePointer;

std::wstring CPackedFileManager::PrepareName(const wchar_t* name)
{
    std::wstring text = name != nullptr ? name : L"";
    if (text.size() >= 2 && text[0] == L'.' && (text[1] == L'/' || text[1] == L'\\'))
        text.erase(0, 2);
    return IVirtualFileSystem_GetInstance()->ReplaceFilename(text.c_str())->GetUtf16();
}

bool CPackedFileManager::Mount(const wchar_t* archivePath)
{
    TIntrusivePointer<IPackedFileReader> reader(IPackedFileReader_Create());
    if (reader.IsNull() || !reader->Open(archivePath))
        return false;
    return MountReader(std::move(reader));
}

bool CPackedFileManager::MountReader(TIntrusivePointer<IPackedFileReader> reader)
{
    if (reader.IsNull())
        return false;
    CAutoLock guard(&m_lock);
    m_readers.push_back(std::move(reader));
    return true;
}

std::vector<TIntrusivePointer<IPackedFileReader>> CPackedFileManager::Readers()
{
    CAutoLock guard(&m_lock);
    return m_readers;
}

bool CPackedFileManager::FileExists(const wchar_t* name)
{
    const std::wstring prepared = PrepareName(name);
    for (const TIntrusivePointer<IPackedFileReader>& reader : Readers()) {
        if (reader->FileExists(prepared.c_str()))
            return true;
    }
    return false;
}

// Nothing here holds the lock: reads from several archives (or of several
// entries of one) go on at once, and a log handler called from a failing
// read may read files itself.
TIntrusivePointer<IStream> CPackedFileManager::ReadFile(const wchar_t* name)
{
    if (GetReaderCount() == 0)
        return {};
    const std::wstring prepared = PrepareName(name);
    for (const TIntrusivePointer<IPackedFileReader>& reader : Readers()) {
        if (reader->FileExists(prepared.c_str()))
            return reader->ReadFile(prepared.c_str());
    }
    return {};
}

int32_t CPackedFileManager::GetReaderCount()
{
    CAutoLock guard(&m_lock);
    return static_cast<int32_t>(m_readers.size());
}

TIntrusivePointer<IPackedFileReader> CPackedFileManager::GetReader(int32_t index)
{
    CAutoLock guard(&m_lock);
    if (index < 0 || static_cast<size_t>(index) >= m_readers.size())
        return {};
    return m_readers[static_cast<size_t>(index)];
}

void CPackedFileManager::UnmountAll()
{
    CAutoLock guard(&m_lock);
    m_readers.clear();
}

IPackedFileManager* IPackedFileManager_GetInstance()
{
    static CPackedFileManager instance;
    return &instance;
}

} // namespace FileSystem
} // namespace RVGameEngine
