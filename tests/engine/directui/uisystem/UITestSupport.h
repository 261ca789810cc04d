#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/CUISystem.h"
#include "engine/directui/CUIWindow.h"
#include "engine/directui/UIColorFunctions.h"
#include "engine/directui/WindowEventArgs.h"
#include "engine/directui/controls/IPanel.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "tests/engine/directui/uisystem/RecordingDriver.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include "tests/support/TempFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace UITest {

using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::Common::tagEventArgs;

// GDI+ decodes the test pictures; started once per test program.
struct GdiplusEnvironment : ::testing::Environment
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    void SetUp() override { ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr)); }
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

// Writes a line per window event it sees into a shared log: "<name> <event>".
class EventLog
{
public:
    std::vector<std::string> lines;

    void Watch(IUIWindow* window, std::initializer_list<int> events)
    {
        for (int id : events) {
            switch (id) {
            case WINDOW_EVENT_PAINT: window->AddMemberFunctionDelegate(id, this, &EventLog::OnPaint); break;
            case WINDOW_EVENT_LBUTTON_DOWN: window->AddMemberFunctionDelegate(id, this, &EventLog::OnDown); break;
            case WINDOW_EVENT_LBUTTON_UP: window->AddMemberFunctionDelegate(id, this, &EventLog::OnUp); break;
            case WINDOW_EVENT_MOUSE_MOVE: window->AddMemberFunctionDelegate(id, this, &EventLog::OnMove); break;
            case WINDOW_EVENT_MOUSE_ENTER: window->AddMemberFunctionDelegate(id, this, &EventLog::OnEnter); break;
            case WINDOW_EVENT_MOUSE_LEAVE: window->AddMemberFunctionDelegate(id, this, &EventLog::OnLeave); break;
            case WINDOW_EVENT_KEY_DOWN: window->AddMemberFunctionDelegate(id, this, &EventLog::OnKey); break;
            case WINDOW_EVENT_FOCUS_GAINED: window->AddMemberFunctionDelegate(id, this, &EventLog::OnFocus); break;
            case WINDOW_EVENT_FOCUS_LOST: window->AddMemberFunctionDelegate(id, this, &EventLog::OnBlur); break;
            case WINDOW_EVENT_RBUTTON_DOWN: window->AddMemberFunctionDelegate(id, this, &EventLog::OnRDown); break;
            case WINDOW_EVENT_LBUTTON_DBLCLK: window->AddMemberFunctionDelegate(id, this, &EventLog::OnDouble); break;
            case WINDOW_EVENT_CHAR: window->AddMemberFunctionDelegate(id, this, &EventLog::OnChar); break;
            case kPanelMouseWheelEvent: window->AddMemberFunctionDelegate(id, this, &EventLog::OnWheel); break;
            default: ADD_FAILURE() << "no watcher for event " << id;
            }
        }
    }
    // Windows whose name is listed here take the input they see.
    std::vector<std::string> takers;
    // Presses are written with their position.
    bool lastDownAt = false;

private:
    static std::string NameOf(void* sender)
    {
        const wchar_t* name = static_cast<IUIWindow*>(sender)->GetName();
        return std::string(name, name + wcslen(name));
    }
    void Note(void* sender, const char* what) { lines.push_back(NameOf(sender) + " " + what); }
    void Mouse(void* sender, tagEventArgs* args, const char* what)
    {
        Note(sender, what);
        for (const std::string& taker : takers) {
            if (taker == NameOf(sender))
                static_cast<tagWindowMouseEventArgs*>(args)->continueRouting = false;
        }
    }
    void OnPaint(void* s, tagEventArgs*) { Note(s, "paint"); }
    void OnDown(void* s, tagEventArgs* a)
    {
        const auto* mouse = static_cast<tagWindowMouseEventArgs*>(a);
        Mouse(s, a, lastDownAt ? ("down " + std::to_string(mouse->x) + "," + std::to_string(mouse->y)).c_str() : "down");
    }
    void OnUp(void* s, tagEventArgs* a) { Mouse(s, a, "up"); }
    void OnMove(void* s, tagEventArgs* a) { Mouse(s, a, "move"); }
    void OnRDown(void* s, tagEventArgs* a) { Mouse(s, a, "rdown"); }
    void OnDouble(void* s, tagEventArgs* a)
    {
        const auto* mouse = static_cast<tagWindowMouseEventArgs*>(a);
        Mouse(s, a, ("double " + std::to_string(mouse->x) + "," + std::to_string(mouse->y)).c_str());
    }
    void OnChar(void* s, tagEventArgs* a)
    {
        Note(s, ("char " + std::to_string(static_cast<tagWindowCharEventArgs*>(a)->character)).c_str());
    }
    void OnWheel(void* s, tagEventArgs* a)
    {
        Note(s, ("wheel " + std::to_string(static_cast<tagWindowMouseWheelEventArgs*>(a)->steps)).c_str());
    }
    void OnEnter(void* s, tagEventArgs*) { Note(s, "enter"); }
    void OnLeave(void* s, tagEventArgs*) { Note(s, "leave"); }
    void OnKey(void* s, tagEventArgs*) { Note(s, "key"); }
    void OnFocus(void* s, tagEventArgs*) { Note(s, "focus"); }
    void OnBlur(void* s, tagEventArgs*) { Note(s, "blur"); }
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
