#include "engine/directui/frame/CFrameManager.h"
#include "engine/directui/frame/ICursor.h"
#include "engine/directui/frame/IFrameManager.h"
#include "tests/engine/directui/frame/FrameTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::DirectUI;
using RVTest::FrameEvent;
using RVTest::FrameEventRecorder;

namespace {

struct MessageCase
{
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<FrameEvent> expected; // id, x, y, wheelSteps, value, active
    LRESULT result;
};

FrameEvent Event(int32_t id, int32_t x = 0, int32_t y = 0, int32_t steps = 0, uint32_t value = 0, bool active = false)
{
    FrameEvent event;
    event.id = id;
    event.x = x;
    event.y = y;
    event.wheelSteps = steps;
    event.value = value;
    event.active = active;
    return event;
}

LPARAM Position(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

struct KeyCounter
{
    std::vector<uint32_t> downs;
    std::vector<uint32_t> ups;
    void OnDown(void*, Common::tagEventArgs* args)
    {
        downs.push_back(static_cast<tagFrameManagerKeyEventArgs*>(args)->virtualKey);
    }
    void OnUp(void*, Common::tagEventArgs* args) { ups.push_back(static_cast<tagFrameManagerKeyEventArgs*>(args)->virtualKey); }
};

} // namespace

TEST(FrameEvents, MessagesRaiseTheirEventsWithTheirRecords)
{
    auto frame = RVTest::MakeFrame(0, 0, 200, 100);
    const HWND window = frame->GetHandle();
    ASSERT_NE(window, nullptr);
    // The wheel reports at the position of the last move, not its own.
    SendMessageW(window, WM_MOUSEMOVE, 0, Position(40, 30));
    FrameEventRecorder recorder(frame.Get());
    KeyCounter keys;
    IFrameManager* manager = IFrameManager_GetInstance();
    manager->AddMemberFunctionDelegate<KeyCounter>(FRAME_MANAGER_EVENT_KEY_DOWN, &keys, &KeyCounter::OnDown);
    manager->AddMemberFunctionDelegate<KeyCounter>(FRAME_MANAGER_EVENT_KEY_UP, &keys, &KeyCounter::OnUp);

    const MessageCase cases[] = {
        {"key down", WM_KEYDOWN, 'A', 0, {Event(FRAME_EVENT_KEY_DOWN, 0, 0, 0, 'A')}, 0},
        {"alt+backspace", WM_SYSKEYDOWN, VK_BACK, 0, {}, 0},
        {"system key up", WM_SYSKEYUP, VK_BACK, 0, {Event(FRAME_EVENT_KEY_UP, 0, 0, 0, VK_BACK)}, 0},
        {"character", WM_CHAR, 0x4E2D, 0, {Event(FRAME_EVENT_CHAR, 0, 0, 0, 0x4E2D)}, 0},
        {"left double click", WM_LBUTTONDBLCLK, 0, Position(3, 4),
         {Event(FRAME_EVENT_LBUTTON_DBLCLK, 3, 4), Event(FRAME_EVENT_LBUTTON_DOWN, 3, 4)}, 0},
        {"right double click", WM_RBUTTONDBLCLK, 0, Position(5, 6),
         {Event(FRAME_EVENT_RBUTTON_DBLCLK, 5, 6), Event(FRAME_EVENT_RBUTTON_DOWN, 5, 6)}, 0},
        {"left up", WM_LBUTTONUP, 0, Position(7, 8), {Event(FRAME_EVENT_LBUTTON_UP, 7, 8)}, 0},
        {"right up", WM_RBUTTONUP, 0, Position(9, 10), {Event(FRAME_EVENT_RBUTTON_UP, 9, 10)}, 0},
        {"wheel down two steps", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), Position(900, 900),
         {Event(FRAME_EVENT_MOUSE_WHEEL, 40, 30, -2)}, 0},
        {"wheel under one step", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0,
         {Event(FRAME_EVENT_MOUSE_WHEEL, 40, 30, 0)}, 0},
        {"signed move", WM_MOUSEMOVE, 0, Position(-5, 70000 & 0xFFFF), {Event(FRAME_EVENT_MOUSE_MOVE, -5, 4464)}, 0},
        {"activate while minimised", WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0,
         {Event(FRAME_EVENT_ACTIVATE, 0, 0, 0, 0, true)}, 0},
        {"deactivate while minimised", WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0,
         {Event(FRAME_EVENT_ACTIVATE, 0, 0, 0, 0, false)}, 0},
        {"hot key", WM_HOTKEY, 7, 0, {Event(FRAME_EVENT_HOT_KEY, 0, 0, 0, 7)}, 0},
        {"other tray icon", kFrameTrayMessage, 500, WM_LBUTTONUP, {}, 0},
        {"tray icon", kFrameTrayMessage, kFrameTrayIconId, WM_LBUTTONUP, {Event(FRAME_EVENT_TRAY_NOTIFY)}, 0},
        {"socket", kFrameSocketMessage, 12, MAKELPARAM(FD_READ, 0), {Event(FRAME_EVENT_SOCKET_NOTIFY)}, 0},
        {"first private message", WM_USER, 1, 2, {Event(FRAME_EVENT_USER_MESSAGE)}, 0},
        {"erase background", WM_ERASEBKGND, 0, 0, {}, 1},
    };
    for (const MessageCase& test : cases) {
        SCOPED_TRACE(test.name);
        recorder.Clear();
        EXPECT_EQ(SendMessageW(window, test.message, test.wParam, test.lParam), test.result);
        const std::vector<FrameEvent>& events = recorder.Events();
        ASSERT_EQ(events.size(), test.expected.size());
        for (size_t i = 0; i < events.size(); ++i) {
            const FrameEvent& seen = events[i];
            const FrameEvent& want = test.expected[i];
            EXPECT_EQ(std::make_tuple(seen.id, seen.x, seen.y, seen.wheelSteps, seen.value, seen.active),
                      std::make_tuple(want.id, want.x, want.y, want.wheelSteps, want.value, want.active));
            // The events that hand on the message itself carry it whole.
            if (seen.id >= FRAME_EVENT_COPY_DATA && seen.id != FRAME_EVENT_HIDDEN_ON_DEACTIVATE) {
                EXPECT_EQ(std::make_tuple(seen.message, seen.wParam, seen.lParam),
                          std::make_tuple(test.message, test.wParam, test.lParam));
            }
        }
    }
    // The process-wide key events follow the frame's, Alt+Backspace included.
    EXPECT_EQ(keys.downs, std::vector<uint32_t>{'A'});
    EXPECT_EQ(keys.ups, std::vector<uint32_t>{VK_BACK});
    manager->RemoveObjectDelegates(&keys);
    // A message below the private range goes to the default handling.
    recorder.Clear();
    SendMessageW(window, WM_USER - 1, 0, 0);
    EXPECT_TRUE(recorder.Events().empty());
}

namespace {

struct CloseHandler
{
    bool cancel = false;
    void OnClose(void*, Common::tagEventArgs* args) { static_cast<tagFrameCloseEventArgs*>(args)->cancel = cancel; }
};

} // namespace

TEST(FrameEvents, CloseCanBeCancelledAndOtherwiseEndsTheWindow)
{
    auto frame = RVTest::MakeFrame(0, 0, 50, 50);
    const HWND window = frame->GetHandle();
    CloseHandler handler;
    handler.cancel = true;
    frame->AddMemberFunctionDelegate<CloseHandler>(FRAME_EVENT_CLOSE, &handler, &CloseHandler::OnClose);
    FrameEventRecorder recorder(frame.Get());
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(recorder.Ids(), std::vector<int32_t>{FRAME_EVENT_CLOSE});
    EXPECT_TRUE(IsWindow(window));

    handler.cancel = false;
    recorder.Clear();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(recorder.Ids(), (std::vector<int32_t>{FRAME_EVENT_CLOSE, FRAME_EVENT_CLOSED, FRAME_EVENT_DESTROYED}));
    EXPECT_FALSE(IsWindow(window));
    // The frame let go of the handle with the window: nothing can reach a
    // later window that happens to get the same value.
    EXPECT_EQ(frame->GetHandle(), nullptr);
    frame->Destroy();
    frame->RemoveObjectDelegates(&handler);
}

TEST(FrameEvents, ClosesRedirectedInACircleEndNowhere)
{
    auto first = RVTest::MakeFrame(0, 0, 50, 50);
    auto second = RVTest::MakeFrame(0, 0, 50, 50);
    auto self = RVTest::MakeFrame(0, 0, 50, 50);
    first->SetCloseRedirectWindow(second->GetHandle());
    second->SetCloseRedirectWindow(first->GetHandle());
    self->SetCloseRedirectWindow(self->GetHandle());
    FrameEventRecorder firstEvents(first.Get());
    FrameEventRecorder secondEvents(second.Get());
    FrameEventRecorder selfEvents(self.Get());
    SendMessageW(first->GetHandle(), WM_CLOSE, 0, 0);
    SendMessageW(self->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(firstEvents.Events().empty());
    EXPECT_TRUE(secondEvents.Events().empty());
    EXPECT_TRUE(selfEvents.Events().empty());
    EXPECT_TRUE(IsWindow(first->GetHandle()));
    EXPECT_TRUE(IsWindow(self->GetHandle()));

    // A redirect to a live frame closes that frame instead.
    second->SetCloseRedirectWindow(nullptr);
    SendMessageW(first->GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(firstEvents.Events().empty());
    EXPECT_EQ(second->GetHandle(), nullptr);
}

namespace {

struct CursorHandler
{
    bool handled = false;
    Common::TIntrusivePointer<ICursor> cursor;
    void OnSetCursor(void*, Common::tagEventArgs* args)
    {
        auto* record = static_cast<tagFrameSetCursorEventArgs*>(args);
        record->handled = handled;
        record->cursor = cursor;
    }
};

} // namespace

TEST(FrameEvents, SetCursorAppliesTheHandlersChoice)
{
    auto frame = RVTest::MakeFrame(0, 0, 50, 50);
    frame->Show();
    CursorHandler handler;
    frame->AddMemberFunctionDelegate<CursorHandler>(FRAME_EVENT_SET_CURSOR, &handler, &CursorHandler::OnSetCursor);
    handler.cursor = ICursor_Create();
    ASSERT_TRUE(handler.cursor->LoadSystem(nullptr, IDC_HAND));
    const LPARAM client = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    handler.handled = true;
    EXPECT_EQ(SendMessageW(frame->GetHandle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(frame->GetHandle()), client), 0);
    EXPECT_EQ(GetCursor(), handler.cursor->GetHandle());

    handler.cursor = Common::TIntrusivePointer<ICursor>();
    SendMessageW(frame->GetHandle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(frame->GetHandle()), client);
    EXPECT_EQ(GetCursor(), nullptr);

    // Unhandled: the class cursor, through the default handling.
    handler.handled = false;
    SendMessageW(frame->GetHandle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(frame->GetHandle()), client);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    frame->RemoveObjectDelegates(&handler);
}

TEST(FrameEvents, DeactivationHidesAFrameThatAsksForIt)
{
    auto frame = RVTest::MakeFrame(0, 0, 50, 50);
    frame->Show();
    frame->SetHideOnDeactivate(true);
    FrameEventRecorder recorder(frame.Get());
    SendMessageW(frame->GetHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(frame->IsActive());
    EXPECT_TRUE(frame->IsVisible());
    recorder.Clear();
    SendMessageW(frame->GetHandle(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(frame->IsActive());
    EXPECT_FALSE(frame->IsVisible());
    // (Hiding the window may bring the system's own deactivation after these.)
    ASSERT_GE(recorder.Ids().size(), 2u);
    EXPECT_EQ(recorder.Ids()[0], FRAME_EVENT_HIDDEN_ON_DEACTIVATE);
    EXPECT_EQ(recorder.Ids()[1], FRAME_EVENT_ACTIVATE);
}

namespace {

struct Painter
{
    IFrame* frame = nullptr;
    int paints = 0;
    void OnPaint(void*, Common::tagEventArgs*)
    {
        ++paints;
        Gdiplus::SolidBrush blue(Gdiplus::Color(255, 0, 0, 255));
        frame->GetGraphics()->FillRectangle(&blue, 0, 0, 10, 10);
    }
};

COLORREF WindowPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

} // namespace

TEST(FrameEvents, PaintDrawsPendingChangesAndAlwaysCopiesTheBackBuffer)
{
    const COLORREF key = RGB(255, 0, 255);
    auto plain = RVTest::MakeFrame(100, 100, 60, 40);
    auto keyed = RVTest::MakeFrame(200, 100, 60, 40);
    keyed->SetColorKey(key);
    keyed->SetColorKey(key);
    EXPECT_NE(GetWindowLongW(keyed->GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    // The plain frame's background is whatever the buffer held: make it green.
    plain->GetGraphics()->Clear(Gdiplus::Color(255, 0, 255, 0));
    for (IFrame* frame : {plain.Get(), keyed.Get()}) {
        SCOPED_TRACE(frame == plain.Get() ? "plain" : "colour-keyed");
        Painter painter;
        painter.frame = frame;
        frame->AddMemberFunctionDelegate<Painter>(FRAME_EVENT_PAINT, &painter, &Painter::OnPaint);
        frame->Show();
        RVTest::PumpMessages();
        EXPECT_EQ(painter.paints, 1);
        EXPECT_EQ(WindowPixel(frame->GetHandle(), 5, 5), RGB(0, 0, 255));
        EXPECT_EQ(WindowPixel(frame->GetHandle(), 30, 30), frame == plain.Get() ? RGB(0, 255, 0) : key);
        // Nothing pending: the buffer is copied again without a Paint event.
        InvalidateRect(frame->GetHandle(), nullptr, FALSE);
        RVTest::PumpMessages();
        EXPECT_EQ(painter.paints, 1);
        EXPECT_EQ(WindowPixel(frame->GetHandle(), 5, 5), RGB(0, 0, 255));
        frame->RemoveObjectDelegates(&painter);
    }
}

TEST(FrameEvents, AFailingLayeredUpdateIsLoggedOnceAndPaintingGoesOn)
{
    auto frame = RVTest::MakeFrame(0, 0, 40, 40);
    // A colour-keyed window cannot take a per-pixel update.
    frame->SetColorKey(RGB(1, 2, 3));
    frame->SetLayeredMode(true);
    RVTest::MessageBoxRecorder::Clear();
    RVTest::LogCapture log;
    for (int paint = 0; paint < 3; ++paint) {
        frame->InvalidateAll();
        SendMessageW(frame->GetHandle(), WM_PAINT, 0, 0);
    }
    EXPECT_EQ(log.CountContaining(L"Layered window update failed"), 1);
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty());
}
