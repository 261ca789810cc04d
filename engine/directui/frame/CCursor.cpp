#include "engine/directui/frame/CCursor.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

bool CCursor::LoadFromFile(const wchar_t* path)
{
    if (path == nullptr)
        return false;
    HANDLE loaded = LoadImageW(nullptr, path, IMAGE_CURSOR, 0, 0,
                               LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_CREATEDIBSECTION);
    // A cursor read from a file belongs to us and is destroyed with us.
    Keep(static_cast<HCURSOR>(loaded), false);
    return loaded != nullptr;
}

bool CCursor::LoadSystem(HINSTANCE instance, const wchar_t* name)
{
    HCURSOR loaded = LoadCursorW(instance, name);
    // Resource cursors are shared by the whole process: never destroyed.
    Keep(loaded, true);
    return loaded != nullptr;
}

bool CCursor::LoadSystem2(HINSTANCE instance, const wchar_t* name)
{
    return LoadSystem(instance, name);
}

HCURSOR CCursor::GetHandle()
{
    return m_cursor.Get();
}

void CCursor::Reserved()
{
}

void CCursor::Apply()
{
    if (GetCursor() != m_cursor.Get())
        SetCursor(m_cursor.Get());
}

void CCursor::Keep(HCURSOR cursor, bool shared)
{
    Common::CursorTraits traits;
    traits.shared = shared;
    m_cursor = Common::CScopedCursor(cursor, traits);
}

Common::TIntrusivePointer<ICursor> ICursor_Create()
{
    return Common::TIntrusivePointer<ICursor>(new (std::nothrow) CCursor());
}

} // namespace DirectUI
} // namespace RVGameEngine
