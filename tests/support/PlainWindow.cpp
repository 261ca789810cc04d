#include "tests/support/PlainWindow.h"

namespace RVTest {

RVGameEngine::Common::CScopedWindow MakePlainWindow(const wchar_t* title, bool visible, const RECT& place,
                                                    DWORD extendedStyle)
{
    static const ATOM registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kPlainWindowClass;
        return RegisterClassW(&windowClass);
    }();
    (void)registered;
    return RVGameEngine::Common::CScopedWindow(
        CreateWindowExW(extendedStyle | WS_EX_TOOLWINDOW, kPlainWindowClass, title, WS_POPUP | (visible ? WS_VISIBLE : 0),
                        place.left, place.top, place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                        GetModuleHandleW(nullptr), nullptr));
}

} // namespace RVTest
