#include "engine/directui/IFrameManager.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace RVGameEngine::DirectUI;

namespace {

// GDI+ must be up before any font is made; the frame manager starts it.
void StartFrameManager()
{
    static const ATOM atom = IFrameManager_GetInstance()->Initialize();
    (void)atom;
}

} // namespace

TEST(FrameManager, InitializeRegistersTheFrameClassOnce)
{
    IFrameManager* manager = IFrameManager_GetInstance();
    ASSERT_NE(manager, nullptr);
    StartFrameManager();
    WNDCLASSW frameClass = {};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"RVFRAME", &frameClass));
    EXPECT_EQ(frameClass.style, 0x082Bu);
    EXPECT_EQ(frameClass.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(frameClass.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(frameClass.hIcon, nullptr);
    // The class exists now: a second registration fails and says so.
    EXPECT_EQ(manager->Initialize(), 0);
    // Windows of the class work before any frame takes them over.
    HWND window = CreateWindowExW(0, L"RVFRAME", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(DestroyWindow(window));
}
