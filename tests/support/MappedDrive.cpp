#include "tests/support/MappedDrive.h"

#include "tests/support/PlantedLink.h"

#include <windows.h>

namespace RVTest {

namespace {

bool RootExists(const std::wstring& root)
{
    return GetFileAttributesW((root + L"\\").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls for at most ten seconds.
template <typename Done>
bool WaitUntil(Done done)
{
    for (int tries = 0; tries < 1000; ++tries) {
        if (done())
            return true;
        Sleep(10);
    }
    return false;
}

std::wstring WinePrefix()
{
    wchar_t prefix[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(prefix, length);
}

} // namespace

MappedDrive::MappedDrive(const std::wstring& folder) : m_folder(folder)
{
    std::wstring root;
    for (wchar_t letter = L'M'; letter <= L'Y' && root.empty(); ++letter) {
        const std::wstring candidate = std::wstring(1, letter) + L":";
        if (letter != L'Q' && !RootExists(candidate))  // Q: stands for a missing drive in tests
            root = candidate;
    }
    const std::wstring target = HostPathOf(folder);
    const std::wstring prefix = WinePrefix();
    if (root.empty())
        return;
    if (!target.empty() && !prefix.empty()) {
        m_hostLink = prefix + L"/dosdevices/" + static_cast<wchar_t>(root[0] - L'A' + L'a') + L":";
        StartHostCommand(L"/bin/ln -s \"" + target + L"\" \"" + m_hostLink + L"\"");
    } else {
        DefineDosDeviceW(0, root.c_str(), folder.c_str());
    }
    if (WaitUntil([&root] { return RootExists(root); }))
        m_root = root;
}

MappedDrive::~MappedDrive()
{
    if (!m_hostLink.empty()) {
        StartHostCommand(L"/bin/rm -f \"" + m_hostLink + L"\"");
        const std::wstring root = m_root;
        WaitUntil([&root] { return root.empty() || !RootExists(root); });
    } else if (!m_root.empty()) {
        DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, m_root.c_str(), m_folder.c_str());
    }
}

} // namespace RVTest
