#include "engine/directui/controls/CCaretControl.h"

#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/filesystem/documents/IXmlElement.h"

namespace RVGameEngine {
namespace DirectUI {

CCaretControl::CCaretControl()
{
    m_caretView.SetOwner(AsWindow());
}

void CCaretControl::ResetBackgroundImage() {}

void CCaretControl::Disable()
{
    CUIWindow::Disable();
    if (IsFocusWindow())
        GetUISystem()->SetFocus(nullptr);
}

bool CCaretControl::IsFocusable() { return IsEnabled(); }

void CCaretControl::SetFocus(bool frameRefocused)
{
    CUIWindow::SetFocus(frameRefocused);
    OnFocusArrived(frameRefocused);
    UpdateCaret();
    Invalidate();
}

void CCaretControl::KillFocus()
{
    CUIWindow::KillFocus();
    m_caretView.Hide();
    Invalidate();
}

void CCaretControl::OnFrameMove(int32_t elapsedMs)
{
    CUIWindow::OnFrameMove(elapsedMs);
    m_caretView.Update(static_cast<uint32_t>(elapsedMs));
}

void CCaretControl::OnHideTree()
{
    CUIWindow::OnHideTree();
    m_caretView.Hide();
}

void CCaretControl::OnShowTree()
{
    CUIWindow::OnShowTree();
    if (IsVisible())
        UpdateCaret();
}

bool CCaretControl::IsFocusWindow()
{
    IUISystem* system = GetUISystem();
    return system != nullptr && system->GetFocusWindow() == AsWindow();
}

void CCaretControl::TakeFocus()
{
    if (GetUISystem() != nullptr)
        GetUISystem()->SetFocus(AsWindow());
}

int32_t CCaretControl::TitleFontIndex()
{
    return GetDriver() != nullptr ? GetDriver()->GetFont(GetTitleFont()) : 0;
}

void CCaretControl::LoadCaretColor(Common::IXmlElement* element)
{
    if (element != nullptr && element->HasAttribute(L"CaretColor"))
        m_caretColor = ParseUIColor(element->GetAttribute(L"CaretColor"));
}

} // namespace DirectUI
} // namespace RVGameEngine
