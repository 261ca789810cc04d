#include "engine/directui/frame/CUISystemDriver_Frame.h"

#include "engine/directui/frame/FrameEvents.h"
#include "engine/directui/frame/IFrame.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {

const tagFrameMouseEventArgs& Mouse(Common::tagEventArgs* args)
{
    return *static_cast<tagFrameMouseEventArgs*>(args);
}

int32_t Key(Common::tagEventArgs* args)
{
    return static_cast<int32_t>(static_cast<tagFrameKeyEventArgs*>(args)->virtualKey);
}

} // namespace

void CUISystemDriver_Frame::Attach(IFrame* frame)
{
    if (m_frame != nullptr)
        m_frame->RemoveObjectDelegates(this);
    m_frame = frame;
    if (frame == nullptr)
        return;
    frame->AddMemberFunctionDelegate(FRAME_EVENT_FRAME_MOVE, this, &CUISystemDriver_Frame::OnFrameMove);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_PAINT, this, &CUISystemDriver_Frame::OnPaint);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_MOUSE_MOVE, this, &CUISystemDriver_Frame::OnMouseMove);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_MOUSE_WHEEL, this, &CUISystemDriver_Frame::OnMouseWheel);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_LBUTTON_DBLCLK, this, &CUISystemDriver_Frame::OnLButtonDblClk);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_LBUTTON_DOWN, this, &CUISystemDriver_Frame::OnLButtonDown);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_LBUTTON_UP, this, &CUISystemDriver_Frame::OnLButtonUp);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_RBUTTON_DOWN, this, &CUISystemDriver_Frame::OnRButtonDown);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_RBUTTON_UP, this, &CUISystemDriver_Frame::OnRButtonUp);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_KEY_DOWN, this, &CUISystemDriver_Frame::OnKeyDown);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_KEY_UP, this, &CUISystemDriver_Frame::OnKeyUp);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_CHAR, this, &CUISystemDriver_Frame::OnChar);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_SET_FOCUS, this, &CUISystemDriver_Frame::OnSetFocus);
    frame->AddMemberFunctionDelegate(FRAME_EVENT_KILL_FOCUS, this, &CUISystemDriver_Frame::OnKillFocus);
}

Gdiplus::Graphics* CUISystemDriver_Frame::GetGraphics()
{
    return m_frame != nullptr ? m_frame->GetGraphics() : nullptr;
}

void CUISystemDriver_Frame::BeginWindowDrag()
{
    // The system moves the window with the mouse, as a press on a caption would.
    if (HWND window = GetFrameHandle())
        SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void CUISystemDriver_Frame::SetFocusToFrame()
{
    HWND window = GetFrameHandle();
    if (window != nullptr && ::GetFocus() != window)
        ::SetFocus(window);
}

void CUISystemDriver_Frame::SetCapture()
{
    if (HWND window = GetFrameHandle())
        ::SetCapture(window);
}

void CUISystemDriver_Frame::ReleaseCapture()
{
    ::ReleaseCapture();
}

void CUISystemDriver_Frame::Invalidate(int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (m_frame != nullptr)
        m_frame->Invalidate(x, y, width, height);
}

void CUISystemDriver_Frame::InvalidateAll()
{
    if (m_frame != nullptr)
        m_frame->InvalidateAll();
}

HWND CUISystemDriver_Frame::GetFrameHandle()
{
    return m_frame != nullptr ? m_frame->GetHandle() : nullptr;
}

IFrame* CUISystemDriver_Frame::GetFrame()
{
    return m_frame;
}

bool CUISystemDriver_Frame::IsKeyDown(int32_t virtualKey)
{
    return m_frame != nullptr && m_frame->IsKeyDown(virtualKey);
}

bool CUISystemDriver_Frame::IsKeyUp(int32_t virtualKey)
{
    return m_frame == nullptr || m_frame->IsKeyUp(virtualKey);
}

void CUISystemDriver_Frame::OnFrameMove(void*, Common::tagEventArgs* args)
{
    RaiseFrameMove(static_cast<tagFrameFrameMoveEventArgs*>(args)->elapsedMs);
}

void CUISystemDriver_Frame::OnPaint(void*, Common::tagEventArgs*) { RaisePaint(); }
void CUISystemDriver_Frame::OnMouseMove(void*, Common::tagEventArgs* a) { RaiseMouseMove(Mouse(a).x, Mouse(a).y); }
void CUISystemDriver_Frame::OnMouseWheel(void*, Common::tagEventArgs* a) { RaiseMouseWheel(Mouse(a).wheelSteps); }
void CUISystemDriver_Frame::OnLButtonDblClk(void*, Common::tagEventArgs* a) { RaiseLButtonDblClk(Mouse(a).x, Mouse(a).y); }
void CUISystemDriver_Frame::OnLButtonDown(void*, Common::tagEventArgs* a) { RaiseLButtonDown(Mouse(a).x, Mouse(a).y); }
void CUISystemDriver_Frame::OnLButtonUp(void*, Common::tagEventArgs* a) { RaiseLButtonUp(Mouse(a).x, Mouse(a).y); }
void CUISystemDriver_Frame::OnRButtonDown(void*, Common::tagEventArgs* a) { RaiseRButtonDown(Mouse(a).x, Mouse(a).y); }
void CUISystemDriver_Frame::OnRButtonUp(void*, Common::tagEventArgs* a) { RaiseRButtonUp(Mouse(a).x, Mouse(a).y); }
void CUISystemDriver_Frame::OnKeyDown(void*, Common::tagEventArgs* a) { RaiseKeyDown(Key(a)); }
void CUISystemDriver_Frame::OnKeyUp(void*, Common::tagEventArgs* a) { RaiseKeyUp(Key(a)); }

void CUISystemDriver_Frame::OnChar(void*, Common::tagEventArgs* args)
{
    RaiseChar(static_cast<tagFrameCharEventArgs*>(args)->character);
}

void CUISystemDriver_Frame::OnSetFocus(void*, Common::tagEventArgs*) { RaiseSetFocus(); }
void CUISystemDriver_Frame::OnKillFocus(void*, Common::tagEventArgs*) { RaiseKillFocus(); }

IUISystemDriver* IUISystemDriver_Frame_Create()
{
    return new (std::nothrow) CUISystemDriver_Frame();
}

} // namespace DirectUI
} // namespace RVGameEngine
