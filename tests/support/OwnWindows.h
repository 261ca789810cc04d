#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace RVTest {

// Test programs run side by side on one desktop: a lookup by class and title
// over the whole desktop (FindWindow) answers with whichever program's window
// comes first, shown or hidden. These look only among this process's own
// top-level windows, every one of them.

struct tagOwnWindow
{
    HWND handle;
    std::wstring className;
    std::wstring title;
    bool visible;
    bool enabled;
};

// This process's top-level windows, owned popups and dialogs included, in
// the desktop's order (topmost first).
std::vector<tagOwnWindow> OwnTopLevelWindows();

// The first visible one of that class whose title is the one given (null:
// any title), or null.
HWND FindOwnVisibleWindow(const wchar_t* className, const wchar_t* title);
int CountOwnVisibleWindows(const wchar_t* className, const wchar_t* title);

// FindOwnVisibleWindow waited for (bounded).
HWND WaitForOwnVisibleWindow(const wchar_t* className, const wchar_t* title, DWORD limitMs);

// Each of this process's top-level windows, one a line: class, title,
// shown or hidden, enabled or disabled.
std::wstring DescribeOwnWindows();

// Why a click at that screen point would not reach the window now; empty
// once it would: the window is shown and not minimised, enabled and in the
// foreground (when it must be enabled; it is asked to come there), answers
// messages, and is the window under the point. A window
// of another program that covers the point is asked to go under ours; one
// of this process is not moved, as the test placed it.
std::wstring WhyNoClickLands(HWND window, POINT screenPoint, bool mustBeEnabled);

// Waits (bounded) until a click at the point would reach the window; the
// last reason it would not, or empty.
std::wstring WaitUntilAClickLands(HWND window, POINT screenPoint, bool mustBeEnabled, DWORD limitMs);

// Writes, on standard error in UTF-8 and at once, that a step gave up, with
// this process's windows: a child ended for it leaves its reason in the
// parent's log, where its exit status alone would not say it.
void ReportStepGivenUp(const std::wstring& step);

} // namespace RVTest
