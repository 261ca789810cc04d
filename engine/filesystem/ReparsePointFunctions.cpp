#include "engine/filesystem/ReparsePointFunctions.h"

namespace RVGameEngine {
namespace FileSystem {

namespace {

constexpr DWORD kNameSurrogateBit = 0x20000000;

} // namespace

bool IsNameRedirectingTag(DWORD tag)
{
    return tag == 0 || (tag & kNameSurrogateBit) != 0;
}

bool QueryNameRedirection(HANDLE handle, bool* redirecting)
{
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag))
        return false;
    *redirecting = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsNameRedirectingTag(tag.ReparseTag);
    return true;
}

bool IsNameRedirectingEntry(HANDLE handle)
{
    bool redirecting = true;
    return !QueryNameRedirection(handle, &redirecting) || redirecting;
}

} // namespace FileSystem
} // namespace RVGameEngine
