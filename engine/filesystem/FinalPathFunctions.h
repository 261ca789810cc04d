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
// The full path in final-path form: "\\?\C:\..." or "\\?\UNC\server\...".
// It also opens paths longer than MAX_PATH.
RV_API std::wstring AsFinalPath(const std::wstring& full);
// Where a handle opened by that path leads when no link is on its way, in
// the form GetHandleFinalPath gives; empty when the path has no full form.
RV_API std::wstring GetUnlinkedFinalPath(const wchar_t* path);

// Where the handle's entry really is, every link and drive mapping on the
// way resolved: "\\?\C:\..." or "\\?\UNC\server\...", or empty.
RV_API std::wstring GetHandleFinalPath(HANDLE handle);
// Where the entry at the path really is, opened without following a link
// at its end; empty when it cannot be opened or is itself a link.
RV_API std::wstring GetUnfollowedFinalPath(const wchar_t* path);
// Whether two final paths name the same entry (letter case aside); false
// when either is empty.
RV_API bool IsSameFinalPath(const std::wstring& a, const std::wstring& b);

// How much of a full path is its root: "C:\" or "\\server\share\" (with
// or without the "\\?\" and "\\?\UNC\" prefixes); 0 when it has none.
RV_API size_t GetPathRootLength(const wchar_t* full);

} // namespace FileSystem
} // namespace RVGameEngine
