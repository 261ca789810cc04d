#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IAppPanel.h"
#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// Dragged sideways by the mouse; a release flicks one page or settles on the
// nearest one with a short animation. Presses still reach the children until
// the drag starts.
class RV_API CAppPanel : public CUIWindow, public IAppPanel
{
public:
    using ClockFunction = int32_t (*)();

    CAppPanel();

    // IAppPanel
    int32_t GetPageWidth() override;
    int32_t GetPageCount() override;
    int32_t GetCurrentPage() override;
    void SetPage(int32_t page) override;
    void ScrollToPage(int32_t page) override;
    void PreviousPage() override;
    void NextPage() override;

    // IUIWindow
    void LoadAttributes(Common::IXmlElement* element) override;

    // CUIWindow
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnFrameMove(int32_t elapsedMs) override;
    void OnMouseWheel(int32_t steps) override;

    // The engine's millisecond clock unless replaced (tests).
    void SetClock(ClockFunction clock);

private:
    int32_t LastPageIndex();
    void CancelChildPress();
    void EndPress();
    void MoveTowardTarget();

    bool m_pressed = false;
    int32_t m_pressX = 0, m_pressY = 0;
    int32_t m_pressPanelX = 0;
    int32_t m_animStartX = 0, m_animTargetX = 0;
    int32_t m_animStartTime = 0, m_animDuration = 0;
    int32_t m_lastPage = 0;
    int32_t m_switchPageDistance = 50;
    int32_t m_switchPageDragTime = 500;
    int32_t m_pressTime = 0;
    Common::TIntrusivePointer<IUIWindow> m_pressedWindow;
    ClockFunction m_clock;
    bool m_warnedAboutWidth = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
