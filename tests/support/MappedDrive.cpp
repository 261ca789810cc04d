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

// Whether both paths open the same folder. Test programs that run at once
// share the prefix's drive letters: a letter free when looked at may have
// been taken by another program's folder by the time it exists.
bool IsSameFolder(const std::wstring& a, const std::wstring& b)
{
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    const RVGameEngine::Common::CScopedKernelHandle one(CreateFileW(
        a.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const RVGameEngine::Common::CScopedKernelHandle two(CreateFileW(
        b.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return one && two && GetFileInformationByHandle(one.Get(), &first) &&
           GetFileInformationByHandle(two.Get(), &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

// Wine names an entry by the deepest drive whose root holds it, and learns
// of a new drive a moment after it is made: until then the folder's final
// paths still name its own drive, and a check that compares two of them
// taken on either side of that moment would see them differ.
void WaitUntilFinalPathsNameTheDrive(const std::wstring& folder, const std::wstring& root)
{
    const RVGameEngine::Common::CScopedKernelHandle handle(CreateFileW(
        folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::wstring named = L"\\\\?\\" + root;
    WaitUntil([&handle, &named] {
        wchar_t path[MAX_PATH];
        const DWORD length = GetFinalPathNameByHandleW(handle.Get(), path, MAX_PATH, FILE_NAME_NORMALIZED);
        return length >= named.size() && length < MAX_PATH &&
               CompareStringOrdinal(path, static_cast<int>(named.size()), named.c_str(),
                                    static_cast<int>(named.size()), TRUE) == CSTR_EQUAL;
    });
}

} // namespace

MappedDrive::MappedDrive(const std::wstring& folder) : m_folder(folder)
{
    const std::wstring target = HostPathOf(folder);
    const std::wstring prefix = WinePrefix();
    for (wchar_t letter = L'M'; letter <= L'Y' && m_root.empty(); ++letter) {
        const std::wstring candidate = std::wstring(1, letter) + L":";
        if (letter == L'Q' || RootExists(candidate))  // Q: stands for a missing drive in tests
            continue;
        std::wstring hostLink;
        if (!target.empty() && !prefix.empty()) {
            // ln refuses a name already taken: another program's drive stays as it is.
            hostLink = prefix + L"/dosdevices/" + static_cast<wchar_t>(letter - L'A' + L'a') + L":";
            StartHostCommand(L"/bin/ln -s \"" + target + L"\" \"" + hostLink + L"\"");
        } else {
            DefineDosDeviceW(0, candidate.c_str(), folder.c_str());
        }
        if (!WaitUntil([&candidate] { return RootExists(candidate); }))
            continue;
        if (IsSameFolder(candidate + L"\\", folder)) {
            m_root = candidate;
            m_hostLink = hostLink;
            if (!hostLink.empty())
                WaitUntilFinalPathsNameTheDrive(folder, candidate);
        } else if (hostLink.empty()) {
            DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, candidate.c_str(), folder.c_str());
        }
    }
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
