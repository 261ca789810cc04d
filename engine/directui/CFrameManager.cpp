#include "engine/directui/CFrameManager.h"

#include <new>

#include <gdiplus.h>

namespace RVGameEngine {
namespace DirectUI {

namespace {
constexpr UINT kFrameClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_SAVEBITS;
}

ATOM CFrameManager::Initialize()
{
    // GDI+ stays up for the whole run: frames draw with it until the process ends.
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = kFrameClassStyle;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kFrameClassName;
    return RegisterClassExW(&windowClass);
}

LRESULT CALLBACK CFrameManager::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No frame is registered with the manager yet: every message takes the
    // default handling.
    return DefWindowProcW(window, message, wParam, lParam);
}

IFrameManager* IFrameManager_GetInstance()
{
    static IFrameManager* instance = nullptr;
    if (instance == nullptr) {
        instance = new (std::nothrow) CFrameManager();
        if (instance != nullptr)
            instance->AddRef();
    }
    return instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
