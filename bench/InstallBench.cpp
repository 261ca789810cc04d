// Installs a generated game package of about 200 MB in about 5,000 files of
// mixed compressibility (text, already-compressed media, zero runs) into a
// fresh folder through the installer's extraction path (the blob inflated
// while the files are written), and, as a baseline, inflates the same blob
// with zlib in one call and writes the same entries with plain
// CreateFileW/WriteFile. Each run happens in a child process of its own so
// that its peak working set is its own. Prints the best of three wall times,
// MB/s, peak working sets and the ratio.
//
// With --scale N the package has N times the files (N = 5: about 1 GB); the
// package is then made in a stream, and only our path runs (the baseline
// cannot hold such an archive in a 32-bit process).
//
//   rv_bench_install [--scale N] [work folder]   (default: a new folder under %TEMP%)
//   rv_bench_install --run ours|baseline BLOB FOLDER     (one child run)
//
// bench/run_pinned.sh runs it as it comes and pinned to one processor.

#include "bench/BenchClock.h"
#include "installer/core/CInstallProgress.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

using RVGameEngine::Common::CScopedKernelHandle;

namespace {

constexpr int kFileCount = 5000;
constexpr int kFolderCount = 50;
constexpr int kRounds = 3;
constexpr double kMB = 1048576.0;

double PeakWorkingSetMB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / kMB;
}

// ------------------------------------------------------------ the package

struct BenchEntry
{
    std::wstring name;
    uint32_t size = 0;
    int kind = 0;
};

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

// One entry's bytes, the same every time (each entry has a generator of its own).
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

// The package blob, made entry by entry so that no archive is held whole.
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

// The baseline's plain write: one call, straight from the archive's bytes.
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

// ------------------------------------------------------------ one child run

bool RunOurs(const std::string& blob)
{
    return CInstallProgress::GetInstance()->ExtractPackage(blob.data(), static_cast<uint32_t>(blob.size()), L"bench");
}

uint32_t Get32(const uint8_t* at)
{
    uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

// zlib in one call, then every entry's bytes as they stand, in plain files.
bool RunBaseline(const std::string& blob)
{
    const uint8_t* blobBytes = reinterpret_cast<const uint8_t*>(blob.data());
    uLongf size = Get32(blobBytes);
    std::vector<uint8_t> archive(size);
    if (uncompress(archive.data(), &size, blobBytes + 4, static_cast<uLong>(blob.size() - 4)) != Z_OK)
        return false;
    const uint32_t count = Get32(archive.data() + 8);
    struct Entry { uint32_t offset, size; std::wstring name; };
    std::vector<Entry> entries(count);
    size_t at = 12;
    for (Entry& entry : entries) {
        entry.offset = Get32(&archive[at]);
        entry.size = Get32(&archive[at + 4]);
        const uint32_t units = Get32(&archive[at + 8]);
        entry.name.assign(reinterpret_cast<const wchar_t*>(&archive[at + 12]), units);
        at += 12 + units * 2;
    }
    std::set<std::wstring> folders;
    for (const Entry& entry : entries) {
        for (size_t slash = entry.name.find(L'/'); slash != std::wstring::npos;
             slash = entry.name.find(L'/', slash + 1)) {
            const std::wstring folder = entry.name.substr(0, slash);
            if (folders.insert(folder).second)
                CreateDirectoryW(folder.c_str(), nullptr);
        }
        if (!WriteWhole(entry.name, &archive[at + entry.offset], entry.size))
            return false;
    }
    return true;
}

int ChildRun(const std::wstring& kind, const std::wstring& blobPath, const std::wstring& folder)
{
    const std::string blob = RVTest::ReadWholeFile(blobPath);
    CreateDirectoryW(folder.c_str(), nullptr);
    SetCurrentDirectoryW(folder.c_str());
    const double start = Bench::NowMs();
    const bool done = kind == L"ours" ? RunOurs(blob) : RunBaseline(blob);
    const double elapsed = Bench::NowMs() - start;
    std::printf("%.3f %.3f\n", elapsed, PeakWorkingSetMB());
    return done ? 0 : 1;
}

// ------------------------------------------------------------ the parent

struct RunResult
{
    double milliseconds = 0;
    double peakMB = 0;
};

bool StartChild(const std::wstring& kind, const std::wstring& blobPath, const std::wstring& folder, RunResult* result)
{
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring commandLine =
        L"\"" + std::wstring(program) + L"\" --run " + kind + L" \"" + blobPath + L"\" \"" + folder + L"\"";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    CScopedKernelHandle readEnd;
    CScopedKernelHandle writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0))
        return false;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    const bool started =
        CreateProcessW(program, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
    const CScopedKernelHandle process(started ? child.hProcess : nullptr);
    const CScopedKernelHandle thread(started ? child.hThread : nullptr);
    // Only the child may hold the write end now, so its exit ends the reads.
    writeEnd.Close();
    if (!started)
        return false;
    std::string output;
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        output.append(buffer, read);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode == 0 && std::sscanf(output.c_str(), "%lf %lf", &result->milliseconds, &result->peakMB) == 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 5 && std::wstring(argv[1]) == L"--run")
        return ChildRun(argv[2], argv[3], argv[4]);

    int scale = 1;
    int next = 1;
    if (argc > 2 && std::wstring(argv[1]) == L"--scale") {
        scale = std::max(1, _wtoi(argv[2]));
        next = 3;
    }
    const RVTest::TempFolder ownFolder;
    const std::wstring work = argc > next ? argv[next] : ownFolder.Path();
    const std::vector<BenchEntry> entries = MakeEntries(kFileCount * scale);
    uint64_t total = 0;
    uint32_t largest = 0;
    for (const BenchEntry& entry : entries) {
        total += entry.size;
        largest = std::max(largest, entry.size);
    }
    const std::wstring blobPath = work + L"\\package.blob";
    uint64_t archiveSize = 0;
    uint64_t blobSize = 0;
    if (!WriteBlob(entries, blobPath, &archiveSize, &blobSize)) {
        std::fprintf(stderr, "cannot make the package\n");
        return 1;
    }
    std::printf("%d files, %.1f MB of data, archive %.1f MB, blob %.1f MB, largest entry %.1f MB\n",
                static_cast<int>(entries.size()), total / kMB, archiveSize / kMB, blobSize / kMB, largest / kMB);

    // The baseline holds the whole archive: only the standard package fits.
    const int kindCount = scale == 1 ? 2 : 1;
    const int rounds = scale == 1 ? kRounds : 1;
    RunResult best[2];
    const wchar_t* const kinds[2] = {L"ours", L"baseline"};
    for (int round = 0; round < rounds; ++round) {
        // Alternating which goes first, so neither always meets a cold cache.
        for (int step = 0; step < kindCount; ++step) {
            const int k = (round + step) % kindCount;
            const std::wstring folder = work + L"\\install_" + kinds[k];
            RunResult run;
            if (!StartChild(kinds[k], blobPath, folder, &run)) {
                std::fprintf(stderr, "the %ls run failed\n", kinds[k]);
                RVTest::RemoveTree(folder);
                DeleteFileW(blobPath.c_str());
                return 1;
            }
            RVTest::RemoveTree(folder);
            if (round == 0 || run.milliseconds < best[k].milliseconds)
                best[k].milliseconds = run.milliseconds;
            best[k].peakMB = std::max(best[k].peakMB, run.peakMB);
        }
    }
    DeleteFileW(blobPath.c_str());
    for (int k = 0; k < kindCount; ++k)
        std::printf("%-9ls %8.1f ms  %7.1f MB/s  peak working set %7.1f MB\n", kinds[k], best[k].milliseconds,
                    total / kMB / (best[k].milliseconds / 1000.0), best[k].peakMB);
    if (kindCount == 2)
        std::printf("ratio ours/baseline: %.2f (goal: at most 0.6 on tmpfs, 0.85 on disk)\n",
                    best[0].milliseconds / best[1].milliseconds);
    const double budget = blobSize / kMB + 64.0;
    std::printf("peak memory %.1f MB, budget %.1f MB (blob + 64 MB)\n", best[0].peakMB, budget);
    return 0;
}
