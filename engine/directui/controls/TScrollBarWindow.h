#pragma once

#include "engine/directui/controls/CScrollBarCore.h"
#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/WindowEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

// The window side that both scroll bars share: each handler, the layout and
// the range, page, position and step go to the bar's core. Interface is the
// bar's own interface, ScrolledArgs the record of its Scrolled event.
template <typename Interface, typename ScrolledArgs>
class TScrollBarWindow : public CUIWindow, public Interface
{
public:
    // The window's own handler table.
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override
    {
        m_core.OnLButtonDown(x, y, continueRouting);
    }
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override
    {
        m_core.OnLButtonUp(x, y, continueRouting);
    }
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override
    {
        m_core.OnMouseMove(x, y, continueRouting);
    }
    void OnPaint() override { m_core.OnPaint(); }
    // A turn away from the user steps towards 0; the parent never sees the turn.
    void OnMouseWheel(int32_t steps) override { m_core.OnMouseWheel(steps); }

    // IUIWindow
    void SetRect(int32_t x, int32_t y, int32_t width, int32_t height) override
    {
        CUIWindow::SetRect(x, y, width, height);
        m_core.LayoutButtons();
    }
    void LoadAttributes(Common::IXmlElement* element) override
    {
        CUIWindow::LoadAttributes(element);
        if (element == nullptr)
            return;
        m_core.LoadImages(element);
        CreateButtons();
        Invalidate();
    }

    // The bar's interface (the vertical one declares the first three too).
    // Scrolled is each bar's first event of its own.
    void RaiseScrolled()
    {
        ScrolledArgs args;
        Fire(kFirstControlEvent, static_cast<Interface*>(this), &args);
    }
    void CreateButtons() { m_core.CreateButtons(); }
    bool IsDragging() override { return m_core.IsDragging(); }
    void SetRange(int32_t range) override { m_core.SetRange(range); }
    int32_t GetRange() override { return m_core.GetRange(); }
    void SetPosition(int32_t position) override { m_core.SetPosition(position); }
    int32_t GetPosition() override { return m_core.GetPosition(); }
    void SetPage(int32_t page) override { m_core.SetPage(page); }
    int32_t GetPage() override { return m_core.GetPage(); }
    void SetStep(int32_t step) override { m_core.SetStep(step); }
    int32_t GetStep() override { return m_core.GetStep(); }

protected:
    explicit TScrollBarWindow(bool horizontal) : m_core(this, horizontal, [this]() { RaiseScrolled(); }) {}

    CScrollBarCore m_core;
};

} // namespace DirectUI
} // namespace RVGameEngine
