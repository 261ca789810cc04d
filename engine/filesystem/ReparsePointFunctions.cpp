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

bool IsNameRedirectingEntry(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag))
        return true;
    return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsNameRedirectingTag(tag.ReparseTag);
}

} // namespace FileSystem
} // namespace RVGameEngine
