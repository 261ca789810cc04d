#pragma once

#include "engine/common/base/GdiplusStartup.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/ControlFactory.h"
#include "engine/directui/uisystem/CUISystem.h"
#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/directui/uisystem/WindowEventArgs.h"
#include "engine/directui/uisystem/IPanel.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "tests/engine/directui/uisystem/RecordingDriver.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace UITest {

using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::Common::tagEventArgs;
using Lines = std::vector<std::string>;

// The controls' makers, registered before any test runs, as engine start-up
// registers them in the program.
inline const bool g_controlsRegistered = (RVGameEngine::DirectUI::RegisterControls(), true);

// GDI+ decodes the test pictures; started once per test program.
struct GdiplusEnvironment : ::testing::Environment
{
    void SetUp() override { ASSERT_TRUE(RVGameEngine::Common::StartGdiplus()); }
};

// A UI system over a recording driver, with a 400 x 300 root.
struct RecordedUI
{
    TIntrusivePointer<RecordingDriver> driver{new RecordingDriver()};
    TIntrusivePointer<IUISystem> ui{IUISystem_Create(driver.Get())};

    RecordedUI()
    {
        ui->Initialize();
        Root()->SetRect(0, 0, 400, 300);
        driver->calls.clear();
    }
    ~RecordedUI() { ui->ResetWindowTree(); }

    CUISystem* System() { return static_cast<CUISystem*>(ui.Get()); }
    IUIWindow* Root() { return ui->GetRootWindow(); }

    // A new window of the type (a plain window for an empty type) under the
    // parent, named and placed.
    IUIWindow* Add(IUIWindow* parent, const wchar_t* name, int x, int y, int w, int h, const wchar_t* type = L"")
    {
        TIntrusivePointer<IUIWindow> window(type[0] != L'\0' ? ui->CreateControl(type) : new CUIWindow());
        window->SetName(name);
        parent->AddChild(window.Get());
        window->SetRect(x, y, w, h);
        return window.Get();
    }

    // Builds windows under the root from description text.
    void Load(const wchar_t* text)
    {
        TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
        Root()->LoadAttributes(document->Parse(text));
    }
};

// Writes a line per window event it sees into a shared log: "<name> <event>",
// with the character, the wheel's steps or a double click's position.
class EventLog
{
public:
    std::vector<std::string> lines;
    // Windows whose name is listed here take the mouse input they see.
    std::vector<std::string> takers;
    // Left presses are written with their position.
    bool lastDownAt = false;

    void Watch(IUIWindow* window, std::initializer_list<int> events)
    {
        for (int id : events)
            Subscribe(window, id, std::make_integer_sequence<int, kPanelMouseWheelEvent + 1>());
    }

private:
    template <int... Ids>
    void Subscribe(IUIWindow* window, int id, std::integer_sequence<int, Ids...>)
    {
        (void(id == Ids && (window->AddMemberFunctionDelegate(id, this, &EventLog::On<Ids>), true)), ...);
    }
    template <int Id>
    void On(void* sender, tagEventArgs* args)
    {
        static const char* const kNames[] = {"paint", "key",  "keyup", "char",  "double", "down", "up", "rdouble", "rdown",
                                             "rup",   "move", "enter", "leave", "focus",  "blur", "",   "wheel"};
        const wchar_t* wide = static_cast<IUIWindow*>(sender)->GetName();
        const std::string name(wide, wide + wcslen(wide));
        std::string line = name + " " + kNames[Id];
        if (auto* mouse = dynamic_cast<tagWindowMouseEventArgs*>(args)) {
            if (Id == WINDOW_EVENT_LBUTTON_DBLCLK || (Id == WINDOW_EVENT_LBUTTON_DOWN && lastDownAt))
                line += " " + std::to_string(mouse->x) + "," + std::to_string(mouse->y);
            if (std::find(takers.begin(), takers.end(), name) != takers.end())
                mouse->continueRouting = false;
        }
        if (auto* character = dynamic_cast<tagWindowCharEventArgs*>(args))
            line += " " + std::to_string(character->character);
        if (auto* wheel = dynamic_cast<tagWindowMouseWheelEventArgs*>(args))
            line += " " + std::to_string(wheel->steps);
        lines.push_back(line);
    }
};

// Writes a 32-bit bottom-up BMP whose pixel (x, y) is argb(x, y).
template <typename Pixel>
bool WriteBmp(const std::wstring& path, int width, int height, Pixel argb)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const uint32_t pixelBytes = static_cast<uint32_t>(width * height * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t value = argb(x, y);
            bytes.append(reinterpret_cast<const char*>(&value), 4);
        }
    }
    return RVTest::WriteWholeFile(path, bytes);
}

// Writes the text as UTF-16 with its byte-order mark, as the UI's documents are kept.
inline void WriteUtf16(const std::wstring& path, const std::wstring& text)
{
    const std::wstring withMark = L"\xFEFF" + text;
    ASSERT_TRUE(RVTest::WriteWholeFile(path, std::string(reinterpret_cast<const char*>(withMark.data()),
                                                         withMark.size() * 2)));
}

const tagColor kOpaqueWhite(255, 255, 255, 255);

// A window that takes the keyboard focus.
class FocusableWindow : public CUIWindow
{
public:
    bool IsFocusable() override { return true; }
};

} // namespace UITest
