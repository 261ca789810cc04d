#include "tests/support/PlantedLink.h"

#include "tests/support/HostScript.h"

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <cstdio>

namespace RVTest {

namespace {

using UnixNameFunction = char*(CDECL*)(const wchar_t*);

UnixNameFunction WineUnixNameFunction()
{
    return reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::wstring UnixPathOf(UnixNameFunction unixName, const std::wstring& path)
{
    char* name = unixName(path.c_str());
    if (name == nullptr)
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, name, -1, &wide[0], length);
    HeapFree(GetProcessHeap(), 0, name);
    return wide;
}

// How long a host command has to end: a busy machine can take seconds to
// start one.
constexpr DWORD kHostCommandLimitMs = 60000;

} // namespace

std::wstring HostPathOf(const std::wstring& path)
{
    const UnixNameFunction unixName = WineUnixNameFunction();
    return unixName != nullptr ? UnixPathOf(unixName, path) : std::wstring();
}

// Wine starts host programs given by their host path, but gives no handle
// to wait on: the caller waits for what the command makes.
bool StartHostCommand(std::wstring commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    const RVGameEngine::Common::CScopedKernelHandle process(started.hProcess);
    const RVGameEngine::Common::CScopedKernelHandle thread(started.hThread);
    return true;
}

PlantedLink::PlantedLink(const std::wstring& link, const std::wstring& target, bool folder)
    : m_link(link), m_folder(folder)
{
    if (WineUnixNameFunction() != nullptr) {
        const HostScriptResult made = MakeHostLink(HostPathOf(target), HostPathOf(link), kHostCommandLimitMs);
        // A link made after the wait gave up is taken away by the script itself.
        m_made = made.end == HostScriptEnd::Ended && made.status == 0;
        if (!m_made)
            std::fwprintf(stderr, L"link %ls not planted: %hs\n", link.c_str(), made.errorOutput.c_str());
        return;
    }
    const DWORD kAllowUnprivileged = 0x2;
    m_made = CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                 (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | kAllowUnprivileged) != FALSE;
}

PlantedLink::~PlantedLink()
{
    // What had the name before the link was refused is not this object's.
    if (!m_made)
        return;
    // Under Wine a delete by the link's name reaches what it leads to; and a
    // link whose target is missing shows no attributes, so it is taken away
    // on the host whatever Wine shows.
    if (WineUnixNameFunction() != nullptr)
        RemoveHostLink(HostPathOf(m_link), kHostCommandLimitMs);
    else if (!Made())
        return;
    else if (m_folder)
        RemoveDirectoryW(m_link.c_str());
    else
        DeleteFileW(m_link.c_str());
}

// Wine marks a host link to a folder as a reparse point, but not one to a
// file: the link is known to be one by how it was made.
bool PlantedLink::Made() const
{
    return m_made && GetFileAttributesW(m_link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace RVTest
