// Reads every entry of a generated archive of about 64 MB in about 2,000
// files through the virtual file system, and the same bytes as plain files
// on disk, and prints both times and their ratio (archive / plain).
//
//   rv_bench_vfs [work folder]     (default: a new folder under %TEMP%)

#include "bench/BenchClock.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/IPackedFileManager.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::IVirtualFileSystem;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;
using RVGameEngine::FileSystem::IPackedFileManager_GetInstance;
using EngineStream = RVGameEngine::Common::IStream;

namespace {

constexpr int kFileCount = 2000;
constexpr int kFolderCount = 40;
constexpr uint32_t kLargestFile = 64 * 1024;
constexpr int kRounds = 3;

struct BenchFile
{
    std::wstring name;  // relative, "/" separated
    std::vector<uint8_t> bytes;
};

std::vector<BenchFile> MakeFiles()
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<uint32_t> size(1, kLargestFile);
    std::vector<BenchFile> files(kFileCount);
    for (int i = 0; i < kFileCount; ++i) {
        wchar_t name[64];
        swprintf(name, 64, L"folder%02d/file%04d.bin", i % kFolderCount, i);
        files[i].name = name;
        files[i].bytes.resize(size(random));
        for (uint8_t& b : files[i].bytes)
            b = static_cast<uint8_t>(random());
    }
    return files;
}

void Put32(std::vector<uint8_t>* out, uint32_t value)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&value);
    out->insert(out->end(), bytes, bytes + 4);
}

// The archive in the form the packing tool writes.
std::vector<uint8_t> BuildArchive(const std::vector<BenchFile>& files)
{
    std::vector<uint8_t> archive = {'R', 'A', 'D', 'E'};
    Put32(&archive, 1);
    Put32(&archive, static_cast<uint32_t>(files.size()));
    uint32_t offset = 0;
    for (const BenchFile& file : files) {
        Put32(&archive, offset);
        Put32(&archive, static_cast<uint32_t>(file.bytes.size()));
        Put32(&archive, static_cast<uint32_t>(file.name.size()));
        const uint8_t* units = reinterpret_cast<const uint8_t*>(file.name.data());
        archive.insert(archive.end(), units, units + file.name.size() * 2);
        offset += static_cast<uint32_t>(file.bytes.size());
    }
    for (const BenchFile& file : files) {
        const size_t at = archive.size();
        archive.insert(archive.end(), file.bytes.begin(), file.bytes.end());
        IVirtualFileSystem_GetInstance()->ScrambleBuffer(archive.data() + at, static_cast<int32_t>(file.bytes.size()));
    }
    return archive;
}

bool WriteBytes(IVirtualFileSystem* vfs, const std::wstring& name, const uint8_t* bytes, size_t size)
{
    TIntrusivePointer<EngineStream> stream(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(size)));
    if (stream.IsNull())
        return false;
    std::memcpy(stream->GetData(), bytes, size);
    return vfs->WriteFile(name.c_str(), stream.Get());
}

// Reads every file through the file system; returns the time in ms, or a
// negative value when a file did not come back whole and unchanged.
double ReadAll(IVirtualFileSystem* vfs, const std::vector<BenchFile>& files, const std::wstring& prefix,
               uint64_t* bytesRead)
{
    *bytesRead = 0;
    const double start = Bench::NowMs();
    for (const BenchFile& file : files) {
        TIntrusivePointer<EngineStream> stream = vfs->ReadFile((prefix + file.name).c_str());
        if (stream.IsNull() || stream->GetSize() != static_cast<int32_t>(file.bytes.size()) ||
            std::memcmp(stream->GetData(), file.bytes.data(), file.bytes.size()) != 0)
            return -1.0;
        *bytesRead += static_cast<uint64_t>(stream->GetSize());
    }
    return Bench::NowMs() - start;
}

} // namespace

int main()
{
    // Removed with everything in it on every way out.
    const RVTest::TempFolder workFolder;
    const std::wstring& work = workFolder.Path();
    IVirtualFileSystem* vfs = IVirtualFileSystem_GetInstance();

    const std::vector<BenchFile> files = MakeFiles();
    uint64_t total = 0;
    for (const BenchFile& file : files) {
        total += file.bytes.size();
        if (!WriteBytes(vfs, work + L"\\plain\\" + file.name, file.bytes.data(), file.bytes.size())) {
            std::fwprintf(stderr, L"cannot write the plain files\n");
            return 1;
        }
    }
    const std::vector<uint8_t> archive = BuildArchive(files);
    const std::wstring archivePath = work + L"\\bench.rade";
    if (!WriteBytes(vfs, archivePath, archive.data(), archive.size())) {
        std::fwprintf(stderr, L"cannot write the archive\n");
        return 1;
    }
    std::wprintf(L"%d files, %.1f MB of data, archive %.1f MB\n", kFileCount, total / 1048576.0,
                 archive.size() / 1048576.0);

    // Best of a few rounds each, alternating, after one warm-up of each, so
    // both read from the system's file cache.
    double plainBest = 1e300;
    double archiveBest = 1e300;
    const std::wstring plainPrefix = work + L"\\plain\\";
    uint64_t bytes = 0;
    for (int round = 0; round <= kRounds; ++round) {
        IPackedFileManager_GetInstance()->UnmountAll();
        const double plain = ReadAll(vfs, files, plainPrefix, &bytes);
        if (!vfs->MountPackedFile(archivePath.c_str())) {
            std::fwprintf(stderr, L"cannot mount the archive\n");
            return 1;
        }
        const double packed = ReadAll(vfs, files, L"", &bytes);
        if (plain < 0 || packed < 0) {
            std::fwprintf(stderr, L"a file did not read back whole\n");
            return 1;
        }
        if (round > 0) {
            plainBest = std::min(plainBest, plain);
            archiveBest = std::min(archiveBest, packed);
        }
    }
    IPackedFileManager_GetInstance()->UnmountAll();
    std::wprintf(L"plain files: %.1f ms\narchive:     %.1f ms\nratio archive/plain: %.2f (goal: at most 1.20)\n",
                 plainBest, archiveBest, archiveBest / plainBest);
    return 0;
}
