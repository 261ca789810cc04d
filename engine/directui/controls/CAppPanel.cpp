#include "engine/directui/controls/CAppPanel.h"

#include "engine/common/base/Console.h"
#include "engine/common/base/TimeFunctions.h"
#include "engine/directui/controls/CClickSequence.h"
#include "engine/directui/controls/CRoutingFlag.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <cstdlib>

namespace RVGameEngine {
namespace DirectUI {

namespace {

constexpr int32_t kPageAnimationMs = 200;

} // namespace

CAppPanel::CAppPanel() : m_clock(&Common::GetTimeMs) {}

void CAppPanel::SetClock(ClockFunction clock) { m_clock = clock != nullptr ? clock : &Common::GetTimeMs; }

// A width that is no whole number of pages is a fault of the description:
// it is shown once, and the pages that fit are used.
int32_t CAppPanel::GetPageWidth()
{
    IUIWindow* parent = GetParent();
    const int32_t pageWidth = parent != nullptr ? parent->GetWidth() : 0;
    if (pageWidth > 0 && GetWidth() % pageWidth != 0 && !m_warnedAboutWidth) {
        m_warnedAboutWidth = true;
        Common::ShowEngineDebuggingWarningMessage(L"AppPanel's width must be times of its parent's width!");
    }
    return pageWidth > 0 ? pageWidth : 0;
}

int32_t CAppPanel::GetPageCount()
{
    const int32_t pageWidth = GetPageWidth();
    return pageWidth > 0 ? GetWidth() / pageWidth : 0;
}

int32_t CAppPanel::LastPageIndex()
{
    const int32_t count = GetPageCount();
    return count > 0 ? count - 1 : 0;
}

int32_t CAppPanel::GetCurrentPage()
{
    const int32_t pageWidth = GetPageWidth();
    if (pageWidth <= 0)
        return 0;
    const int32_t page = (pageWidth / 2 - GetX()) / pageWidth;
    return page < 0 ? 0 : page > LastPageIndex() ? LastPageIndex() : page;
}

void CAppPanel::SetPage(int32_t page)
{
    if (page < 0 || page >= GetPageCount())
        return;
    m_animTargetX = -page * GetPageWidth();
    SetX(m_animTargetX);
}

void CAppPanel::ScrollToPage(int32_t page)
{
    page = page < 0 ? 0 : page > LastPageIndex() ? LastPageIndex() : page;
    m_animStartX = GetX();
    m_animTargetX = -page * GetPageWidth();
    m_animStartTime = m_clock();
    m_animDuration = kPageAnimationMs;
}

void CAppPanel::PreviousPage() { ScrollToPage(GetCurrentPage() - 1); }
void CAppPanel::NextPage() { ScrollToPage(GetCurrentPage() + 1); }

void CAppPanel::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    if (element->HasAttribute(L"SwitchPageDistance"))
        m_switchPageDistance = element->GetAttributeInt(L"SwitchPageDistance");
    if (element->HasAttribute(L"SwitchPageDragTime"))
        m_switchPageDragTime = element->GetAttributeInt(L"SwitchPageDragTime");
    Invalidate();
}

void CAppPanel::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    bool childRouting = true;
    CUIWindow::OnLButtonDown(x, y, &childRouting);
    if (!HitTest(x, y))
        return;
    m_pressed = true;
    IUISystem* system = GetUISystem();
    m_pressedWindow = Common::TIntrusivePointer<IUIWindow>(system != nullptr ? system->GetCaptureWindow() : nullptr);
    CaptureMouse();
    Invalidate();
    CRoutingFlag(continueRouting).Take();
    m_pressX = x;
    m_pressY = y;
    m_pressPanelX = GetX();
    m_pressTime = m_clock();
}

// The child that took the press gets a release far outside it, so that the
// drag ends its press without a click.
void CAppPanel::CancelChildPress()
{
    auto* child = dynamic_cast<CUIWindow*>(m_pressedWindow.Get());
    if (child == nullptr || child == static_cast<CUIWindow*>(this))
        return;
    const Common::TIntrusivePointer<IUIWindow> keep(m_pressedWindow);
    bool routing = true;
    child->OnLButtonUp(CClickSequence::kFarAwayCoordinate, CClickSequence::kFarAwayCoordinate, &routing);
}

void CAppPanel::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnMouseMove(x, y, routing.Get());
    if (!routing.IsUntaken() || !m_pressed)
        return;
    if (std::abs(x - m_pressX) > 1 || std::abs(y - m_pressY) > 1)
        CancelChildPress();
    SetX(m_pressPanelX + (x - m_pressX));
}

void CAppPanel::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    if (std::abs(x - m_pressX) < 2 && std::abs(y - m_pressY) < 2) {
        bool childRouting = true;
        CUIWindow::OnLButtonUp(x, y, &childRouting);
        if (!childRouting) {
            EndPress();
            routing.Take();
            return;
        }
    }
    ReleaseMouse();
    if (m_pressed && HitTest(x, y))
        routing.Take();
    EndPress();
    const int32_t pageWidth = GetPageWidth();
    const int32_t distance = std::abs(x - m_pressX);
    const int32_t elapsed = m_clock() - m_pressTime;
    if (elapsed < m_switchPageDragTime && m_switchPageDistance <= distance && distance < pageWidth / 2) {
        if (x - m_pressX <= 0)
            NextPage();
        else
            PreviousPage();
    } else {
        ScrollToPage(GetCurrentPage());
    }
    Invalidate();
}

// The press is over: the child that took it is no longer held, so that it
// can go with its tree instead of living until the next press.
void CAppPanel::EndPress()
{
    m_pressed = false;
    m_pressedWindow.Reset();
}

void CAppPanel::MoveTowardTarget()
{
    const int32_t now = m_clock();
    if (m_animDuration <= 0 || now - m_animStartTime > m_animDuration) {
        SetX(m_animTargetX);
        return;
    }
    const float t = static_cast<float>(now - m_animStartTime) / static_cast<float>(m_animDuration);
    SetX(static_cast<int32_t>(static_cast<float>(m_animStartX) * (1.0f - t) + static_cast<float>(m_animTargetX) * t));
}

void CAppPanel::OnFrameMove(int32_t elapsedMs)
{
    CUIWindow::OnFrameMove(elapsedMs);
    const int32_t page = GetCurrentPage();
    if (page != m_lastPage) {
        m_lastPage = page;
        tagAppPanelPageChangedEventArgs args;
        Fire(kAppPanelPageChangedEvent, static_cast<IAppPanel*>(this), &args);
    }
    if (!m_pressed && GetX() != m_animTargetX)
        MoveTowardTarget();
}

void CAppPanel::OnMouseWheel(int32_t steps)
{
    if (!IsVisible() || !IsEnabled())
        return;
    if (steps > 0)
        PreviousPage();
    else if (steps < 0)
        NextPage();
}

} // namespace DirectUI
} // namespace RVGameEngine
