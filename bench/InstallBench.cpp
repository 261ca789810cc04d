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
// Then our path runs once more over the files an install left (a reinstall:
// every file is opened and checked in place rather than made).
//
//   rv_bench_install [--scale N] [work folder]   (default: a new folder under %TEMP%)
//   rv_bench_install --run ours|baseline|reinstall BLOB FOLDER     (one child run)
//   rv_bench_install --make-blob FILE       (the standard package's blob, for child runs by hand)
//   rv_bench_install --make-folder FOLDER   (the standard package as plain files,
//                                           for a setup build that embeds it)
//
// bench/run_pinned.sh runs it as it comes and pinned to one processor.

#include "bench/BenchChildRun.h"
#include "bench/BenchClock.h"
#include "bench/BenchPackage.h"
#include "installer/core/install/CInstallProgress.h"

#include "tests/support/TempFolder.h"

#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 3;
constexpr double kMB = 1048576.0;

double PeakWorkingSetMB()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / kMB;
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
        Bench::MakeEntryFolders(L"", entry.name, &folders);
        if (!Bench::WriteWhole(entry.name, &archive[at + entry.offset], entry.size))
            return false;
    }
    return true;
}

int ChildRun(const std::wstring& kind, const std::wstring& blobPath, const std::wstring& folder)
{
    const std::string blob = RVTest::ReadWholeFile(blobPath);
    CreateDirectoryW(folder.c_str(), nullptr);
    SetCurrentDirectoryW(folder.c_str());
    if (kind == L"reinstall" && !RunOurs(blob))
        return 1;
    const double start = Bench::NowMs();
    const bool done = kind == L"baseline" ? RunBaseline(blob) : RunOurs(blob);
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
    const std::wstring program = Bench::OwnProgramPath();
    const std::wstring commandLine =
        L"\"" + program + L"\" --run " + kind + L" \"" + blobPath + L"\" \"" + folder + L"\"";
    std::string output;
    return Bench::RunChildForOutput(program, commandLine, &output) &&
           std::sscanf(output.c_str(), "%lf %lf", &result->milliseconds, &result->peakMB) == 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 5 && std::wstring(argv[1]) == L"--run")
        return ChildRun(argv[2], argv[3], argv[4]);
    if (argc == 3 && std::wstring(argv[1]) == L"--make-folder")
        return Bench::WriteFolder(Bench::MakeEntries(Bench::kPackageFileCount), argv[2]) ? 0 : 1;
    if (argc == 3 && std::wstring(argv[1]) == L"--make-blob") {
        uint64_t archiveSize = 0;
        uint64_t blobSize = 0;
        return Bench::WriteBlob(Bench::MakeEntries(Bench::kPackageFileCount), argv[2], &archiveSize, &blobSize) ? 0
                                                                                                               : 1;
    }

    int scale = 1;
    int next = 1;
    if (argc > 2 && std::wstring(argv[1]) == L"--scale") {
        scale = std::max(1, _wtoi(argv[2]));
        next = 3;
    }
    const RVTest::TempFolder ownFolder;
    const std::wstring work = argc > next ? argv[next] : ownFolder.Path();
    const std::vector<Bench::BenchEntry> entries = Bench::MakeEntries(Bench::kPackageFileCount * scale);
    uint64_t total = 0;
    uint32_t largest = 0;
    for (const Bench::BenchEntry& entry : entries) {
        total += entry.size;
        largest = std::max(largest, entry.size);
    }
    const std::wstring blobPath = work + L"\\package.blob";
    uint64_t archiveSize = 0;
    uint64_t blobSize = 0;
    if (!Bench::WriteBlob(entries, blobPath, &archiveSize, &blobSize)) {
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
    RunResult reinstall;
    if (scale == 1) {
        for (int round = 0; round < rounds; ++round) {
            const std::wstring folder = work + L"\\install_reinstall";
            RunResult run;
            const bool ran = StartChild(L"reinstall", blobPath, folder, &run);
            RVTest::RemoveTree(folder);
            if (!ran) {
                std::fprintf(stderr, "the reinstall run failed\n");
                DeleteFileW(blobPath.c_str());
                return 1;
            }
            if (round == 0 || run.milliseconds < reinstall.milliseconds)
                reinstall.milliseconds = run.milliseconds;
            reinstall.peakMB = std::max(reinstall.peakMB, run.peakMB);
        }
    }
    DeleteFileW(blobPath.c_str());
    for (int k = 0; k < kindCount; ++k)
        std::printf("%-9ls %8.1f ms  %7.1f MB/s  peak working set %7.1f MB\n", kinds[k], best[k].milliseconds,
                    total / kMB / (best[k].milliseconds / 1000.0), best[k].peakMB);
    if (kindCount == 2) {
        std::printf("ratio ours/baseline: %.2f (goal: at most 0.6 on tmpfs, 0.85 on disk)\n",
                    best[0].milliseconds / best[1].milliseconds);
        std::printf("reinstall %8.1f ms  %7.1f MB/s  peak working set %7.1f MB (over an earlier install's files)\n",
                    reinstall.milliseconds, total / kMB / (reinstall.milliseconds / 1000.0), reinstall.peakMB);
    }
    const double budget = blobSize / kMB + 64.0;
    std::printf("peak memory %.1f MB, budget %.1f MB (blob + 64 MB)\n", best[0].peakMB, budget);
    return 0;
}
