#include "bench/BenchPackage.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>

using RVGameEngine::Common::CScopedKernelHandle;

namespace Bench {

namespace {

constexpr int kFolderCount = 50;

void FillText(std::mt19937& random, std::vector<uint8_t>* bytes)
{
    static const char* const kWords[] = {"wendmoor", "table", "player", "raise", "fold", "call", "blind", "chip",
                                         "river", "turn", "flop", "hand", "seat", "pot", "\r\n", "<Card ",
                                         "Value=\"", "\"/>", "0", "1", "2", "3", "7", "9", "ace", "king"};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kWords / sizeof kWords[0]) - 1);
    size_t at = 0;
    while (at < bytes->size()) {
        const char* word = kWords[pick(random)];
        for (; *word != '\0' && at < bytes->size(); ++word)
            (*bytes)[at++] = static_cast<uint8_t>(*word);
        if (at < bytes->size())
            (*bytes)[at++] = ' ';
    }
}

void FillMedia(std::mt19937& random, std::vector<uint8_t>* bytes)
{
    for (size_t at = 0; at + 4 <= bytes->size(); at += 4) {
        const uint32_t value = random();
        std::memcpy(bytes->data() + at, &value, 4);
    }
}

// Mostly zero with short stretches of data, as sparse tables are.
void FillZeroRuns(std::mt19937& random, std::vector<uint8_t>* bytes)
{
    for (size_t at = 0; at < bytes->size(); at += 4096)
        for (size_t i = at; i < std::min(bytes->size(), at + 64); ++i)
            (*bytes)[i] = static_cast<uint8_t>(random());
}

void Put32(std::vector<uint8_t>* out, uint32_t value)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&value);
    out->insert(out->end(), bytes, bytes + 4);
}

// The archive's header and table in the form the packing tool writes.
std::vector<uint8_t> BuildTable(const std::vector<BenchEntry>& entries)
{
    std::vector<uint8_t> table = {'R', 'A', 'D', 'E'};
    Put32(&table, 1);
    Put32(&table, static_cast<uint32_t>(entries.size()));
    uint32_t offset = 0;
    for (const BenchEntry& entry : entries) {
        Put32(&table, offset);
        Put32(&table, entry.size);
        Put32(&table, static_cast<uint32_t>(entry.name.size()));
        const uint8_t* units = reinterpret_cast<const uint8_t*>(entry.name.data());
        table.insert(table.end(), units, units + entry.name.size() * 2);
        offset += entry.size;
    }
    return table;
}

// Deflates what it is given into the blob file, behind the size field.
class CBlobWriter
{
public:
    CBlobWriter(const std::wstring& path, uint32_t archiveSize)
        : m_file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)),
          m_out(1 << 20)
    {
        m_ok = m_file && deflateInit(&m_zlib, Z_DEFAULT_COMPRESSION) == Z_OK;
        m_started = m_ok;
        m_ok = m_ok && Flush(&archiveSize, 4);
    }
    ~CBlobWriter()
    {
        if (m_started)
            deflateEnd(&m_zlib);
    }
    bool Add(const uint8_t* bytes, size_t size) { return Deflate(bytes, size, Z_NO_FLUSH); }
    bool Finish() { return Deflate(nullptr, 0, Z_FINISH); }
    uint64_t Size() const { return m_written; }

private:
    bool Flush(const void* bytes, DWORD size)
    {
        DWORD written = 0;
        m_written += size;
        return size == 0 || (WriteFile(m_file.Get(), bytes, size, &written, nullptr) && written == size);
    }
    bool Deflate(const uint8_t* bytes, size_t size, int flush)
    {
        m_zlib.next_in = const_cast<Bytef*>(bytes);
        m_zlib.avail_in = static_cast<uInt>(size);
        int result = Z_OK;
        do {
            m_zlib.next_out = m_out.data();
            m_zlib.avail_out = static_cast<uInt>(m_out.size());
            result = deflate(&m_zlib, flush);
            m_ok = m_ok && result != Z_STREAM_ERROR &&
                   Flush(m_out.data(), static_cast<DWORD>(m_out.size() - m_zlib.avail_out));
        } while (m_ok && (m_zlib.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END)));
        return m_ok;
    }

    CScopedKernelHandle m_file;
    z_stream m_zlib{};
    std::vector<uint8_t> m_out;
    bool m_ok = false;
    bool m_started = false;
    uint64_t m_written = 0;
};

} // namespace

std::vector<BenchEntry> MakeEntries(int fileCount)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<uint32_t> smallSize(512, 60 * 1024);
    std::uniform_int_distribution<uint32_t> largeSize(1536 * 1024, 3584 * 1024);
    static const wchar_t* const kTextTypes[] = {L"xml", L"txt", L"ini", L"lua"};
    static const wchar_t* const kMediaTypes[] = {L"png", L"jpg", L"ogg", L"sw"};
    std::vector<BenchEntry> entries(fileCount);
    for (int i = 0; i < fileCount; ++i) {
        BenchEntry& entry = entries[i];
        entry.kind = i % 5;
        entry.size = i % 250 == 7 ? largeSize(random) : smallSize(random);
        const wchar_t* type = L"dat";
        if (entry.kind < 2)
            type = kTextTypes[i % 4];
        else if (entry.kind < 4)
            type = kMediaTypes[i % 4];
        wchar_t name[96];
        swprintf(name, 96, L"%lsData/Folder%02d/file%05d.%ls", i % 17 == 3 ? L"Web/" : L"", i % kFolderCount, i,
                 type);
        entry.name = name;
    }
    return entries;
}

void FillEntry(const BenchEntry& entry, uint32_t index, std::vector<uint8_t>* bytes)
{
    std::mt19937 random(20261207u + index);
    bytes->assign(entry.size, 0);
    if (entry.kind < 2)
        FillText(random, bytes);
    else if (entry.kind < 4)
        FillMedia(random, bytes);
    else
        FillZeroRuns(random, bytes);
}

bool WriteBlob(const std::vector<BenchEntry>& entries, const std::wstring& path, uint64_t* archiveSize,
               uint64_t* blobSize)
{
    const std::vector<uint8_t> table = BuildTable(entries);
    uint64_t size = table.size();
    for (const BenchEntry& entry : entries)
        size += entry.size;
    *archiveSize = size;
    CBlobWriter blob(path, static_cast<uint32_t>(size));
    bool ok = blob.Add(table.data(), table.size());
    std::vector<uint8_t> bytes;
    for (uint32_t i = 0; ok && i < entries.size(); ++i) {
        FillEntry(entries[i], i, &bytes);
        RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->ScrambleBuffer(
            bytes.data(), static_cast<int32_t>(bytes.size()));
        ok = blob.Add(bytes.data(), bytes.size());
    }
    ok = ok && blob.Finish();
    *blobSize = blob.Size();
    return ok;
}


void MakeEntryFolders(const std::wstring& root, const std::wstring& name, std::set<std::wstring>* made)
{
    for (size_t slash = name.find(L'/'); slash != std::wstring::npos; slash = name.find(L'/', slash + 1)) {
        const std::wstring folder = root + name.substr(0, slash);
        if (made->insert(folder).second)
            CreateDirectoryW(folder.c_str(), nullptr);
    }
}

bool WriteWhole(const std::wstring& path, const void* bytes, size_t size)
{
    const CScopedKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return size == 0 ||
           (WriteFile(file.Get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
}

bool WriteFolder(const std::vector<BenchEntry>& entries, const std::wstring& folder)
{
    const std::wstring root = folder + L"/";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::set<std::wstring> made;
    std::vector<uint8_t> bytes;
    for (uint32_t i = 0; i < entries.size(); ++i) {
        MakeEntryFolders(root, entries[i].name, &made);
        FillEntry(entries[i], i, &bytes);
        if (!WriteWhole(root + entries[i].name, bytes.data(), bytes.size()))
            return false;
    }
    return true;
}

} // namespace Bench
