#include "engine/filesystem/CPackedFileReader.h"

#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace RVGameEngine {
namespace FileSystem {

using Common::IStream;
using Common::TIntrusivePointer;

namespace {

constexpr uint8_t kMagic[4] = {'R', 'A', 'D', 'E'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kHeaderSize = 12;
constexpr uint32_t kEntryFixedSize = 12;
constexpr uint64_t kLargestArchive = 0x7FFFFFFFu;

std::wstring Normalised(const wchar_t* name)
{
    std::wstring text = name;
    std::replace(text.begin(), text.end(), L'\\', L'/');
    return text;
}

// The key under which names are compared without regard to case.
std::wstring Folded(const std::wstring& name)
{
    std::wstring folded = name;
    if (!folded.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(), static_cast<int>(name.size()),
                      &folded[0], static_cast<int>(folded.size()), nullptr, nullptr, 0);
    return folded;
}

// Reads the table front to back through a buffer, never past the end of the
// file: a count or length that does not fit is caught before anything is
// allocated for it.
class CTableCursor
{
public:
    CTableCursor(CRawFile* file, uint64_t fileSize) : m_file(file), m_fileSize(fileSize) {}

    uint64_t Position() const { return m_position; }
    uint64_t Remaining() const { return m_fileSize - m_position; }

    bool Take(void* target, uint32_t count)
    {
        if (count > Remaining())
            return false;
        uint8_t* out = static_cast<uint8_t*>(target);
        while (count > 0) {
            if (m_bufferAt == m_buffer.size() && !Refill())
                return false;
            const uint32_t step = std::min<uint32_t>(count, static_cast<uint32_t>(m_buffer.size() - m_bufferAt));
            std::memcpy(out, m_buffer.data() + m_bufferAt, step);
            m_bufferAt += step;
            m_position += step;
            out += step;
            count -= step;
        }
        return true;
    }

    bool TakeUInt32(uint32_t* value) { return Take(value, sizeof *value); }

private:
    bool Refill()
    {
        const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(kChunk, Remaining()));
        m_buffer.resize(chunk);
        m_bufferAt = 0;
        return chunk > 0 && m_file->Read(m_position, m_buffer.data(), chunk);
    }

    static constexpr uint32_t kChunk = 64 * 1024;
    CRawFile* m_file;
    uint64_t m_fileSize;
    uint64_t m_position = 0;
    std::vector<uint8_t> m_buffer;
    size_t m_bufferAt = 0;
};

} // namespace

void CPackedFileReader::Drop()
{
    m_items.clear();
    m_index.clear();
    m_file.Reset();
    m_dataStart = 0;
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
    CTableCursor cursor(m_file.Get(), fileSize);
    uint8_t magic[4] = {};
    uint32_t version = 0;
    uint32_t count = 0;
    if (!cursor.Take(magic, 4) || std::memcmp(magic, kMagic, 4) != 0 || !cursor.TakeUInt32(&version) ||
        version != kVersion || !cursor.TakeUInt32(&count))
        return false;
    // Every entry takes at least its three fixed fields, so a count the file
    // cannot hold is refused before anything is reserved for it.
    if (count > cursor.Remaining() / kEntryFixedSize || count > kMaxPackedEntries) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s claims %u entries", archivePath, count);
        return false;
    }
    // Reserve only a little ahead: a count that passes the check above may
    // still be a lie about a large file.
    m_items.reserve(std::min<uint32_t>(count, 4096));
    for (uint32_t i = 0; i < count; ++i) {
        TIntrusivePointer<tagPackedFileItem> item(new tagPackedFileItem());
        uint32_t nameLength = 0;
        if (!cursor.TakeUInt32(&item->offset) || !cursor.TakeUInt32(&item->size) || !cursor.TakeUInt32(&nameLength)) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has a truncated table", archivePath);
            return false;
        }
        // An empty name would answer every name the replacement list refuses
        // (those come out empty).
        if (nameLength == 0 || nameLength > kMaxPackedNameLength) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has a name of %u units", archivePath, nameLength);
            return false;
        }
        std::wstring name(nameLength, L'\0');
        if (!cursor.Take(&name[0], nameLength * sizeof(wchar_t))) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has a truncated table", archivePath);
            return false;
        }
        item->name = Normalised(name.c_str());
        m_items.push_back(item);
    }
    const uint64_t dataStart = cursor.Position();
    for (const TIntrusivePointer<tagPackedFileItem>& item : m_items) {
        if (dataStart + item->offset + item->size > fileSize) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has entry %s outside the file", archivePath,
                          item->name.c_str());
            return false;
        }
    }
    m_dataStart = static_cast<uint32_t>(dataStart);
    for (size_t i = 0; i < m_items.size(); ++i)
        m_index.emplace(Folded(m_items[i]->name), i);
    return true;
}

tagPackedFileItem* CPackedFileReader::FindItem(const wchar_t* name)
{
    if (name == nullptr || m_items.empty())
        return nullptr;
    const auto found = m_index.find(Folded(Normalised(name)));
    return found == m_index.end() ? nullptr : m_items[found->second].Get();
}

bool CPackedFileReader::FileExists(const wchar_t* name)
{
    return FindItem(name) != nullptr;
}

TIntrusivePointer<IStream> CPackedFileReader::ReadFile(const wchar_t* name)
{
    const tagPackedFileItem* item = FindItem(name);
    if (item == nullptr)
        return {};
    TIntrusivePointer<IStream> stream(Common::IStream_Create(static_cast<int32_t>(item->size)));
    if (stream.IsNull()) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Out of memory reading %s (%u bytes) from an archive", item->name.c_str(),
                      item->size);
        return {};
    }
    if (!m_file->Read(static_cast<uint64_t>(m_dataStart) + item->offset, stream->GetData(), item->size)) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Failed to read %s from the archive %s", item->name.c_str(), m_file->GetName());
        return {};
    }
    IVirtualFileSystem_GetInstance()->UnscrambleBuffer(stream->GetData(), static_cast<int32_t>(item->size));
    return stream;
}

int32_t CPackedFileReader::GetItemCount()
{
    return static_cast<int32_t>(m_items.size());
}

const wchar_t* CPackedFileReader::GetItemName(int32_t index)
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)]->name.c_str();
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
