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

// The visible top-level frame window of that title, waited for (bounded).
inline HWND WaitForFrame(const wchar_t* title, DWORD limitMs = 60000)
{
    for (DWORD waited = 0; waited < limitMs; waited += 50) {
        HWND window = FindWindowW(kFrameClass, title);
        if (window != nullptr && IsWindowVisible(window))
            return window;
        Sleep(50);
    }
    return nullptr;
}

inline bool WaitUntilGone(HWND window, DWORD limitMs = 120000)
{
    for (DWORD waited = 0; waited < limitMs; waited += 50) {
        if (!IsWindow(window))
            return true;
        Sleep(50);
    }
    return false;
}

template <typename Condition>
bool WaitUntil(Condition condition, DWORD limitMs = 20000)
{
    return RVTest::WaitUntil(condition, limitMs);
}

inline void SendMouseButton(DWORD flag)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

// Moves the real cursor to the middle of the rectangle (client coordinates of
// the window) and clicks there, with pauses for the window to see each step.
inline void ClickRect(HWND window, const RECT& rect)
{
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    Sleep(120);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(80);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

inline void ClickControl(HWND window, const wchar_t* description, const wchar_t* name)
{
    ClickRect(window, DescribedRect(description, name));
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
