#include "engine/webui/CBrowserTeardownQueue.h"

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace WebUI {

namespace {

constexpr wchar_t kWindowClass[] = L"RVWebBrowserTeardown";
constexpr wchar_t kMessageName[] = L"RVGameEngine.WebUI.BrowserTeardown";

// Set once made: the window's procedure runs while it is being made, before
// the instance is there to ask.
CBrowserTeardownQueue* g_instance = nullptr;

} // namespace

CBrowserTeardownQueue& CBrowserTeardownQueue::GetInstance()
{
    if (g_instance == nullptr)
        g_instance = new CBrowserTeardownQueue();
    return *g_instance;
}

CBrowserTeardownQueue::CBrowserTeardownQueue()
{
    m_message = RegisterWindowMessageW(kMessageName);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &CBrowserTeardownQueue::WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    m_window.Reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
}

LRESULT CALLBACK CBrowserTeardownQueue::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_instance != nullptr && message != 0 && message == g_instance->m_message &&
        window == g_instance->m_window.Get()) {
        g_instance->RunPending();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CBrowserTeardownQueue::Schedule(Common::IReferenceCounted* browser, TeardownFunction tearDown)
{
    if (!IsScheduled(browser))
        m_pending.push_back({Common::TIntrusivePointer<Common::IReferenceCounted>(browser), tearDown});
    if (!m_posted)
        m_posted = m_window && m_message != 0 && PostMessageW(m_window.Get(), m_message, 0, 0) != FALSE;
    return m_posted;
}

bool CBrowserTeardownQueue::IsScheduled(const Common::IReferenceCounted* browser) const
{
    return std::any_of(m_pending.begin(), m_pending.end(),
                       [browser](const tagPending& pending) { return pending.browser.Get() == browser; });
}

// A browser whose notification is still being delivered (this turn came from
// a message loop that one of its handlers runs) stays held: the end of that
// notification asks for another turn.
void CBrowserTeardownQueue::RunPending()
{
    m_posted = false;
    std::vector<tagPending> pending;
    pending.swap(m_pending);
    for (tagPending& entry : pending) {
        if (!entry.tearDown(entry.browser.Get()))
            m_pending.push_back(std::move(entry));
    }
    // Releasing the others may end them, and their frames with them.
    pending.clear();
}

} // namespace WebUI
} // namespace RVGameEngine
