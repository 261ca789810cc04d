#include "engine/filesystem/FinalPathFunctions.h"

#include <cwchar>

namespace RVGameEngine {
namespace FileSystem {

namespace {

constexpr const wchar_t* kLongPrefix = L"\\\\?\\";
constexpr const wchar_t* kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr DWORD kFinalPathFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;

// Past the next separator at or after `at`; 0 when there is none.
size_t PastSeparator(const wchar_t* text, size_t at)
{
    const wchar_t* separator = wcschr(text + at, L'\\');
    return separator == nullptr ? 0 : static_cast<size_t>(separator - text) + 1;
}

bool EndsInSeparator(const wchar_t* path, size_t length)
{
    return length != 0 && (path[length - 1] == L'\\' || path[length - 1] == L'/');
}

bool IsSameText(const wchar_t* a, const wchar_t* b, size_t length)
{
    return CompareStringOrdinal(a, static_cast<int>(length), b, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

} // namespace

std::wstring GetFullPath(const wchar_t* path)
{
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path, needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    // A final path spells every part out in full, never as a short 8.3 name.
    const DWORD longNeeded = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longNeeded != 0) {
        std::wstring longForm(longNeeded, L'\0');
        const DWORD longLength = GetLongPathNameW(full.c_str(), &longForm[0], longNeeded);
        if (longLength != 0 && longLength < longNeeded) {
            longForm.resize(longLength);
            full = longForm;
        }
    }
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

std::wstring GetHandleFinalPath(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), kFinalPathFlags);
        if (length == 0)
            break;
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length + 1, L'\0');
    }
    // Grown again between the two calls, or refused: the system error stays
    // the last one set (clearing keeps the buffer, so nothing is freed).
    const DWORD error = length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
    path.clear();
    SetLastError(error);
    return path;
}

bool ReadHandleFinalPath(HANDLE handle, wchar_t (&path)[kFinalPathCapacity])
{
    const DWORD length = GetFinalPathNameByHandleW(handle, path, kFinalPathCapacity, kFinalPathFlags);
    if (length == 0)
        return false;
    if (length >= kFinalPathCapacity) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return true;
}

bool IsSameFileName(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsSameFinalPath(const std::wstring& a, const std::wstring& b)
{
    return IsSameFileName(a, b);
}

std::wstring JoinFinalPath(const std::wstring& folder, const std::wstring& name)
{
    return EndsInSeparator(folder.c_str(), folder.size()) ? folder + name : folder + L"\\" + name;
}

bool IsFinalPathOfName(const wchar_t* entry, const wchar_t* folder, const wchar_t* name)
{
    if (entry == nullptr || folder == nullptr || name == nullptr)
        return false;
    const size_t folderLength = wcslen(folder);
    const size_t nameLength = wcslen(name);
    const size_t separators = EndsInSeparator(folder, folderLength) ? 0 : 1;
    // Letter case is compared one UTF-16 unit at a time, so the parts may be
    // compared apart.
    return folderLength != 0 && nameLength != 0 && wcslen(entry) == folderLength + separators + nameLength &&
           IsSameText(entry, folder, folderLength) && (separators == 0 || entry[folderLength] == L'\\') &&
           IsSameText(entry + folderLength + separators, name, nameLength);
}

size_t GetPathRootLength(const wchar_t* full)
{
    if (full == nullptr)
        return 0;
    size_t at = 0;
    bool unc = false;
    if (wcsncmp(full, kLongUncPrefix, 8) == 0) {
        at = 8;
        unc = true;
    } else if (wcsncmp(full, kLongPrefix, 4) == 0) {
        at = 4;
    } else if (full[0] == L'\\' && full[1] == L'\\') {
        at = 2;
        unc = true;
    }
    if (!unc)
        return iswalpha(full[at]) && full[at + 1] == L':' && full[at + 2] == L'\\' ? at + 3 : 0;
    // "server\share\": a share with nothing behind its name still counts.
    const size_t share = PastSeparator(full, at);
    if (share <= at + 1 || full[share] == L'\\' || full[share] == L'\0')
        return 0;
    const size_t end = PastSeparator(full, share);
    return end != 0 ? end : wcslen(full);
}

} // namespace FileSystem
} // namespace RVGameEngine
