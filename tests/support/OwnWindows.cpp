#include "tests/support/OwnWindows.h"

#include "tests/support/InputTrace.h"
#include "tests/support/WaitUntil.h"

#include "engine/common/base/IString.h"

#include <cstdio>
#include <cwchar>

namespace RVTest {

namespace {

// A busy machine can keep a window's thread from its queue for a while: one
// unanswered try is no verdict, the caller's bound is.
constexpr UINT kAnswerLimitMs = 2000;

// Text as the system keeps it: GetWindowText would send WM_GETTEXT to the
// window's thread, and so wait on a thread that may be the one stuck.
std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    InternalGetWindowText(window, text, 256);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM collected)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        reinterpret_cast<std::vector<tagOwnWindow>*>(collected)->push_back(
            {window, ClassOf(window), TextOf(window), IsWindowVisible(window) != FALSE,
             IsWindowEnabled(window) != FALSE});
    return TRUE;
}

bool Matches(const tagOwnWindow& window, const wchar_t* className, const wchar_t* title)
{
    return window.visible && window.className == className && (title == nullptr || window.title == title);
}

std::wstring Described(const std::wstring& className, const std::wstring& title, bool visible, bool enabled)
{
    return className + L" \"" + title + L"\" " + (visible ? L"shown" : L"hidden") + L" " +
           (enabled ? L"enabled" : L"disabled");
}

std::wstring DescribeWindow(HWND window)
{
    if (window == nullptr)
        return L"none";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return Described(ClassOf(window), TextOf(window), IsWindowVisible(window) != FALSE,
                     IsWindowEnabled(window) != FALSE) +
           (process == GetCurrentProcessId() ? L" of this process" : L" of process " + std::to_wstring(process));
}

} // namespace

std::vector<tagOwnWindow> OwnTopLevelWindows()
{
    std::vector<tagOwnWindow> windows;
    EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindOwnVisibleWindow(const wchar_t* className, const wchar_t* title)
{
    for (const tagOwnWindow& window : OwnTopLevelWindows())
        if (Matches(window, className, title))
            return window.handle;
    return nullptr;
}

int CountOwnVisibleWindows(const wchar_t* className, const wchar_t* title)
{
    int count = 0;
    for (const tagOwnWindow& window : OwnTopLevelWindows())
        count += Matches(window, className, title) ? 1 : 0;
    return count;
}

HWND WaitForOwnVisibleWindow(const wchar_t* className, const wchar_t* title, DWORD limitMs)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindOwnVisibleWindow(className, title)) != nullptr; }, limitMs);
    return found;
}

std::wstring DescribeOwnWindows()
{
    std::wstring lines;
    for (const tagOwnWindow& window : OwnTopLevelWindows())
        lines += L"  " + Described(window.className, window.title, window.visible, window.enabled) + L"\n";
    return lines.empty() ? L"  (none)\n" : lines;
}

std::wstring WhyNoClickLands(HWND window, POINT screenPoint, bool mustBeEnabled)
{
    if (!IsWindow(window))
        return L"the window is gone";
    if (!IsWindowVisible(window))
        return L"the window is hidden";
    if (IsIconic(window))
        return L"the window is minimised";
    if (mustBeEnabled && !IsWindowEnabled(window))
        return L"the window is disabled";
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerLimitMs, &answer))
        return L"the window's thread does not answer";
    // A click on a window that is not active first activates it, and the
    // focus change the display server reports later can end the press
    // before its release.
    if (mustBeEnabled && GetForegroundWindow() != window) {
        SetForegroundWindow(window);
        return L"the window is not in the foreground";
    }
    const HWND hit = WindowFromPoint(screenPoint);
    const HWND top = hit != nullptr ? GetAncestor(hit, GA_ROOT) : nullptr;
    if (top == window)
        return std::wstring();
    if (top == nullptr)
        return L"no window is under the point";
    DWORD process = 0;
    GetWindowThreadProcessId(top, &process);
    const bool own = process == GetCurrentProcessId();
    // Asynchronous: the window's thread is not this one, and may be busy.
    if (!own)
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    return L"the point is covered by " + DescribeWindow(top);
}

std::wstring WaitUntilAClickLands(HWND window, POINT screenPoint, bool mustBeEnabled, DWORD limitMs)
{
    std::wstring why;
    WaitUntil([&] { return (why = WhyNoClickLands(window, screenPoint, mustBeEnabled)).empty(); }, limitMs);
    return why;
}

void ReportStepGivenUp(const std::wstring& step)
{
    std::wstring report = L"Gave up: " + step + L"\nThis process's top-level windows then:\n" +
                          DescribeOwnWindows() + L"The foreground: " + DescribeWindow(GetForegroundWindow()) + L"\n";
    const std::wstring trace = DescribeInputTrace();
    if (!trace.empty())
        report += L"What the traced thread's windows took and were sent:\n" + trace;
    std::fputs(RVGameEngine::Common::IString_Create_Utf16(report.c_str())->GetUtf8(), stderr);
    std::fflush(stderr);
}

} // namespace RVTest
