#pragma once

// Skins drawn as solid colour frames, and UI systems over a recording or a
// bitmap driver, for the controls' tests.

#include "tests/engine/directui/drawing/BitmapDriver.h"
#include "tests/engine/directui/uisystem/UITestSupport.h"
#include "tests/support/LogCapture.h"

#include "engine/directui/uisystem/IUIStatisticsManager.h"

#include <cwchar>
#include <string>

namespace ControlTest {

using namespace UITest;

// One colour per frame of a generated strip, in frame order.
constexpr Gdiplus::ARGB kFrameColours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                           0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
constexpr Gdiplus::ARGB kBackground = 0xFF000000;

// A temporary folder, made the current one, for the skins a test writes.
struct SkinFolder
{
    RVTest::TempFolder folder;
    RVTest::ScopedCurrentFolder current{folder.Path()};

    // A strip of `frames` frames side by side, frame k filled with kFrameColours[k].
    void Strip(const wchar_t* name, int frameWidth, int height, int frames)
    {
        ASSERT_TRUE(WriteBmp(folder.Child(name), frameWidth * frames, height,
                             [frameWidth, frames](int x, int) { return kFrameColours[std::min(x / frameWidth, frames - 1)]; }));
    }
    void Solid(const wchar_t* name, int width, int height, Gdiplus::ARGB colour = kFrameColours[0])
    {
        ASSERT_TRUE(WriteBmp(folder.Child(name), width, height, [colour](int, int) { return colour; }));
    }
};

// A UI system drawing into a 200 x 100 bitmap, with its root over all of it.
struct PaintedUI
{
    TIntrusivePointer<BitmapDriver> driver{new BitmapDriver(200, 100)};
    TIntrusivePointer<IUISystem> ui{IUISystem_Create(driver.Get())};

    PaintedUI()
    {
        ui->Initialize();
        ui->GetRootWindow()->SetRect(0, 0, 200, 100);
    }
    ~PaintedUI() { ui->ResetWindowTree(); }

    void Load(const wchar_t* text)
    {
        TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
        ui->GetRootWindow()->LoadAttributes(document->Parse(text));
    }
    // Clears the bitmap and paints the window tree.
    void Paint()
    {
        driver->FillRect(0, 0, 200, 100, tagColor(0, 0, 0));
        driver->RaisePaint();
    }
};

// The control of that name and interface under the root.
template <typename Interface>
Interface* Find(IUISystem* ui, const wchar_t* name)
{
    return dynamic_cast<Interface*>(ui->GetRootWindow()->FindWindow(name));
}

// The window behind an interface, to call its handlers as another window would.
inline CUIWindow* Window(IUIWindow* window)
{
    return dynamic_cast<CUIWindow*>(window);
}

// Clicks counted for the window's full name so far.
inline uint32_t ClickHits(const wchar_t* fullName)
{
    IUIStatisticsManager* statistics = IUIStatisticsManager_GetInstance();
    const std::wstring suffix = std::wstring(L":Device:") + fullName;
    for (int32_t i = 0; i < statistics->GetItemCount(); ++i) {
        const std::wstring key = statistics->GetItemName(i);
        if (key.size() >= suffix.size() && key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0)
            return statistics->GetItemHits(i);
    }
    return 0;
}

// Counts the events of one id a window raises.
struct EventCounter
{
    int count = 0;
    void On(void*, tagEventArgs*) { ++count; }
    void Watch(IUIWindow* window, int32_t eventId) { window->AddMemberFunctionDelegate(eventId, this, &EventCounter::On); }
};

} // namespace ControlTest
