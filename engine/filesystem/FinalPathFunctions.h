#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace RVGameEngine {
namespace FileSystem {

// Paths in the forms the system reports, so that a path spelled by a caller
// can be told from where a handle really leads.

// The absolute form of a path, "." and ".." resolved and existing parts in
// their long names, without a trailing separator (a drive's root keeps its
// own); empty when it has none. Existing parts are looked up, so a name from
// outside is checked to be no network or device path first.
RV_API std::wstring GetFullPath(const wchar_t* path);

// The longest final path read without the heap, in UTF-16 units.
constexpr size_t kFinalPathCapacity = 2048;

// Where the handle's entry really is, every link and drive mapping on the
// way resolved: "\\?\C:\..." or "\\?\UNC\server\...", or empty with
// the system error (GetLastError).
RV_API std::wstring GetHandleFinalPath(HANDLE handle);
// The same into a caller's buffer of kFinalPathCapacity units, without the
// heap; false with the system error (ERROR_FILENAME_EXCED_RANGE for a longer
// path).
RV_API bool ReadHandleFinalPath(HANDLE handle, wchar_t (&path)[kFinalPathCapacity]);
// Whether two names (or paths) are the same to the file system: the case of
// any letter aside, not only of A-Z; false when either is empty.
RV_API bool IsSameFileName(const std::wstring& a, const std::wstring& b);
// Whether two final paths name the same entry (letter case aside); false
// when either is empty.
RV_API bool IsSameFinalPath(const std::wstring& a, const std::wstring& b);

// A folder's final path and a one-part name below it, with exactly one
// separator between them: a volume root's final path ends in one
// ("\\?\E:\"), any other folder's does not.
RV_API std::wstring JoinFinalPath(const std::wstring& folder, const std::wstring& name);
// Whether an entry's final path is the folder's final path joined with that
// one-part name (as JoinFinalPath joins them), compared as IsSameFinalPath
// compares; false when any is empty. Uses no heap.
RV_API bool IsFinalPathOfName(const wchar_t* entry, const wchar_t* folder, const wchar_t* name);

// How much of a full path is its root: "C:\" or "\\server\share\" (with
// or without the "\\?\" and "\\?\UNC\" prefixes); 0 when it has none.
RV_API size_t GetPathRootLength(const wchar_t* full);

} // namespace FileSystem
} // namespace RVGameEngine
