#include "installer/core/CPackedFileReader_Stream.h"

#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IPackedFileReader.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

using EngineStream = RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

namespace {

constexpr uint8_t kMagic[4] = {'R', 'A', 'D', 'E'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kEntryFixedSize = 12;

std::wstring Folded(const std::wstring& name)
{
    std::wstring folded = name;
    if (!folded.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(), static_cast<int>(name.size()),
                      &folded[0], static_cast<int>(folded.size()), nullptr, nullptr, 0);
    return folded;
}

// Walks the table in the stream's buffer, never past its end.
class CTableCursor
{
public:
    CTableCursor(const uint8_t* data, uint32_t size) : m_data(data), m_size(size) {}

    uint32_t Position() const { return m_position; }
    uint32_t Remaining() const { return m_size - m_position; }

    bool Take(void* target, uint32_t count)
    {
        if (count > Remaining())
            return false;
        std::memcpy(target, m_data + m_position, count);
        m_position += count;
        return true;
    }
    bool TakeUInt32(uint32_t* value) { return Take(value, sizeof *value); }

private:
    const uint8_t* m_data;
    uint32_t m_size;
    uint32_t m_position = 0;
};

} // namespace

std::wstring CPackedFileReader_Stream::NormalizeName(const wchar_t* name)
{
    std::wstring text = name != nullptr ? name : L"";
    std::replace(text.begin(), text.end(), L'\\', L'/');
    return text;
}

void CPackedFileReader_Stream::Drop()
{
    m_items.clear();
    m_index.clear();
    m_stream.Reset();
    m_dataStart = 0;
}

bool CPackedFileReader_Stream::Open(TIntrusivePointer<EngineStream> stream)
{
    Drop();
    if (stream.IsNull())
        return false;
    m_stream = stream;
    if (!ReadTable()) {
        Drop();
        return false;
    }
    m_stream->Seek(0);
    return true;
}

bool CPackedFileReader_Stream::ReadTable()
{
    CTableCursor cursor(m_stream->GetData(), static_cast<uint32_t>(m_stream->GetSize()));
    uint8_t magic[4] = {};
    uint32_t version = 0;
    uint32_t count = 0;
    if (!cursor.Take(magic, 4) || std::memcmp(magic, kMagic, 4) != 0 || !cursor.TakeUInt32(&version) ||
        version != kVersion || !cursor.TakeUInt32(&count)) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package refused: not an archive of version %u", kVersion);
        return false;
    }
    // Each entry takes at least its fixed fields: a count the stream cannot
    // hold is refused before anything is reserved for it.
    if (count > cursor.Remaining() / kEntryFixedSize || count > RVGameEngine::FileSystem::kMaxPackedEntries) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package refused: it claims %u entries", count);
        return false;
    }
    m_items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        TIntrusivePointer<Item> item(new Item());
        uint32_t nameLength = 0;
        if (!cursor.TakeUInt32(&item->offset) || !cursor.TakeUInt32(&item->size) || !cursor.TakeUInt32(&nameLength) ||
            nameLength > RVGameEngine::FileSystem::kMaxPackedNameLength) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package refused: entry %u of its table is damaged", i);
            return false;
        }
        std::wstring name(nameLength, L'\0');
        if (nameLength > 0 && !cursor.Take(&name[0], nameLength * sizeof(wchar_t))) {
            ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package refused: its table is cut short");
            return false;
        }
        item->name = NormalizeName(name.c_str());
        m_items.push_back(item);
    }
    m_dataStart = cursor.Position();
    for (size_t i = 0; i < m_items.size(); ++i)
        m_index.emplace(Folded(m_items[i]->name), i);
    return true;
}

int32_t CPackedFileReader_Stream::GetItemCount() const
{
    return static_cast<int32_t>(m_items.size());
}

const wchar_t* CPackedFileReader_Stream::GetItemName(int32_t index) const
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)]->name.c_str();
}

CPackedFileReader_Stream::Item* CPackedFileReader_Stream::FindItem(const wchar_t* name) const
{
    if (name == nullptr || name[0] == L'\0')
        return nullptr;
    const auto found = m_index.find(Folded(NormalizeName(name)));
    return found == m_index.end() ? nullptr : m_items[found->second].Get();
}

bool CPackedFileReader_Stream::GetStoredBytes(const wchar_t* name, const uint8_t** bytes, uint32_t* size) const
{
    const Item* item = FindItem(name);
    if (item == nullptr)
        return false;
    const uint64_t end = static_cast<uint64_t>(m_dataStart) + item->offset + item->size;
    if (end > static_cast<uint64_t>(m_stream->GetSize())) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s lies outside the package (%u bytes at %u)",
                                    item->name.c_str(), item->size, item->offset);
        return false;
    }
    *bytes = m_stream->GetData() + m_dataStart + item->offset;
    *size = item->size;
    return true;
}

TIntrusivePointer<EngineStream> CPackedFileReader_Stream::ReadItem(const wchar_t* name)
{
    const uint8_t* stored = nullptr;
    uint32_t size = 0;
    if (!GetStoredBytes(name, &stored, &size))
        return {};
    TIntrusivePointer<EngineStream> bytes(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(size)));
    if (bytes.IsNull()) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Out of memory reading package entry %s (%u bytes)", name, size);
        return {};
    }
    std::memcpy(bytes->GetData(), stored, size);
    RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->UnscrambleBuffer(bytes->GetData(),
                                                                                 static_cast<int32_t>(size));
    return bytes;
}

TIntrusivePointer<EngineStream> CPackedFileReader_Stream::ReadItemByIndex(int32_t index)
{
    const wchar_t* name = GetItemName(index);
    return name != nullptr ? ReadItem(name) : TIntrusivePointer<EngineStream>();
}
