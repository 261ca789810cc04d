#include "engine/device/tagDeviceCloseEventArgs.h"
#include "engine/device/tagDeviceSetCursorEventArgs.h"
#include "tests/engine/device/window/DeviceTestSupport.h"

#include <gtest/gtest.h>

using namespace RVGameEngine;
using namespace RVGameEngine::Device;
using Common::TIntrusivePointer;
using Entries = std::vector<std::string>;

namespace {

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class CountingCursor : public IDeviceCursor
{
public:
    explicit CountingCursor(int* applied) : m_applied(applied) {}
    void Apply() override { ++*m_applied; }

private:
    int* m_applied;
};

class DeviceInput : public DeviceWindowTest::DeviceFixture
{
public:
    // Handlers that answer the close and set-cursor questions.
    void Cancel(void*, Common::tagEventArgs* args) { static_cast<tagDeviceCloseEventArgs*>(args)->Cancel = cancelClose; }
    void AnswerCursor(void*, Common::tagEventArgs* args)
    {
        auto* cursor = static_cast<tagDeviceSetCursorEventArgs*>(args);
        cursor->Handled = answerCursor;
        cursor->Cursor = offeredCursor;
    }

protected:
    bool cancelClose = false;
    bool answerCursor = false;
    TIntrusivePointer<IDeviceCursor> offeredCursor;
};

TEST_F(DeviceInput, MessagesRaiseTheirEventsInOrder)
{
    Create(DeviceWindowTest::SmallParams());
    const struct { UINT message; WPARAM wParam; LPARAM lParam; Entries expected; } cases[] = {
        {WM_KEYDOWN, VK_LEFT, 0, {"0:37"}},
        {WM_SYSKEYUP, VK_MENU, 0, {"1:18"}},
        {WM_CHAR, L'z', 0, {"2:122"}},
        {WM_MOUSEMOVE, 0, Point(-3, 40), {"11:-3,40"}},
        {WM_LBUTTONDOWN, 0, Point(5, 6), {"6:5,6"}},
        {WM_LBUTTONUP, 0, Point(5, 6), {"16:5,6", "7:5,6"}},
        {WM_LBUTTONDBLCLK, 0, Point(1, 2), {"5:1,2", "6:1,2"}},
        {WM_RBUTTONDOWN, 0, Point(3, 4), {"9:3,4"}},
        {WM_RBUTTONUP, 0, Point(3, 4), {"10:3,4"}},
        {WM_RBUTTONDBLCLK, 0, Point(7, 8), {"8:7,8", "9:7,8"}},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-119)), 0, {"12:0"}},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0, {"12:-2"}},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, 360), 0, {"12:3"}},
        {WM_SETFOCUS, 0, 0, {"3"}},
        {WM_KILLFOCUS, 0, 0, {"4"}},
        {WM_PAINT, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        log.entries.clear();
        SendMessageW(window, c.message, c.wParam, c.lParam);
        EXPECT_EQ(c.expected, log.entries);
    }
    EXPECT_EQ(1, SendMessageW(window, WM_ERASEBKGND, 0, 0));
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(device->IsActive());
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(device->IsActive());

    // Set-cursor asks the handlers, unless the cursor is hidden over the client.
    device->AddMemberFunctionDelegate(DEVICE_EVENT_DEVICE_SET_CURSOR, this, &DeviceInput::AnswerCursor);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    const WPARAM self = reinterpret_cast<WPARAM>(window);
    int applied = 0;
    offeredCursor = TIntrusivePointer<IDeviceCursor>(new CountingCursor(&applied));
    log.entries.clear();
    SendMessageW(window, WM_SETCURSOR, self, overClient);
    EXPECT_EQ(Entries{"15"}, log.entries);
    EXPECT_EQ(0, applied) << "not handled: default processing";
    answerCursor = true;
    EXPECT_EQ(0, SendMessageW(window, WM_SETCURSOR, self, overClient));
    EXPECT_EQ(1, applied);
    device->ShowSystemCursor(false);
    log.entries.clear();
    EXPECT_EQ(0, SendMessageW(window, WM_SETCURSOR, self, overClient));
    EXPECT_TRUE(log.entries.empty());
    SendMessageW(window, WM_SETCURSOR, self, MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
    EXPECT_EQ(Entries{"15"}, log.entries);
    EXPECT_EQ(2, applied);

    // Locked input stays locked: no key, character or mouse events, focus still.
    device->LockInput();
    log.entries.clear();
    for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_MOUSEMOVE, WM_LBUTTONUP, WM_MOUSEWHEEL, WM_SETFOCUS})
        SendMessageW(window, message, 0, 0);
    EXPECT_EQ(Entries{"3"}, log.entries);
}

TEST_F(DeviceInput, CloseCanBeCancelledAndOtherwiseEndsTheLoop)
{
    Create(DeviceWindowTest::SmallParams());
    device->AddMemberFunctionDelegate(DEVICE_EVENT_DEVICE_CLOSE, this, &DeviceInput::Cancel);
    cancelClose = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(Entries{"13"}, log.entries);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(device->ProcessMessages());

    cancelClose = false;
    log.entries.clear();
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_GE(log.entries.size(), 2u);
    EXPECT_EQ((Entries{"13", "14"}), Entries(log.entries.begin(), log.entries.begin() + 2));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(device->ProcessMessages());
    EXPECT_EQ(nullptr, device->GetWindowHandle());
}

TEST(MultiSampleChoice, ClampsThenStepsDownWhileRefused)
{
    const auto all = [](D3DMULTISAMPLE_TYPE) { return true; };
    const auto upToFour = [](D3DMULTISAMPLE_TYPE type) { return type <= 4; };
    const auto notTwo = [](D3DMULTISAMPLE_TYPE type) { return type != 2; };
    const auto none = [](D3DMULTISAMPLE_TYPE) { return false; };
    const struct { int32_t requested; std::function<bool(D3DMULTISAMPLE_TYPE)> accepted; int expected; } cases[] = {
        {-5, all, 0}, {0, all, 0}, {1, all, 0}, {2, all, 2}, {8, all, 8}, {17, all, 16},
        {17, upToFour, 4}, {3, notTwo, 3}, {2, notTwo, 0}, {16, none, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.requested);
        EXPECT_EQ(c.expected, static_cast<int>(CDevice_Win32::ChooseMultiSampleType(c.requested, c.accepted)));
    }
}

} // namespace
