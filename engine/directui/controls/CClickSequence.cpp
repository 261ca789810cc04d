#include "engine/directui/controls/CClickSequence.h"

#include "engine/directui/controls/CRoutingFlag.h"
#include "engine/directui/services/IBuryPointHelper.h"
#include "engine/filesystem/ILogFile.h"

namespace RVGameEngine {
namespace DirectUI {

CClickSequence::CClickSequence(CUIWindow* window, tagRules rules) : m_window(window), m_rules(rules)
{
}

bool CClickSequence::IsLive()
{
    return m_window->IsVisible() && m_window->IsEnabled();
}

void CClickSequence::Press(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsLive())
        return;
    CRoutingFlag routing(continueRouting);
    m_window->CUIWindow::OnLButtonDown(x, y, routing.Get());
    if (!routing.IsUntaken() || !m_window->HitTest(x, y))
        return;
    m_pressed = true;
    m_window->CaptureMouse();
    m_window->Invalidate();
    routing.Take();
}

bool CClickSequence::Release(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsLive())
        return false;
    CRoutingFlag routing(continueRouting);
    m_window->CUIWindow::OnLButtonUp(x, y, routing.Get());
    if (!routing.IsUntaken())
        return false;
    RecordBuryPoint();
    ReleaseCaptureIfHeld(x, y);
    m_window->Invalidate();
    const bool completesClick = m_pressed && m_window->HitTest(x, y);
    m_pressed = false;
    if (completesClick || m_rules.takesEveryRelease)
        routing.Take();
    return completesClick && !m_window->IsClickSuppressed();
}

void CClickSequence::CountAndLog(const wchar_t* kind, const wchar_t* outcome)
{
    m_window->RecordClickStatistics();
    if (FileSystem::ILogFile* log = FileSystem::ILogFile_GetInstance())
        log->Log(FileSystem::LOG_LEVEL_TRACE, L"UI Event: %s <%s> %s", kind, m_window->GetFullName(), outcome);
}

void CClickSequence::FollowHover(tagHoverAnimation& hover, int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsLive())
        return;
    CRoutingFlag routing(continueRouting);
    m_window->CUIWindow::OnMouseMove(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    const bool over = m_window->HitTest(x, y);
    if (over == hover.hovering)
        return;
    hover.hovering = over;
    m_window->Invalidate();
}

void CClickSequence::RecordBuryPoint()
{
    IBuryPointHelper* buryPoints = IBuryPointHelper_GetInstance();
    if (buryPoints == nullptr || !buryPoints->IsEnabled())
        return;
    const tagUserRect values = m_window->GetUserRect();
    buryPoints->Record(values.tag4, values.userValueA, values.userValueB, values.userValueC);
}

void CClickSequence::ReleaseCaptureIfHeld(int32_t x, int32_t y)
{
    if (m_rules.keepsCaptureOnFarAwayRelease && (x == kFarAwayCoordinate || y == kFarAwayCoordinate))
        return;
    m_window->ReleaseMouse();
}

} // namespace DirectUI
} // namespace RVGameEngine
