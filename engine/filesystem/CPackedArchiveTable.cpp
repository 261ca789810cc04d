#include "engine/filesystem/CPackedArchiveTable.h"

#include "engine/filesystem/FileSystemLog.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IPackedFileReader.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace RVGameEngine {
namespace FileSystem {

using Common::TIntrusivePointer;

namespace {

constexpr uint8_t kMagic[4] = {'R', 'A', 'D', 'E'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kEntryFixedSize = 12;

// The key under which names are compared without regard to case.
std::wstring Folded(const std::wstring& name)
{
    std::wstring folded = name;
    if (!folded.empty())
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(), static_cast<int>(name.size()),
                      &folded[0], static_cast<int>(folded.size()), nullptr, nullptr, 0);
    return folded;
}

// Takes the table front to back in chunks, never past the end of the source.
class CTableCursor
{
public:
    CTableCursor(const CPackedArchiveTable::ReadFunction& read, uint64_t sourceSize)
        : m_read(read), m_sourceSize(sourceSize)
    {
    }

    uint64_t Position() const { return m_position; }
    uint64_t Remaining() const { return m_sourceSize - m_position; }

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
        return chunk > 0 && m_read(m_position, m_buffer.data(), chunk);
    }

    static constexpr uint32_t kChunk = 64 * 1024;
    const CPackedArchiveTable::ReadFunction& m_read;
    uint64_t m_sourceSize;
    uint64_t m_position = 0;
    std::vector<uint8_t> m_buffer;
    size_t m_bufferAt = 0;
};

bool ReadEntries(CTableCursor& cursor, uint32_t count, const wchar_t* label,
                 std::vector<TIntrusivePointer<tagPackedFileItem>>* items)
{
    // Reserve only a little ahead: a count that passes the size check may
    // still be a lie about a large source.
    items->reserve(std::min<uint32_t>(count, 4096));
    for (uint32_t i = 0; i < count; ++i) {
        TIntrusivePointer<tagPackedFileItem> item(new tagPackedFileItem());
        uint32_t nameLength = 0;
        if (!cursor.TakeUInt32(&item->offset) || !cursor.TakeUInt32(&item->size) || !cursor.TakeUInt32(&nameLength)) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has a truncated table", label);
            return false;
        }
        if (nameLength > kMaxPackedNameLength) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has a name of %u units", label, nameLength);
            return false;
        }
        std::wstring name(nameLength, L'\0');
        if (nameLength > 0 && !cursor.Take(&name[0], nameLength * sizeof(wchar_t))) {
            FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s has a truncated table", label);
            return false;
        }
        item->name = CPackedArchiveTable::NormalizeName(name.c_str());
        items->push_back(item);
    }
    return true;
}

} // namespace

std::wstring CPackedArchiveTable::NormalizeName(const wchar_t* name)
{
    std::wstring text = name != nullptr ? name : L"";
    std::replace(text.begin(), text.end(), L'\\', L'/');
    return text;
}

void CPackedArchiveTable::Clear()
{
    m_items.clear();
    m_index.clear();
    m_dataStart = 0;
}

bool CPackedArchiveTable::Read(const ReadFunction& read, uint64_t sourceSize, const wchar_t* label)
{
    Clear();
    CTableCursor cursor(read, sourceSize);
    uint8_t magic[4] = {};
    uint32_t version = 0;
    uint32_t count = 0;
    if (!cursor.Take(magic, 4) || std::memcmp(magic, kMagic, 4) != 0 || !cursor.TakeUInt32(&version) ||
        version != kVersion || !cursor.TakeUInt32(&count)) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s is not an archive of version %u", label, kVersion);
        return false;
    }
    // Every entry takes at least its three fixed fields, so a count the
    // source cannot hold is refused before anything is reserved for it.
    if (count > cursor.Remaining() / kEntryFixedSize || count > kMaxPackedEntries) {
        FileSystemLog(LOG_LEVEL_ERROR, L"Archive refused: %s claims %u entries", label, count);
        return false;
    }
    if (!ReadEntries(cursor, count, label, &m_items)) {
        Clear();
        return false;
    }
    m_dataStart = static_cast<uint32_t>(cursor.Position());
    for (size_t i = 0; i < m_items.size(); ++i)
        m_index.emplace(Folded(m_items[i]->name), i);
    return true;
}

const wchar_t* CPackedArchiveTable::GetItemName(int32_t index) const
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)]->name.c_str();
}

tagPackedFileItem* CPackedArchiveTable::FindItem(const wchar_t* name) const
{
    if (name == nullptr || name[0] == L'\0')
        return nullptr;
    const auto found = m_index.find(Folded(NormalizeName(name)));
    return found == m_index.end() ? nullptr : m_items[found->second].Get();
}

} // namespace FileSystem
} // namespace RVGameEngine
