#include "engine/directui/frame/CFrameModality.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/directui/frame/CFrameManager.h"
#include "engine/directui/frame/IFrame.h"

namespace RVGameEngine {
namespace DirectUI {

void CFrameModality::DisableIfShown(HWND window)
{
    if (window != nullptr && IsWindowVisible(window) && !IsIconic(window))
        EnableWindow(window, FALSE);
}

void CFrameModality::ShowModal(IFrame* owner, bool tickOnIdle)
{
    // The loop's handlers may drop the last reference to the frame.
    Common::CKeepAlive keepAlive(m_frame);
    m_open = true;
    if (owner != nullptr && owner != m_frame) {
        SetOwnerFrame(owner);
        owner->Disable();
    }
    m_frame->Show();
    RunLoop(tickOnIdle);
    // A quit message that ended the loop left the display open.
    if (m_open)
        End();
}

void CFrameModality::ShowModalOverWindows(HWND* windows, int count, bool tickOnIdle)
{
    Common::CKeepAlive keepAlive(m_frame);
    m_open = true;
    if (windows != nullptr && count > 0) {
        for (int i = 0; i < count; ++i)
            DisableIfShown(windows[i]);
        SetOwnerWindow(windows[0]);
    }
    m_frame->Show();
    RunLoop(tickOnIdle);
    if (m_open)
        End();
    if (windows != nullptr) {
        for (int i = 0; i < count; ++i)
            EnableWindow(windows[i], TRUE);
    }
    m_open = false;
}

void CFrameModality::ShowModeless(IFrame* owner)
{
    m_open = true;
    if (owner == m_frame)
        owner = nullptr;
    SetOwnerFrame(owner);
    if (owner != nullptr)
        owner->Disable();
    m_frame->Show();
    m_frame->Enable();
}

void CFrameModality::ShowModelessOverWindows(HWND* windows, int count)
{
    m_open = true;
    m_disabledWindows.clear();
    if (windows != nullptr && count > 0) {
        m_disabledWindows.assign(windows, windows + count);
        SetOwnerWindow(windows[0]);
        for (HWND window : m_disabledWindows)
            DisableIfShown(window);
    }
    m_frame->Show();
    m_frame->Enable();
}

void CFrameModality::RunLoop(bool tickOnIdle)
{
    // Without a window nothing would ever end the loop.
    CFrameManager* manager = CFrameManager::GetInstance();
    if (m_frame->GetHandle() == nullptr || manager == nullptr) {
        End();
        return;
    }
    manager->RunMessageLoop(m_frame, tickOnIdle);
}

void CFrameModality::End()
{
    if (m_ownerFrame) {
        Common::TIntrusivePointer<IFrame> owner = m_ownerFrame;
        owner->Enable();
        owner->SetFocus();
        SetOwnerFrame(nullptr);
    } else if (!m_disabledWindows.empty()) {
        const std::vector<HWND> windows = m_disabledWindows;
        m_disabledWindows.clear();
        for (HWND window : windows)
            EnableWindow(window, TRUE);
        ::SetFocus(windows.front());
    } else if (m_ownerWindow != nullptr) {
        const HWND owner = m_ownerWindow;
        m_ownerWindow = nullptr;
        EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    m_open = false;
}

void CFrameModality::SetOwnerFrame(IFrame* owner)
{
    if (owner == m_frame)
        return;
    m_ownerFrame = Common::TIntrusivePointer<IFrame>(owner);
    SetOwnerWindow(owner != nullptr ? owner->GetHandle() : nullptr);
}

void CFrameModality::SetOwnerWindow(HWND owner)
{
    const HWND window = m_frame->GetHandle();
    if (owner != nullptr && owner == window)
        return;
    m_ownerWindow = owner;
    if (window != nullptr)
        SetWindowLongW(window, GWL_HWNDPARENT, static_cast<LONG>(reinterpret_cast<LONG_PTR>(owner)));
}

} // namespace DirectUI
} // namespace RVGameEngine
