#include "tests/support/OwnWindows.h"

#include "tests/support/MessagePump.h"
#include "tests/support/PlainWindow.h"
#include "tests/support/WaitUntil.h"

#include "engine/common/base/TScopedHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using RVGameEngine::Common::CScopedKernelHandle;
using RVGameEngine::Common::CScopedWindow;
using RVTest::kPlainWindowClass;
using RVTest::MakePlainWindow;

namespace {

constexpr wchar_t kTitle[] = L"Side by side";
constexpr wchar_t kOtherProgramVariable[] = L"RVTEST_OWN_WINDOWS_PARENT";
constexpr DWORD kLimitMs = 60000;
// Where the other program's shown window stands, and a window of ours under it.
constexpr RECT kCoveredPlace = {300, 300, 500, 450};

std::wstring EventName(const wchar_t* what, const std::wstring& parent)
{
    return std::wstring(L"RVTestOwnWindows-") + what + L"-" + parent;
}

POINT MiddleOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Another copy of this program showing a window of the same class and title
// over one of ours, and a hidden one above it, until it goes.
class OtherProgramsWindows
{
public:
    OtherProgramsWindows()
        : m_parent(std::to_wstring(GetCurrentProcessId())),
          m_ready(CreateEventW(nullptr, TRUE, FALSE, EventName(L"ready", m_parent).c_str())),
          m_done(CreateEventW(nullptr, TRUE, FALSE, EventName(L"done", m_parent).c_str()))
    {
        wchar_t program[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        std::wstring commandLine = std::wstring(L"\"") + program +
                                   L"\" --gtest_filter=OtherProgram.DISABLED_ShowsWindowsUntilTold "
                                   L"--gtest_also_run_disabled_tests";
        SetEnvironmentVariableW(kOtherProgramVariable, m_parent.c_str());
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        const BOOL made = m_ready && m_done &&
                          CreateProcessW(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                         &startup, &started);
        SetEnvironmentVariableW(kOtherProgramVariable, nullptr);
        if (!made)
            return;
        const CScopedKernelHandle thread(started.hThread);
        m_process.Reset(started.hProcess);
        m_processId = started.dwProcessId;
        const HANDLE either[] = {m_ready.Get(), m_process.Get()};
        m_shown = WaitForMultipleObjects(2, either, FALSE, kLimitMs) == WAIT_OBJECT_0;
    }
    ~OtherProgramsWindows()
    {
        if (!m_process)
            return;
        SetEvent(m_done.Get());
        if (WaitForSingleObject(m_process.Get(), kLimitMs) != WAIT_OBJECT_0) {
            TerminateProcess(m_process.Get(), 1);
            WaitForSingleObject(m_process.Get(), kLimitMs);
        }
    }
    OtherProgramsWindows(const OtherProgramsWindows&) = delete;
    OtherProgramsWindows& operator=(const OtherProgramsWindows&) = delete;

    bool Shown() const { return m_shown; }
    DWORD ProcessId() const { return m_processId; }

private:
    std::wstring m_parent;
    CScopedKernelHandle m_ready;
    CScopedKernelHandle m_done;
    CScopedKernelHandle m_process;
    DWORD m_processId = 0;
    bool m_shown = false;
};

DWORD OwnerOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

} // namespace

// Run only by OtherProgramsWindows, as another program.
TEST(OtherProgram, DISABLED_ShowsWindowsUntilTold)
{
    wchar_t parent[32] = {};
    ASSERT_NE(GetEnvironmentVariableW(kOtherProgramVariable, parent, 32), 0u);
    const CScopedKernelHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(L"ready", parent).c_str()));
    const CScopedKernelHandle done(OpenEventW(SYNCHRONIZE, FALSE, EventName(L"done", parent).c_str()));
    ASSERT_TRUE(ready && done);
    const CScopedWindow shown = MakePlainWindow(kTitle, true, kCoveredPlace);
    const CScopedWindow hidden = MakePlainWindow(kTitle, false, kCoveredPlace);
    ASSERT_TRUE(shown && hidden);
    SetEvent(ready.Get());
    const HANDLE waited = done.Get();
    const ULONGLONG end = GetTickCount64() + kLimitMs;
    while (GetTickCount64() < end &&
           MsgWaitForMultipleObjects(1, &waited, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0)
        RVTest::DeliverPostedMessages();
}

// Another program's windows of the same class and title, hidden or shown,
// come before ours on the desktop: ours are still the ones found, and only
// ours are listed.
TEST(OwnWindows, AreFoundAmongThisProcesssOwnWhateverOtherProgramsShow)
{
    const CScopedWindow ours = MakePlainWindow(kTitle, true, {0, 0, 200, 150});
    const CScopedWindow hidden = MakePlainWindow(L"Hidden", false, {0, 0, 200, 150});
    const CScopedWindow another = MakePlainWindow(L"Another", true, {0, 200, 200, 350});
    ASSERT_TRUE(ours && hidden && another);
    const OtherProgramsWindows other;
    ASSERT_TRUE(other.Shown());
    const HWND firstOnTheDesktop = FindWindowW(kPlainWindowClass, kTitle);
    ASSERT_EQ(OwnerOf(firstOnTheDesktop), other.ProcessId()) << "the other program's window comes first";

    const struct
    {
        const wchar_t* className;
        const wchar_t* title;
        HWND found;
        int count;
    } rows[] = {
        {kPlainWindowClass, kTitle, ours.Get(), 1},
        {kPlainWindowClass, L"Another", another.Get(), 1},
        {kPlainWindowClass, L"Hidden", nullptr, 0},
        {kPlainWindowClass, nullptr, nullptr, 2},
        {L"NoSuchClass", nullptr, nullptr, 0},
    };
    for (const auto& row : rows) {
        const std::wstring name = std::wstring(row.className) + L"/" + (row.title != nullptr ? row.title : L"(any)");
        if (row.count == 1) {
            EXPECT_EQ(RVTest::WaitForOwnVisibleWindow(row.className, row.title, kLimitMs), row.found) << name;
        } else if (row.count == 0) {
            EXPECT_EQ(RVTest::FindOwnVisibleWindow(row.className, row.title), nullptr) << name;
        }
        EXPECT_EQ(RVTest::CountOwnVisibleWindows(row.className, row.title), row.count) << name;
    }
    const std::wstring listed = RVTest::DescribeOwnWindows();
    for (const wchar_t* line : {L"  RVTestPlainWindow \"Side by side\" shown enabled\n",
                                L"  RVTestPlainWindow \"Hidden\" hidden enabled\n",
                                L"  RVTestPlainWindow \"Another\" shown enabled\n"}) {
        const size_t at = listed.find(line);
        EXPECT_NE(at, std::wstring::npos) << line;
        EXPECT_EQ(listed.find(line, at + 1), std::wstring::npos) << "listed once: " << line;
    }
}

// A click is held back while it would not reach the window, and the reason
// says what stands in the way; a window of another program over ours is sent
// under it, one of ours is left where the test put it.
TEST(OwnWindows, TakeAClickOnlyWhenItWouldReachThem)
{
    const CScopedWindow under = MakePlainWindow(L"Under", true, kCoveredPlace);
    const CScopedWindow plain = MakePlainWindow(L"Plain", true, {0, 0, 200, 150});
    const CScopedWindow disabled = MakePlainWindow(L"Disabled", true, {0, 200, 200, 350});
    const CScopedWindow hidden = MakePlainWindow(L"Hidden", false, {0, 0, 200, 150});
    const CScopedWindow minimised = MakePlainWindow(L"Minimised", true, {0, 0, 200, 150});
    const CScopedWindow covered = MakePlainWindow(L"Covered", true, {600, 0, 800, 150});
    // Topmost: no other program's window comes between it and the one it covers.
    const CScopedWindow cover = MakePlainWindow(L"Cover", true, {650, 0, 750, 150}, WS_EX_TOPMOST);
    ASSERT_TRUE(under && plain && disabled && hidden && minimised && covered && cover);
    EnableWindow(disabled.Get(), FALSE);
    ShowWindow(minimised.Get(), SW_MINIMIZE);
    RVTest::DeliverPostedMessages();

    const struct
    {
        HWND window;
        bool mustBeEnabled;
        const wchar_t* reason;
    } rows[] = {
        {plain.Get(), true, L""},
        {disabled.Get(), true, L"the window is disabled"},
        {disabled.Get(), false, L""},
        {hidden.Get(), true, L"the window is hidden"},
        {minimised.Get(), true, L"the window is minimised"},
        {covered.Get(), true, L"the point is covered by RVTestPlainWindow \"Cover\" shown enabled of this process"},
    };
    for (const auto& row : rows) {
        const POINT point = MiddleOf(row.window);
        EXPECT_EQ(RVTest::WaitUntilAClickLands(row.window, point, row.mustBeEnabled, 2000), row.reason)
            << RVTest::DescribeOwnWindows();
    }

    const OtherProgramsWindows other;
    ASSERT_TRUE(other.Shown());
    // A refused click: asking for the foreground would also raise the window.
    const POINT point = MiddleOf(under.Get());
    const std::wstring first = RVTest::WhyNoClickLands(under.Get(), point, false);
    EXPECT_NE(first.find(L"of process " + std::to_wstring(other.ProcessId())), std::wstring::npos) << first;
    EXPECT_EQ(RVTest::WaitUntilAClickLands(under.Get(), point, false, kLimitMs), L"");
}

// A window whose thread takes no messages is not clicked.
TEST(OwnWindows, TakeNoClickWhileTheirThreadIsStuck)
{
    const CScopedKernelHandle made(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const CScopedKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(made && release);
    HWND window = nullptr;
    std::thread stuck([&] {
        const CScopedWindow own = MakePlainWindow(L"Stuck", true, {0, 0, 200, 150});
        window = own.Get();
        SetEvent(made.Get());
        WaitForSingleObject(release.Get(), kLimitMs);
    });
    WaitForSingleObject(made.Get(), kLimitMs);
    const std::wstring why = window != nullptr ? RVTest::WhyNoClickLands(window, MiddleOf(window), true) : L"none";
    SetEvent(release.Get());
    stuck.join();
    EXPECT_EQ(why, L"the window's thread does not answer");
}
