#include "engine/directui/frame/CIcon.h"

#include "engine/filesystem/IVirtualFileSystem.h"

#include <cstring>
#include <new>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

namespace {

#pragma pack(push, 2)
// An icon file's directory entry, and the same entry as a resource lists it
// (the image's place replaced by an identifier), for the system to choose
// the image of the default icon size.
struct tagIconFileEntry
{
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes, offset;
};
struct tagIconResourceEntry
{
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

constexpr size_t kIconDirectoryHead = 6;

// The icon of the default size from an icon file's bytes, or null.
HICON IconFromFileBytes(const uint8_t* data, size_t size)
{
    WORD head[3] = {};
    if (size < kIconDirectoryHead)
        return nullptr;
    std::memcpy(head, data, sizeof head);
    const size_t count = head[2];
    if (head[0] != 0 || head[1] != 1 || count == 0 || size < kIconDirectoryHead + count * sizeof(tagIconFileEntry))
        return nullptr;
    std::vector<tagIconFileEntry> entries(count);
    std::memcpy(entries.data(), data + kIconDirectoryHead, count * sizeof(tagIconFileEntry));
    std::vector<uint8_t> directory(kIconDirectoryHead + count * sizeof(tagIconResourceEntry));
    std::memcpy(directory.data(), head, sizeof head);
    for (size_t i = 0; i < count; ++i) {
        const tagIconFileEntry& entry = entries[i];
        if (entry.offset > size || entry.bytes > size - entry.offset)
            return nullptr;
        const tagIconResourceEntry listed = {entry.width, entry.height,   entry.colours, entry.reserved,
                                             entry.planes, entry.bitCount, entry.bytes,  static_cast<WORD>(i + 1)};
        std::memcpy(directory.data() + kIconDirectoryHead + i * sizeof listed, &listed, sizeof listed);
    }
    const int chosen = LookupIconIdFromDirectoryEx(directory.data(), TRUE, 0, 0, LR_DEFAULTCOLOR);
    if (chosen < 1 || static_cast<size_t>(chosen) > count)
        return nullptr;
    const tagIconFileEntry& entry = entries[static_cast<size_t>(chosen) - 1];
    return CreateIconFromResourceEx(const_cast<PBYTE>(data + entry.offset), entry.bytes, TRUE, 0x00030000, 0, 0,
                                    LR_DEFAULTCOLOR | LR_DEFAULTSIZE);
}

} // namespace

// Read through the virtual file system like every other picture, so that an
// icon of a mounted package comes from the package, not from a file of that
// name on disk.
void CIcon::Load(const wchar_t* path)
{
    m_icon.Reset();
    if (path == nullptr)
        return;
    FileSystem::IVirtualFileSystem* files = FileSystem::IVirtualFileSystem_GetInstance();
    // A missing icon leaves the window the system's: no file warning.
    if (!files->FileExists(path))
        return;
    Common::TIntrusivePointer<Common::IStream> bytes = files->ReadFile(path);
    if (bytes.IsNull() || bytes->GetSize() <= 0)
        return;
    m_icon.Reset(IconFromFileBytes(bytes->GetData(), static_cast<size_t>(bytes->GetSize())));
}

HICON CIcon::GetHandle()
{
    return m_icon.Get();
}

void CIcon::Reserved()
{
}

Common::TIntrusivePointer<IIcon> IIcon_Create()
{
    return Common::TIntrusivePointer<IIcon>(new (std::nothrow) CIcon());
}

} // namespace DirectUI
} // namespace RVGameEngine
