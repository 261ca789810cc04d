#include "engine/directui/frame/CIcon.h"

#include "engine/filesystem/IVirtualFileSystem.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

void CIcon::Load(const wchar_t* path)
{
    m_icon.Reset();
    if (path == nullptr)
        return;
    Common::TIntrusivePointer<Common::IString> replaced;
    if (FileSystem::IVirtualFileSystem* files = FileSystem::IVirtualFileSystem_GetInstance())
        replaced = files->ReplaceFilename(path);
    const wchar_t* file = replaced ? replaced->GetUtf16() : path;
    m_icon.Reset(static_cast<HICON>(LoadImageW(nullptr, file, IMAGE_ICON, 0, 0,
                                               LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION)));
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
