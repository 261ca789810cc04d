#include "tests/support/MappedDrive.h"

#include "tests/support/PlantedLink.h"

#include "engine/common/base/TScopedHandle.h"

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
    const std::wstring target = HostPathOf(folder);
    const std::wstring prefix = WinePrefix();
    const bool hostLink = !target.empty() && !prefix.empty();
    // Test programs run side by side in one prefix, whose drive links they
    // all share: two may pick the same free letter, and the host keeps the
    // first link made. A file only this object makes tells whose the letter is.
    static LONG s_made = 0;
    const std::wstring marker = L"rvmapped_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                std::to_wstring(InterlockedIncrement(&s_made));
    const std::wstring markerPath = folder + L"\\" + marker;
    if (!RVGameEngine::Common::CScopedKernelHandle(
            CreateFileW(markerPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)))
        return;
    for (wchar_t letter = L'M'; letter <= L'Y' && m_root.empty(); ++letter) {
        const std::wstring root = std::wstring(1, letter) + L":";
        if (letter == L'Q' || RootExists(root))  // Q: stands for a missing drive in tests
            continue;
        if (hostLink) {
            const std::wstring link = prefix + L"/dosdevices/" + static_cast<wchar_t>(letter - L'A' + L'a') + L":";
            StartHostCommand(L"/bin/ln -s \"" + target + L"\" \"" + link + L"\"");
            if (!WaitUntil([&root] { return RootExists(root); }))
                continue;
            if (GetFileAttributesW((root + L"\\" + marker).c_str()) == INVALID_FILE_ATTRIBUTES)
                continue;  // another program's link: this one's was refused
            m_hostLink = link;
        } else {
            if (!DefineDosDeviceW(0, root.c_str(), folder.c_str()) || !WaitUntil([&root] { return RootExists(root); }))
                continue;
        }
        m_root = root;
    }
    DeleteFileW(markerPath.c_str());
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
