#pragma once

// The installer's unpacked window files, what its descriptions say about
// their controls, and driving its windows from another thread as a player
// would (real cursor and clicks: hover checks read the real cursor).

#include "tests/installer/InstallerTestSupport.h"

#include "installer/core/extraction/PackedResourceFunctions.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/startup/EngineStartup.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include "tests/engine/directui/uisystem/UITestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/OwnWindows.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitUntil.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace UiTests {

constexpr const wchar_t* kSceneTitle = L"Wendmoor - 安装";
constexpr const wchar_t* kDialogTitle = L"提示";
constexpr const wchar_t* kFrameClass = L"RVFRAME";

// One control element of a description, with its rectangle in the frame.
struct tagDescribedControl
{
    std::wstring type;
    std::wstring name;
    std::wstring titleFont;
    RECT rect;
};

inline bool IsImageElement(RVGameEngine::Common::IXmlElement* element)
{
    return element->HasAttribute(L"Filename");
}

inline void CollectControls(RVGameEngine::Common::IXmlElement* element, int parentX, int parentY,
                            std::vector<tagDescribedControl>* controls)
{
    for (int32_t i = 0; i < element->GetChildCount(); ++i) {
        RVGameEngine::Common::IXmlElement* child = element->GetChild(i);
        if (IsImageElement(child))
            continue;
        const int x = parentX + child->GetAttributeInt(L"X");
        const int y = parentY + child->GetAttributeInt(L"Y");
        controls->push_back({child->GetName(), child->GetAttribute(L"Name"),
                             child->HasAttribute(L"TitleFont") ? child->GetAttribute(L"TitleFont") : L"Default",
                             {x, y, x + child->GetAttributeInt(L"Width"), y + child->GetAttributeInt(L"Height")}});
        CollectControls(child, x, y, controls);
    }
}

// Every control of the description, parents before children.
inline std::vector<tagDescribedControl> DescribedControls(const wchar_t* file)
{
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::Common::IXmlScript> document =
        RVGameEngine::Common::IXmlScript_Create();
    std::vector<tagDescribedControl> controls;
    CollectControls(document->LoadFromFile(file), 0, 0, &controls);
    return controls;
}

inline RECT DescribedRect(const wchar_t* file, const wchar_t* name)
{
    for (const tagDescribedControl& control : DescribedControls(file))
        if (control.name == name)
            return control.rect;
    return RECT{0, 0, 0, 0};
}

// The engine as the installer starts it (frames, fonts, COM), once per process.
inline void StartEngine()
{
    static const bool started = [] {
        RVGameEngine::Common::EngineInitialize(L"WMGameInstaller");
        return true;
    }();
    (void)started;
}

inline void PumpMessages()
{
    RVTest::DeliverPostedMessages();
}

// Pumps this thread's messages until the condition holds (bounded).
template <typename Condition>
bool PumpUntil(Condition condition, DWORD limitMs = 5000)
{
    for (DWORD waited = 0; waited < limitMs; waited += 10) {
        PumpMessages();
        if (condition())
            return true;
        Sleep(10);
    }
    return condition();
}

// The installer's package unpacked into a folder of its own, made current,
// with its fonts loaded, as the installer has it when it builds its window.
struct UnpackedWindowFiles
{
    RVTest::TempFolder folder;
    bool unpacked = InstallerTests::ExtractPackageInto(kInstallerPackage, folder.Path());
    RVTest::ScopedCurrentFolder current{folder.Path()};

    UnpackedWindowFiles()
    {
        StartEngine();
        RVGameEngine::DirectUI::IFontManager_GetInstance()->LoadFontList(L"Installer/Font/FontList.xml");
    }
};

// ---- Driving windows from another thread -----------------------------------------

// This process's visible top-level frame window of that title, waited for
// (bounded); other test programs show frames of the same class and title on
// the same desktop.
inline HWND WaitForFrame(const wchar_t* title, DWORD limitMs = 60000)
{
    return RVTest::WaitForOwnVisibleWindow(kFrameClass, title, limitMs);
}

inline bool WaitUntilGone(HWND window, DWORD limitMs = 120000)
{
    return RVTest::WaitUntil([window] { return !IsWindow(window); }, limitMs);
}

template <typename Condition>
bool WaitUntil(Condition condition, DWORD limitMs = 20000)
{
    return RVTest::WaitUntil(condition, limitMs);
}

// Puts the real cursor at the screen point and waits (bounded) until it
// stays there, so that the window sees the pointer come over the control
// before it is pressed, as a player's would. The display server may still
// hold a crossing or motion event from before the move (a window just shown
// under the old place), which the window's thread turns into a move back
// there when it reads it. Each look follows a round trip to that thread, so
// that what it held has been read.
inline bool PlaceCursor(HWND window, POINT point)
{
    SetCursorPos(point.x, point.y);
    int steady = 0;
    return WaitUntil([&] {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &answer);
        POINT now = {};
        if (GetCursorPos(&now) && now.x == point.x && now.y == point.y)
            return ++steady >= 2;
        steady = 0;
        SetCursorPos(point.x, point.y);
        return false;
    });
}

// How long a window may take to be ready for a click on a busy machine.
constexpr DWORD kClickReadyLimitMs = 30000;

// How long a press may take to reach a busy window's thread.
constexpr DWORD kPressTakenLimitMs = 10000;

// A press or release that carries its own position: the display server may
// still hold a motion event from before the cursor was placed, which the
// window's thread turns into a move back when it reads it, and a button
// that went where the cursor is would then go there. Absolute positions are
// in 65536ths of the screen; rounded up, they map back to the same pixel.
inline bool SendButtonAt(POINT point, DWORD button)
{
    const LONGLONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        return false;
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((point.x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((point.y * 65536LL + height - 1) / height);
    input.mi.dwFlags = button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &input, sizeof input) == 1;
}

// A control takes the mouse when it is pressed, so a press took hold once
// the window's thread holds the mouse for the window.
inline bool HoldsTheMouse(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndCapture == window;
}

// Moves the real cursor to the middle of the rectangle (client coordinates of
// the window) and clicks there, once a click there would reach the window
// (shown, enabled and in the foreground unless a refused click is meant,
// answering, on top at the point). The press and the release carry the
// point, and the release follows only once the press took hold. A press that
// did not take hold is not tried again: the window may have lost the front
// while pressed, which ends the press as a release where the pointer was,
// and a second press would then click twice. The click is only queued: the
// caller waits for what it does. Says why it did not click; empty once it
// did.
inline std::wstring ClickRect(HWND window, const RECT& rect, bool mustBeEnabled = true)
{
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window, &point);
    const std::wstring why = RVTest::WaitUntilAClickLands(window, point, mustBeEnabled, kClickReadyLimitMs);
    if (!why.empty())
        return why;
    if (mustBeEnabled && !WaitUntil([window] { return !HoldsTheMouse(window); }, kClickReadyLimitMs))
        return L"the window still holds the mouse from an earlier press";
    if (!PlaceCursor(window, point))
        return L"the cursor did not stay at the point";
    if (!SendButtonAt(point, MOUSEEVENTF_LEFTDOWN))
        return L"the system took no press (error " + std::to_wstring(GetLastError()) + L")";
    // A refused click is meant to go nowhere.
    const bool tookHold = mustBeEnabled && WaitUntil([window] { return HoldsTheMouse(window); }, kPressTakenLimitMs);
    if (!SendButtonAt(point, MOUSEEVENTF_LEFTUP))
        return L"the system took no release (error " + std::to_wstring(GetLastError()) + L")";
    if (mustBeEnabled && !tookHold)
        return L"the press did not take hold: the window never held the mouse";
    return std::wstring();
}

inline std::wstring ClickControl(HWND window, const wchar_t* description, const wchar_t* name,
                                 bool mustBeEnabled = true)
{
    return ClickRect(window, DescribedRect(description, name), mustBeEnabled);
}

// The whole screen as a BMP file (a test artifact to look at).
inline bool SaveScreenshot(const std::wstring& path)
{
    using namespace RVGameEngine::Common;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    CScopedWindowDc screen(GetDC(nullptr));
    CScopedCreatedDc memory(CreateCompatibleDC(screen.Get()));
    CScopedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!screen || !memory || !bitmap)
        return false;
    HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    SelectObject(memory.Get(), previous);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory.Get(), bitmap.Get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    return UITest::WriteBmp(path, width, height,
                            [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x] | 0xFF000000u; });
}

// Screenshots go beside the test program, in a folder of their own.
inline void KeepScreenshot(const wchar_t* name)
{
    const std::wstring folder = InstallerTests::ProgramFolder() + L"screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    SaveScreenshot(folder + L"\\" + name + L".bmp");
}

} // namespace UiTests
