#include "tests/support/InputTrace.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CCriticalSection.h"

#include <deque>

namespace RVTest {

namespace {

struct tagTracedMessage
{
    ULONGLONG atMs;
    UINT message;
    std::wstring window;
    WPARAM wParam;
    LPARAM lParam;
};

constexpr size_t kKeptMessages = 96;

struct tagTraceState
{
    RVGameEngine::Common::CCriticalSection lock;
    bool running = false;
    ULONGLONG startMs = 0;
    std::deque<tagTracedMessage> messages;
};

tagTraceState& State()
{
    static tagTraceState state;
    return state;
}

const wchar_t* NameOf(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN: return L"WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return L"WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return L"WM_LBUTTONDBLCLK";
    case WM_MOUSEMOVE: return L"WM_MOUSEMOVE";
    case WM_NCLBUTTONDOWN: return L"WM_NCLBUTTONDOWN";
    case WM_ACTIVATE: return L"WM_ACTIVATE";
    case WM_ACTIVATEAPP: return L"WM_ACTIVATEAPP";
    case WM_SETFOCUS: return L"WM_SETFOCUS";
    case WM_KILLFOCUS: return L"WM_KILLFOCUS";
    case WM_CAPTURECHANGED: return L"WM_CAPTURECHANGED";
    case WM_CANCELMODE: return L"WM_CANCELMODE";
    case WM_ENABLE: return L"WM_ENABLE";
    case WM_SHOWWINDOW: return L"WM_SHOWWINDOW";
    case WM_MOUSEACTIVATE: return L"WM_MOUSEACTIVATE";
    default: return nullptr;
    }
}

std::wstring WindowName(HWND window)
{
    wchar_t className[64] = {}, title[64] = {};
    GetClassNameW(window, className, 64);
    InternalGetWindowText(window, title, 64);
    wchar_t handle[16] = {};
    swprintf(handle, 16, L"%p", static_cast<void*>(window));
    return std::wstring(className) + L" \"" + title + L"\" " + handle;
}

void Record(UINT message, HWND window, WPARAM wParam, LPARAM lParam)
{
    if (NameOf(message) == nullptr)
        return;
    tagTraceState& state = State();
    RVGameEngine::Common::CAutoLock hold(&state.lock);
    if (!state.running)
        return;
    state.messages.push_back({GetTickCount64() - state.startMs, message, WindowName(window), wParam, lParam});
    if (state.messages.size() > kKeptMessages)
        state.messages.pop_front();
}

LRESULT CALLBACK OnMessageTaken(int code, WPARAM removal, LPARAM message)
{
    if (code == HC_ACTION && removal == PM_REMOVE) {
        const MSG* taken = reinterpret_cast<const MSG*>(message);
        Record(taken->message, taken->hwnd, taken->wParam, taken->lParam);
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

LRESULT CALLBACK OnMessageSent(int code, WPARAM fromThisThread, LPARAM message)
{
    if (code == HC_ACTION) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(message);
        Record(sent->message, sent->hwnd, sent->wParam, sent->lParam);
    }
    return CallNextHookEx(nullptr, code, fromThisThread, message);
}

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

std::wstring Described(const tagTracedMessage& traced)
{
    wchar_t line[128] = {};
    if (IsMouseMessage(traced.message))
        swprintf(line, 128, L"  +%llu ms %ls at (%d, %d) to ", traced.atMs, NameOf(traced.message),
                 static_cast<short>(LOWORD(traced.lParam)), static_cast<short>(HIWORD(traced.lParam)));
    else
        swprintf(line, 128, L"  +%llu ms %ls (%#lx, %#lx) to ", traced.atMs, NameOf(traced.message),
                 static_cast<unsigned long>(traced.wParam), static_cast<unsigned long>(traced.lParam));
    return line + traced.window + L"\n";
}

} // namespace

CInputTrace::CInputTrace()
{
    tagTraceState& state = State();
    {
        RVGameEngine::Common::CAutoLock hold(&state.lock);
        state.messages.clear();
        state.startMs = GetTickCount64();
        state.running = true;
    }
    m_taken.Reset(SetWindowsHookExW(WH_GETMESSAGE, OnMessageTaken, nullptr, GetCurrentThreadId()));
    m_sent.Reset(SetWindowsHookExW(WH_CALLWNDPROC, OnMessageSent, nullptr, GetCurrentThreadId()));
}

CInputTrace::~CInputTrace()
{
    m_taken.Reset();
    m_sent.Reset();
    tagTraceState& state = State();
    RVGameEngine::Common::CAutoLock hold(&state.lock);
    state.running = false;
    state.messages.clear();
}

std::wstring DescribeInputTrace()
{
    tagTraceState& state = State();
    RVGameEngine::Common::CAutoLock hold(&state.lock);
    if (!state.running)
        return std::wstring();
    std::wstring lines;
    for (const tagTracedMessage& traced : state.messages)
        lines += Described(traced);
    wchar_t now[48] = {};
    swprintf(now, 48, L"  (now +%llu ms)\n", GetTickCount64() - state.startMs);
    return lines + now;
}

} // namespace RVTest
