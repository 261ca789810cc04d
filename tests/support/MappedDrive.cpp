#include "tests/support/MappedDrive.h"

#include "tests/support/HostScript.h"
#include "tests/support/PlantedLink.h"
#include "tests/support/WaitUntil.h"

#include "engine/common/base/TScopedHandle.h"

#include <windows.h>

#include <cstdio>

namespace RVTest {

namespace {

// Generous: on a machine kept busy a host process can take seconds to
// start, and a wait ends as soon as what it waits for is there.
const DWORD kHostScriptLimitMs = 60000;
const DWORD kDriveShownLimitMs = 30000;

std::string Seconds(DWORD ms)
{
    return std::to_string(ms / 1000) + " s";
}

std::string DriveName(const std::wstring& drive)
{
    return std::string{static_cast<char>(drive[0]), ':'};
}

bool RootExists(const std::wstring& root)
{
    return GetFileAttributesW((root + L"\\").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring WinePrefix()
{
    wchar_t prefix[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(prefix, length);
}

// The prefix's link for a drive: "<prefix>/dosdevices/m:".
std::wstring DosDeviceLink(const std::wstring& prefix, const std::wstring& drive)
{
    return prefix + L"/dosdevices/" + static_cast<wchar_t>(drive[0] - L'A' + L'a') + L":";
}

RVGameEngine::Common::CScopedKernelHandle OpenForAttributes(const std::wstring& path)
{
    return RVGameEngine::Common::CScopedKernelHandle(CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Whether both paths open the same folder. Test programs that run at once
// share the prefix's drive letters: a letter free when looked at may have
// been taken by another program's folder by the time it exists.
bool IsSameFolder(const std::wstring& a, const std::wstring& b)
{
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    const RVGameEngine::Common::CScopedKernelHandle one = OpenForAttributes(a);
    const RVGameEngine::Common::CScopedKernelHandle two = OpenForAttributes(b);
    return one && two && GetFileInformationByHandle(one.Get(), &first) &&
           GetFileInformationByHandle(two.Get(), &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool FinalPathNamesDrive(HANDLE folder, const std::wstring& root)
{
    const std::wstring named = L"\\\\?\\" + root;
    wchar_t path[MAX_PATH];
    const DWORD length = GetFinalPathNameByHandleW(folder, path, MAX_PATH, FILE_NAME_NORMALIZED);
    return length >= named.size() && length < MAX_PATH &&
           CompareStringOrdinal(path, static_cast<int>(named.size()), named.c_str(), static_cast<int>(named.size()),
                                TRUE) == CSTR_EQUAL;
}

// Wine names an entry by the deepest drive whose root holds it, and learns
// of a drive made or taken away a moment later: until then the folder's
// final paths name the drive it knew of. A check that compares two of them
// taken on either side of that moment would see them differ, and a removal
// of the folder would take it for one reached through a link.
bool WaitUntilFinalPathsName(const std::wstring& folder, const std::wstring& root, bool named)
{
    const RVGameEngine::Common::CScopedKernelHandle handle = OpenForAttributes(folder);
    if (!handle)
        return !named;
    return WaitUntil([&handle, &root, named] { return FinalPathNamesDrive(handle.Get(), root) == named; },
                     kDriveShownLimitMs);
}

} // namespace

MappedDrive::MappedDrive(const std::wstring& folder) : m_folder(folder)
{
    const std::wstring target = HostPathOf(folder);
    const std::wstring prefix = WinePrefix();
    if (!target.empty() && prefix.empty()) {
        m_whyNone = "WINEPREFIX is not set, so the prefix's drive links cannot be found";
        std::fprintf(stderr, "no mapped drive: %s\n", m_whyNone.c_str());
        return;
    }
    for (wchar_t letter = L'M'; letter <= L'Y'; ++letter) {
        const std::wstring drive{letter, L':'};
        if (letter == L'Q' || RootExists(drive))  // Q: stands for a missing drive in tests
            continue;
        const Attempt attempt =
            target.empty() ? MapByDosDevice(drive) : MapByHostLink(drive, target, DosDeviceLink(prefix, drive));
        if (attempt != Attempt::LetterTaken)
            return;
    }
    const std::string lastRefusal = m_whyNone;
    m_whyNone = "every drive letter from M: to Y: but Q: is taken";
    if (!lastRefusal.empty())
        m_whyNone += " (the last refused: " + lastRefusal + ")";
    std::fprintf(stderr, "no mapped drive: %s\n", m_whyNone.c_str());
}

MappedDrive::~MappedDrive()
{
    Unmap();
}

MappedDrive::Attempt MappedDrive::MapByHostLink(const std::wstring& drive, const std::wstring& target,
                                                const std::wstring& link)
{
    // Another program's drive, made since the letter was looked at, is
    // refused and stays as it is.
    const HostScriptResult linked = MakeHostLink(target, link, kHostScriptLimitMs);
    if (linked.end == HostScriptEnd::NotStarted)
        return GiveUp(drive, "the host command that links it could not be started");
    if (linked.end == HostScriptEnd::NotEnded)
        return GiveUp(drive, "the host command that links it did not end within " + Seconds(kHostScriptLimitMs) +
                                 " (it takes its link away when it does)");
    if (linked.status != 0) {
        m_whyNone = DriveName(drive) + " " + linked.errorOutput;
        return Attempt::LetterTaken;
    }
    // The link is ours from here: a letter given up loses it.
    m_root = drive;
    m_hostLink = link;
    if (!WaitUntil([&drive] { return RootExists(drive); }, kDriveShownLimitMs))
        return GiveUp(drive, "it was linked but did not show within " + Seconds(kDriveShownLimitMs));
    // Until Wine names the folder by the drive, the two opens may report
    // the volumes of different drives.
    if (!WaitUntilFinalPathsName(m_folder, drive, true))
        return GiveUp(drive, "Wine did not name the folder's entries by it within " + Seconds(kDriveShownLimitMs));
    if (!IsSameFolder(drive + L"\\", m_folder))
        return GiveUp(drive, "it opens another folder than the one linked");
    m_whyNone.clear();
    return Attempt::Mapped;
}

// The system maps the letter at once, for this session.
MappedDrive::Attempt MappedDrive::MapByDosDevice(const std::wstring& drive)
{
    if (!DefineDosDeviceW(0, drive.c_str(), m_folder.c_str()))
        return GiveUp(drive, "DefineDosDevice failed with error " + std::to_string(GetLastError()));
    m_root = drive;
    if (!RootExists(drive))
        return GiveUp(drive, "DefineDosDevice mapped nothing");
    if (!IsSameFolder(drive + L"\\", m_folder)) {
        Unmap();
        return Attempt::LetterTaken;
    }
    m_whyNone.clear();
    return Attempt::Mapped;
}

MappedDrive::Attempt MappedDrive::GiveUp(const std::wstring& drive, const std::string& why)
{
    Unmap();
    m_whyNone = DriveName(drive) + " " + why;
    std::fprintf(stderr, "no mapped drive: %s\n", m_whyNone.c_str());
    return Attempt::GiveUp;
}

void MappedDrive::Unmap()
{
    if (!m_hostLink.empty()) {
        if (RemoveHostLink(m_hostLink, kHostScriptLimitMs).end != HostScriptEnd::Ended)
            std::fprintf(stderr, "mapped drive %s: its link's removal did not end within %s (it goes when it does)\n",
                         DriveName(m_root).c_str(), Seconds(kHostScriptLimitMs).c_str());
        else if (!WaitUntilFinalPathsName(m_folder, m_root, false))
            std::fprintf(stderr, "mapped drive %s: Wine still names the folder's entries by it after %s\n",
                         DriveName(m_root).c_str(), Seconds(kDriveShownLimitMs).c_str());
    } else if (!m_root.empty()) {
        DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, m_root.c_str(), m_folder.c_str());
    }
    m_root.clear();
    m_hostLink.clear();
}

} // namespace RVTest
