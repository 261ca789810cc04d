#pragma once

// Text controls over a recording driver whose fonts are fixed-pitch tables,
// whose modifier keys the test holds down, and which records positioned text.

#include "tests/engine/directui/uisystem/UITestSupport.h"

#include <cstring>
#include <map>
#include <set>

namespace UITest {

class TextDriver : public RecordingDriver
{
public:
    std::set<int32_t> keysDown;

    // "Default" is font 0 and "Big" font 1; any other name is font 2.
    int32_t GetFont(const wchar_t* name) override
    {
        const std::wstring text = name != nullptr ? name : L"";
        return text == L"Default" ? 0 : text == L"Big" ? 1 : 2;
    }
    // Characters below U+0100 are 10 pixels wide, 'i' 4, the others 20; a
    // line is 16 pixels high in font 0 and 4 more per font number.
    // Characters measured so far, all texts together, and texts measured.
    int64_t measuredCharacters = 0;
    int64_t measuredTexts = 0;
    // When set, every character advances this many pixels, fractions
    // included, and a text is as wide as its whole pixels: one character's
    // width times the count is not the text's width, as with real fonts.
    double fractionalAdvance = 0.0;

    void MeasureText(int32_t font, const wchar_t* text, int32_t* width, int32_t* height) override
    {
        ++measuredTexts;
        int32_t total = 0;
        double advance = 0.0;
        for (const wchar_t* c = text; *c != L'\0'; ++c, ++measuredCharacters) {
            total += CharWidth(*c);
            advance += fractionalAdvance;
        }
        *width = fractionalAdvance > 0.0 ? static_cast<int32_t>(advance) : total;
        *height = 16 + 4 * font;
    }
    static int32_t CharWidth(wchar_t c) { return c == L'i' ? 4 : c < 0x100 ? 10 : 20; }

    void DrawText(int32_t font, const wchar_t* text, tagColor c, int32_t x, int32_t y) override
    {
        Record("draw %ls at %d,%d font %d colour %d,%d,%d", text, x, y, font, c.red, c.green, c.blue);
    }
    bool IsKeyDown(int32_t key) override { return keysDown.count(key) != 0; }
    bool IsKeyUp(int32_t key) override { return keysDown.count(key) == 0; }
};

// A UI system over a text driver, with a 400 x 300 root.
struct TextUI
{
    TIntrusivePointer<TextDriver> driver{new TextDriver()};
    TIntrusivePointer<IUISystem> ui{IUISystem_Create(driver.Get())};

    TextUI()
    {
        ui->Initialize();
        ui->GetRootWindow()->SetRect(0, 0, 400, 300);
        driver->calls.clear();
    }
    ~TextUI() { ui->ResetWindowTree(); }

    // A new control of the type under the root, placed.
    template <typename Interface>
    Interface* Add(const wchar_t* type, int x, int y, int w, int h)
    {
        TIntrusivePointer<IUIWindow> window(ui->CreateControl(type));
        ui->GetRootWindow()->AddChild(window.Get());
        window->SetRect(x, y, w, h);
        return dynamic_cast<Interface*>(window.Get());
    }

    CUIWindow* Root() { return dynamic_cast<CUIWindow*>(ui->GetRootWindow()); }
    // Paints the whole tree.
    void Paint() { Root()->OnPaint(); }
    // Builds windows under the root from description text.
    void Load(const wchar_t* text)
    {
        TIntrusivePointer<RVGameEngine::Common::IXmlScript> document = RVGameEngine::Common::IXmlScript_Create();
        Root()->LoadAttributes(document->Parse(text));
    }

    // Presses the key with the modifiers held, as the frame delivers it.
    void Press(int32_t key, std::initializer_list<int32_t> modifiers = {})
    {
        driver->keysDown.insert(modifiers.begin(), modifiers.end());
        driver->RaiseKeyDown(key);
        for (int32_t modifier : modifiers)
            driver->keysDown.erase(modifier);
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
            driver->RaiseChar(c);
    }
    void Click(int x, int y)
    {
        driver->RaiseLButtonDown(x, y);
        driver->RaiseLButtonUp(x, y);
    }
};

// Counts the events a control raises, by id.
struct EventCounter
{
    std::map<int, int> counts;
    template <int Id>
    void On(void*, tagEventArgs*)
    {
        ++counts[Id];
    }
    template <int Id>
    void Watch(IUIWindow* window)
    {
        window->AddMemberFunctionDelegate(Id, this, &EventCounter::On<Id>);
    }
};

inline std::wstring Wide(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

} // namespace UITest
