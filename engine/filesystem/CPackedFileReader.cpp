#include "engine/filesystem/CPackedFileReader.h"

#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <shlwapi.h>

#include <new>

namespace RVGameEngine {
namespace FileSystem {

using Common::IStream;
using Common::TIntrusivePointer;

namespace {

constexpr uint64_t kLargestArchive = 0x7FFFFFFFu;

} // namespace

void CPackedFileReader::Drop()
{
    m_table.Clear();
    m_file.Reset();
}

bool CPackedFileReader::Open(const wchar_t* archivePath)
{
    Drop();
    if (archivePath == nullptr || !PathFileExistsW(archivePath))
        return false;
    if (!ReadTable(archivePath)) {
        Drop();
        return false;
    }
    return true;
}

bool CPackedFileReader::ReadTable(const wchar_t* archivePath)
{
    m_file = TIntrusivePointer<CRawFile>(new CRawFile());
    if (!m_file->Open(archivePath, true, false))
        return false;
    const uint64_t fileSize = m_file->GetFileSize();
    if (fileSize > kLargestArchive) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s is 2 GiB or larger", archivePath);
        return false;
    }
    CRawFile* file = m_file.Get();
    const auto read = [file](uint64_t position, void* target, uint32_t count) {
        return file->Read(position, target, count);
    };
    if (!m_table.Read(read, fileSize, archivePath))
        return false;
    for (const TIntrusivePointer<tagPackedFileItem>& item : m_table.GetItems()) {
        // An empty name would answer every name the replacement list refuses
        // (those come out empty).
        if (item->name.empty()) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has an entry without a name", archivePath);
            return false;
        }
        if (!m_table.LiesWithin(*item, fileSize)) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has entry %s outside the file", archivePath,
                          item->name.c_str());
            return false;
        }
    }
    return true;
}

bool CPackedFileReader::FileExists(const wchar_t* name)
{
    return m_table.FindItem(name) != nullptr;
}

TIntrusivePointer<IStream> CPackedFileReader::ReadFile(const wchar_t* name)
{
    const tagPackedFileItem* item = m_table.FindItem(name);
    if (item == nullptr)
        return {};
    TIntrusivePointer<IStream> stream(Common::IStream_Create(static_cast<int32_t>(item->size)));
    if (stream.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory reading %s (%u bytes) from an archive", item->name.c_str(),
                      item->size);
        return {};
    }
    if (!m_file->Read(m_table.GetDataPosition(*item), stream->GetData(), item->size)) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Failed to read %s from the archive %s", item->name.c_str(), m_file->GetName());
        return {};
    }
    IVirtualFileSystem_GetInstance()->UnscrambleBuffer(stream->GetData(), static_cast<int32_t>(item->size));
    return stream;
}

int32_t CPackedFileReader::GetItemCount()
{
    return m_table.GetItemCount();
}

const wchar_t* CPackedFileReader::GetItemName(int32_t index)
{
    return m_table.GetItemName(index);
}

TIntrusivePointer<IStream> CPackedFileReader::ReadItem(int32_t index)
{
    const wchar_t* name = GetItemName(index);
    return name != nullptr ? ReadFile(name) : TIntrusivePointer<IStream>();
}

IPackedFileReader* IPackedFileReader_Create()
{
    return new (std::nothrow) CPackedFileReader();
}

} // namespace FileSystem
} // namespace RVGameEngine
