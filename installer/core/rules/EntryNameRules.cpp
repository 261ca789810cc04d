#include "installer/core/rules/EntryNameRules.h"

#include "installer/core/rules/AsciiTextFunctions.h"

#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

#include <cwctype>

using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;

namespace {

bool IsForbiddenCharacter(wchar_t c)
{
    return c < 0x20 || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|' ||
           c == L'\\';
}

bool IsPortNumber(wchar_t c)
{
    // The superscript digits one, two and three name ports too.
    return (c >= L'0' && c <= L'9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3;
}

bool IsSafePart(const std::wstring& part)
{
    if (part.empty() || part == L"." || part == L"..")
        return false;
    const wchar_t last = part.back();
    if (last == L'.' || last == L' ')
        return false;
    for (wchar_t c : part) {
        if (IsForbiddenCharacter(c))
            return false;
    }
    return !IsReservedDeviceName(part);
}

} // namespace

bool IsReservedDeviceName(const std::wstring& part)
{
    // The device is reached whatever follows its name after a dot.
    const std::wstring stem = UpperAscii(part.substr(0, part.find(L'.')));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : kDevices) {
        if (stem == device)
            return true;
    }
    const bool numberedPort = stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0);
    return numberedPort && IsPortNumber(stem[3]);
}

bool IsSafeEntryName(const std::wstring& name)
{
    // A leading "/" (absolute, UNC "//server", device "//./") gives an empty
    // first part; a drive gives a colon.
    size_t start = 0;
    while (true) {
        const size_t end = name.find(L'/', start);
        if (!IsSafePart(name.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start)))
            return false;
        if (end == std::wstring::npos)
            return true;
        start = end + 1;
    }
}

bool IsPlainNamePart(const std::wstring& part)
{
    return part.find(L'/') == std::wstring::npos && IsSafePart(part);
}

bool IsScrambledOnExtraction(const wchar_t* name)
{
    if (name == nullptr || CompareStringOrdinal(name, static_cast<int>(wcsnlen(name, 4)), L"Web/", 4, TRUE) == CSTR_EQUAL)
        return false;
    wchar_t extension[RVGameEngine::FileSystem::kPathPartBufferLength];
    if (!IVirtualFileSystem_GetInstance()->GetExtension(name, extension))
        return false;
    static const wchar_t* const kScrambledTypes[] = {L"PNG", L"JPG", L"BMP", L"XML", L"SW"};
    for (const wchar_t* type : kScrambledTypes) {
        if (CompareStringOrdinal(extension, -1, type, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}
