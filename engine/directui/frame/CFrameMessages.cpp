// The frame's window procedure: its own bookkeeping and the frame events.

#include "engine/directui/frame/CFrame.h"

#include "engine/common/base/WindowInputFunctions.h"
#include "engine/directui/frame/CFrameManager.h"

#include <initializer_list>

namespace RVGameEngine {
namespace DirectUI {

namespace {

// Ends a paint whatever the handlers in between do.
class CPaintScope
{
public:
    explicit CPaintScope(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~CPaintScope() { EndPaint(m_window, &m_paint); }
    CPaintScope(const CPaintScope&) = delete;
    CPaintScope& operator=(const CPaintScope&) = delete;
    HDC GetDC() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
    HDC m_dc = nullptr;
};

} // namespace

LRESULT CFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    BeforeDispatch(message, wParam);
    const Common::tagWindowInput input = Common::ReadWindowInput(message, wParam, lParam);
    if (input.kind != Common::WINDOW_INPUT_NONE) {
        OnInput(input);
        // The system's keys keep their system meaning (the menu key, Alt+F4).
        return input.systemKey ? DefWindowProcW(window, message, wParam, lParam) : 0;
    }
    switch (message) {
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_ACTIVATEAPP:
        if (CFrameManager* manager = CFrameManager::GetInstance())
            manager->SetAppActive(wParam != 0);
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        OnWindowGone(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor(window, wParam, lParam);
    case WM_COPYDATA:
        RaiseAnyMessage(FRAME_EVENT_COPY_DATA, window, message, wParam, lParam);
        return 0;
    case WM_HOTKEY: {
        tagFrameHotKeyEventArgs args;
        args.hotKeyId = static_cast<uint32_t>(wParam);
        Fire(FRAME_EVENT_HOT_KEY, this, &args);
        return 0;
    }
    case WM_DROPFILES: {
        tagFrameDropFilesEventArgs args;
        args.drop = reinterpret_cast<HDROP>(wParam);
        Fire(FRAME_EVENT_DROP_FILES, this, &args);
        return 0;
    }
    case kFrameTrayMessage:
        if (wParam == kFrameTrayIconId)
            RaiseAnyMessage(FRAME_EVENT_TRAY_NOTIFY, window, message, wParam, lParam);
        return 0;
    case kFrameSocketMessage:
        RaiseAnyMessage(FRAME_EVENT_SOCKET_NOTIFY, window, message, wParam, lParam);
        return 0;
    default:
        if (message >= WM_USER) {
            RaiseAnyMessage(FRAME_EVENT_USER_MESSAGE, window, message, wParam, lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void CFrame::BeforeDispatch(UINT message, WPARAM wParam)
{
    if (message == WM_MOVE)
        m_attachedFrames.PlaceAll();
    else if (message == WM_DESTROY)
        m_attachedFrames.CloseAll();
    else if (message == WM_SHOWWINDOW)
        m_attachedFrames.ShowAll(wParam == 1);
    // A destroyed window ends its display here; a close ends it only once it
    // is certain (see OnClose).
    if (message == WM_DESTROY && m_modality.IsOpen())
        m_modality.End();
}

void CFrame::RaiseKey(int32_t eventId, uint32_t virtualKey)
{
    if (CFrameManager* manager = CFrameManager::GetInstance()) {
        if (eventId == FRAME_EVENT_KEY_DOWN)
            manager->FireKeyDown(virtualKey);
        else
            manager->FireKeyUp(virtualKey);
    }
    tagFrameKeyEventArgs args;
    args.virtualKey = virtualKey;
    Fire(eventId, this, &args);
}

void CFrame::OnInput(const Common::tagWindowInput& input)
{
    switch (input.kind) {
    case Common::WINDOW_INPUT_KEY_DOWN:
        // Alt+Backspace is the system's undo key, not a key press of the UI.
        if (!(input.systemKey && input.key == VK_BACK))
            RaiseKey(FRAME_EVENT_KEY_DOWN, input.key);
        break;
    case Common::WINDOW_INPUT_KEY_UP:
        RaiseKey(FRAME_EVENT_KEY_UP, input.key);
        break;
    case Common::WINDOW_INPUT_CHAR: {
        tagFrameCharEventArgs args;
        args.character = static_cast<wchar_t>(input.character);
        Fire(FRAME_EVENT_CHAR, this, &args);
        break;
    }
    case Common::WINDOW_INPUT_MOUSE_WHEEL:
        OnMouseWheel(input.wheelSteps);
        break;
    case Common::WINDOW_INPUT_SET_FOCUS:
    case Common::WINDOW_INPUT_KILL_FOCUS: {
        tagFrameFocusEventArgs args;
        Fire(input.kind == Common::WINDOW_INPUT_SET_FOCUS ? FRAME_EVENT_SET_FOCUS : FRAME_EVENT_KILL_FOCUS, this,
             &args);
        break;
    }
    default:
        RaiseMouse(input);
        break;
    }
}

void CFrame::RaiseMouse(const Common::tagWindowInput& input)
{
    // A double click is also a press, with the same position.
    static const Common::tagWindowInputEvents kMouseEvents[] = {
        {Common::WINDOW_INPUT_MOUSE_MOVE, FRAME_EVENT_MOUSE_MOVE, -1},
        {Common::WINDOW_INPUT_LBUTTON_DOWN, FRAME_EVENT_LBUTTON_DOWN, -1},
        {Common::WINDOW_INPUT_LBUTTON_UP, FRAME_EVENT_LBUTTON_UP, -1},
        {Common::WINDOW_INPUT_LBUTTON_DBLCLK, FRAME_EVENT_LBUTTON_DBLCLK, FRAME_EVENT_LBUTTON_DOWN},
        {Common::WINDOW_INPUT_RBUTTON_DOWN, FRAME_EVENT_RBUTTON_DOWN, -1},
        {Common::WINDOW_INPUT_RBUTTON_UP, FRAME_EVENT_RBUTTON_UP, -1},
        {Common::WINDOW_INPUT_RBUTTON_DBLCLK, FRAME_EVENT_RBUTTON_DBLCLK, FRAME_EVENT_RBUTTON_DOWN},
    };
    if (input.kind == Common::WINDOW_INPUT_MOUSE_MOVE)
        m_lastMouse = POINT{input.x, input.y};
    const Common::tagWindowInputEvents* events = Common::FindWindowInputEvents(kMouseEvents, input.kind);
    if (events == nullptr)
        return;
    // Each event gets a record of its own: a handler may write into it.
    for (const int32_t eventId : {events->first, events->second}) {
        if (eventId < 0)
            continue;
        tagFrameMouseEventArgs args;
        args.x = input.x;
        args.y = input.y;
        Fire(eventId, this, &args);
    }
}

void CFrame::RaiseAnyMessage(int32_t eventId, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    tagFrameAnyMsgEventArgs args;
    args.window = window;
    args.message = message;
    args.wParam = wParam;
    args.lParam = lParam;
    Fire(eventId, this, &args);
}

void CFrame::OnMouseWheel(int32_t steps)
{
    // The wheel message carries a screen position; the UI wants the client
    // position of the last move.
    tagFrameMouseEventArgs args;
    args.x = m_lastMouse.x;
    args.y = m_lastMouse.y;
    args.wheelSteps = steps;
    Fire(FRAME_EVENT_MOUSE_WHEEL, this, &args);
}

void CFrame::OnPaint(HWND window)
{
    CPaintScope paint(window);
    if (m_repaintPending) {
        // Cleared before the handlers run: what they invalidate makes the next paint.
        m_repaintPending = false;
        PaintPendingRectangle();
    }
    if (m_layered)
        UpdateLayered(paint.GetDC());
    if (m_backBuffer)
        m_backBuffer->BitBlt(paint.GetDC());
}

// Only the invalidated rectangle is drawn again: it is the UI system's clip
// while the handlers paint, so windows outside it are not even visited.
void CFrame::PaintPendingRectangle()
{
    const RECT dirty = m_pendingRepaint;
    const Common::TIntrusivePointer<IUISystem> ui = m_uiSystem;
    if (!ui.IsNull())
        ui->PushClipRect(true, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top);
    if (m_colorKeyed && m_graphics)
        m_graphics->Clear(m_colorKeyClear);
    tagFramePaintEventArgs args;
    Fire(FRAME_EVENT_PAINT, this, &args);
    if (!ui.IsNull())
        ui->PopClipRect();
}

void CFrame::OnActivate(WPARAM wParam)
{
    // The high word says whether the window is minimised, not whether it is
    // active.
    m_active = LOWORD(wParam) != WA_INACTIVE;
    // A press that loses the frame ends here, or its window would wait for a
    // release that goes elsewhere.
    if (!m_active && m_uiSystem && m_uiSystem->GetCaptureWindow() != nullptr) {
        tagFrameMouseEventArgs release;
        release.x = m_lastMouse.x;
        release.y = m_lastMouse.y;
        Fire(FRAME_EVENT_LBUTTON_UP, this, &release);
        m_uiSystem->ReleaseCapture();
    }
    if (!m_active && m_hideOnDeactivate) {
        Hide();
        Common::tagEventArgs args;
        Fire(FRAME_EVENT_HIDDEN_ON_DEACTIVATE, this, &args);
    }
    tagFrameActivateEventArgs args;
    args.active = m_active;
    Fire(FRAME_EVENT_ACTIVATE, this, &args);
}

void CFrame::RedirectClose(HWND window, HWND target)
{
    if (target == nullptr || target == window || !IsWindow(target))
        return;
    m_redirectingClose = true;
    SendMessageW(target, WM_CLOSE, 0, 0);
    m_redirectingClose = false;
}

void CFrame::OnClose(HWND window)
{
    if (m_redirectingClose)
        return;
    if (m_closeRedirectsToOwner) {
        RedirectClose(window, reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT)));
        return;
    }
    if (m_closeRedirectWindow != nullptr) {
        RedirectClose(window, m_closeRedirectWindow);
        return;
    }
    tagFrameCloseEventArgs close;
    Fire(FRAME_EVENT_CLOSE, this, &close);
    if (close.cancel)
        return;
    // The owner comes back before this window goes, so that the system
    // activates the owner rather than some other program's window.
    if (m_modality.IsOpen())
        m_modality.End();
    tagFrameClosedEventArgs closed;
    Fire(FRAME_EVENT_CLOSED, this, &closed);
    if (Handle() == window)
        DestroyWindow(window);
}

void CFrame::OnDestroy()
{
    m_trayIcon.Remove();
    tagFrameDestroyedEventArgs args;
    Fire(FRAME_EVENT_DESTROYED, this, &args);
    if (CFrameManager* manager = CFrameManager::GetInstance())
        manager->EndLoopsOf(this);
}

void CFrame::OnWindowGone(HWND window)
{
    // The handle value may be given to a new window from now on: this frame
    // must neither be found under it nor act on it again.
    if (CFrameManager* manager = CFrameManager::GetInstance())
        manager->UnregisterFrame(window, this);
    if (Handle() == window)
        m_window.Release();
}

LRESULT CFrame::OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam)
{
    tagFrameSetCursorEventArgs args;
    GetCursorPos(&args.x, &args.y);
    Fire(FRAME_EVENT_SET_CURSOR, this, &args);
    if (!args.handled)
        return DefWindowProcW(window, WM_SETCURSOR, wParam, lParam);
    if (args.cursor)
        args.cursor->Apply();
    else
        ::SetCursor(nullptr);
    return 0;
}

} // namespace DirectUI
} // namespace RVGameEngine
