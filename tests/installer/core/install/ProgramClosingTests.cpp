// Closing running game programs before an install: by executable name in any
// letter case, and by the game's frame windows, never the installer itself.

#include "installer/core/install/ProgramClosingFunctions.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using InstallerTests::StandInProcess;

// A window of another process: this test's own windows carry the same
// class and titles and must not count as the stand-in's.
bool WindowAppears(const wchar_t* title)
{
    for (int tries = 0; tries < 500; ++tries) {
        for (HWND window = FindWindowExW(nullptr, nullptr, L"RVFRAME", title); window != nullptr;
             window = FindWindowExW(nullptr, window, L"RVFRAME", title)) {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (processId != GetCurrentProcessId())
                return true;
        }
        Sleep(20);
    }
    return false;
}

// A frame window of the game's class in this very process.
struct OwnFrameWindow
{
    OwnFrameWindow(const wchar_t* title)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"RVFRAME";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, L"RVFRAME", title, WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ~OwnFrameWindow() { DestroyWindow(window); }
    HWND window;
};

TEST(ClosingGamePrograms, ProcessesOfTheGamesNamesInAnyCaseAreEnded)
{
    RVTest::TempFolder folder;
    StandInProcess lowerCase(folder.Path(), L"zurovozizizer.exe", L"--wait");
    StandInProcess containing(folder.Path(), L"Old_WMChatClient.exe.bak.exe", L"--wait");
    StandInProcess restarter(folder.Path(), L"WMUPDATERRESTARTER.EXE", L"--wait");
    StandInProcess bystander(folder.Path(), L"Bystander.exe", L"--wait");
    ASSERT_TRUE(lowerCase.Started() && containing.Started() && restarter.Started() && bystander.Started());
    Sleep(300);
    CloseRunningClientPrograms();
    EXPECT_TRUE(lowerCase.EndsWithin(10000));
    EXPECT_TRUE(containing.EndsWithin(10000));
    EXPECT_TRUE(restarter.EndsWithin(10000));
    EXPECT_FALSE(bystander.EndsWithin(200));
}

TEST(ClosingGamePrograms, FrameWindowsOfTheGameAreEndedButNeverTheInstallerItself)
{
    // The installer's own window may carry the game's class and title, and its
    // own file name may contain a game program's name.
    OwnFrameWindow own(L"Wendmoor - 更新");
    OwnFrameWindow ownSecond(L"Wendmoor");
    RVTest::TempFolder folder;
    StandInProcess updater(folder.Path(), L"Helper1.exe", L"--window=Wendmoor - 更新");
    StandInProcess game(folder.Path(), L"Helper2.exe", L"--window=Wendmoor");
    ASSERT_TRUE(updater.Started() && game.Started());
    ASSERT_TRUE(WindowAppears(L"Wendmoor - 更新"));
    ASSERT_TRUE(WindowAppears(L"Wendmoor"));
    Sleep(200);
    CloseRunningClientPrograms();
    EXPECT_TRUE(updater.EndsWithin(10000));
    EXPECT_TRUE(game.EndsWithin(10000));

    TerminateWindowProcess(L"RVFRAME", L"Wendmoor");
    TerminateProgramByName(L"test_installer_worker.exe");
    EXPECT_EQ(OpenWindowProcess(own.window), nullptr);
    EXPECT_EQ(OpenProcessByName(L"TEST_INSTALLER_WORKER"), nullptr);
    // Still here.
    EXPECT_TRUE(IsWindow(own.window));
}

} // namespace
