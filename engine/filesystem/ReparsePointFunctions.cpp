#include "engine/filesystem/ReparsePointFunctions.h"

#include <winioctl.h>

#include <cstdint>
#include <cwchar>

namespace RVGameEngine {
namespace FileSystem {

namespace {

constexpr wchar_t kVolumePrefix[] = L"\\??\\Volume{";
constexpr size_t kVolumePrefixLength = sizeof kVolumePrefix / sizeof kVolumePrefix[0] - 1;
constexpr DWORD kNameSurrogateBit = 0x20000000;

// The mount-point form of the system's reparse data (not in the user-mode
// headers): the header, then the path buffer's offsets in bytes.
struct tagMountPointData
{
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
    wchar_t pathBuffer[1];
};

} // namespace

bool IsNameRedirectingTag(DWORD tag, const wchar_t* mountTarget, size_t mountTargetLength)
{
    if (tag == IO_REPARSE_TAG_MOUNT_POINT)
        return mountTarget == nullptr || mountTargetLength < kVolumePrefixLength ||
               _wcsnicmp(mountTarget, kVolumePrefix, kVolumePrefixLength) != 0;
    return tag == 0 || (tag & kNameSurrogateBit) != 0;
}

bool IsNameRedirectingEntry(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag))
        return true;
    if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return false;
    if (tag.ReparseTag != IO_REPARSE_TAG_MOUNT_POINT)
        return IsNameRedirectingTag(tag.ReparseTag, nullptr, 0);
    // Aligned for the record; the largest reparse data there is.
    uint64_t buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE / sizeof(uint64_t)];
    DWORD returned = 0;
    if (!DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &returned, nullptr) ||
        returned < offsetof(tagMountPointData, pathBuffer))
        return true;
    const auto* data = reinterpret_cast<const tagMountPointData*>(buffer);
    const size_t end = offsetof(tagMountPointData, pathBuffer) + data->substituteOffset + data->substituteLength;
    if (data->tag != IO_REPARSE_TAG_MOUNT_POINT || end > returned)
        return true;
    return IsNameRedirectingTag(data->tag, data->pathBuffer + data->substituteOffset / sizeof(wchar_t),
                                data->substituteLength / sizeof(wchar_t));
}

} // namespace FileSystem
} // namespace RVGameEngine
