#include "engine/directui/uisystem/CUICaret.h"

#include "engine/directui/uisystem/IUISystem.h"
#include "engine/directui/uisystem/IUISystemDriver.h"
#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

void CUICaret::Show(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color)
{
    m_shown = true;
    m_lit = true;
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    m_color = color;
    m_elapsed = 0;
    RequestRedraw();
}

void CUICaret::Hide()
{
    m_shown = false;
    RequestRedraw();
}

void CUICaret::Update(uint32_t elapsedMs)
{
    if (!m_shown)
        return;
    m_elapsed += elapsedMs;
    const bool lit = (m_elapsed / kBlinkHalfPeriodMs) % 2 == 0;
    if (lit == m_lit)
        return;
    m_lit = lit;
    RequestBlinkRedraw();
}

void CUICaret::Draw(int32_t originX, int32_t originY)
{
    if (m_owner == nullptr || !m_shown || !m_lit)
        return;
    if (IUISystemDriver* driver = OwnerDriver())
        driver->FillRect(originX + m_x, originY + m_y, m_width, m_height, m_color);
}

IUISystemDriver* CUICaret::OwnerDriver()
{
    IUISystem* system = m_owner != nullptr ? m_owner->GetUISystem() : nullptr;
    return system != nullptr ? system->GetDriver() : nullptr;
}

// A blink changes the caret's own pixels only: the owner's text around it
// need not be drawn again.
void CUICaret::RequestBlinkRedraw()
{
    if (m_owner == nullptr || !m_owner->IsVisibleInTree())
        return;
    if (IUISystemDriver* driver = OwnerDriver())
        driver->Invalidate(m_owner->GetAnchoredX() + m_x, m_owner->GetAnchoredY() + m_y, m_width, m_height);
}

void CUICaret::RequestRedraw()
{
    if (m_owner != nullptr)
        m_owner->Invalidate();
}

} // namespace DirectUI
} // namespace RVGameEngine
