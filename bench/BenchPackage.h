#pragma once

// The generated game package the install benchmarks share: about 200 MB in
// about 5,000 files of mixed compressibility (text, already-compressed media,
// zero runs), the same bytes on every run. It is written either as the
// blob the installer carries or as a folder of plain files for the packing
// tool.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace Bench {

constexpr int kPackageFileCount = 5000;

struct BenchEntry
{
    std::wstring name;
    uint32_t size = 0;
    int kind = 0;
};

// The entries of a package of fileCount files (names with "/").
std::vector<BenchEntry> MakeEntries(int fileCount);

// One entry's bytes, the same every time (each entry has a generator of its own).
void FillEntry(const BenchEntry& entry, uint32_t index, std::vector<uint8_t>* bytes);

// The package blob, made entry by entry so that no archive is held whole.
bool WriteBlob(const std::vector<BenchEntry>& entries, const std::wstring& path, uint64_t* archiveSize,
               uint64_t* blobSize);

// Makes the folders of an entry name (below root, which is empty or ends in
// "/"), each once: made remembers them.
void MakeEntryFolders(const std::wstring& root, const std::wstring& name, std::set<std::wstring>* made);

// One plain write of the bytes into a new (or replaced) file.
bool WriteWhole(const std::wstring& path, const void* bytes, size_t size);

// Every entry as a plain file under the folder (made if missing), sub-folders
// made as needed.
bool WriteFolder(const std::vector<BenchEntry>& entries, const std::wstring& folder);

} // namespace Bench
