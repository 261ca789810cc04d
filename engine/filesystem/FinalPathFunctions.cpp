#include "engine/filesystem/FinalPathFunctions.h"

#include <cwchar>

namespace RVGameEngine {
namespace FileSystem {

namespace {

constexpr const wchar_t* kLongPrefix = L"\\\\?\\";
constexpr const wchar_t* kLongUncPrefix = L"\\\\?\\UNC\\";

// Past the next separator at or after `at`; 0 when there is none.
size_t PastSeparator(const wchar_t* text, size_t at)
{
    const wchar_t* separator = wcschr(text + at, L'\\');
    return separator == nullptr ? 0 : static_cast<size_t>(separator - text) + 1;
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
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.assign(length + 1, L'\0');
    }
    return std::wstring();
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
    const bool endsInSeparator = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
    return endsInSeparator ? folder + name : folder + L"\\" + name;
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
