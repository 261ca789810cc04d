#include "engine/common/base/EngineMessageBox.h"

#include "engine/common/base/CAutoLock.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace RVGameEngine {
namespace Common {

namespace {

std::atomic<EngineMessageBoxHook> g_messageBoxHook{nullptr};

// The texts of the warning boxes open right now, on any thread.
class CShowingWarnings
{
public:
    // False when the text is showing already.
    bool Enter(const std::wstring& text)
    {
        CAutoLock lock(&m_lock);
        if (std::find(m_texts.begin(), m_texts.end(), text) != m_texts.end())
            return false;
        m_texts.push_back(text);
        return true;
    }

    void Leave(const std::wstring& text)
    {
        CAutoLock lock(&m_lock);
        const auto found = std::find(m_texts.begin(), m_texts.end(), text);
        if (found != m_texts.end())
            m_texts.erase(found);
    }

private:
    CCriticalSection m_lock;
    std::vector<std::wstring> m_texts;
};

CShowingWarnings& ShowingWarnings()
{
    static CShowingWarnings* showing = new CShowingWarnings();
    return *showing;
}

} // namespace

EngineMessageBoxHook SetEngineMessageBoxHook(EngineMessageBoxHook hook)
{
    return g_messageBoxHook.exchange(hook);
}

int EngineMessageBox(void* ownerWindow, const wchar_t* text, const wchar_t* caption, unsigned int type)
{
    if (EngineMessageBoxHook hook = g_messageBoxHook.load())
        return hook(text, caption, type);
    return MessageBoxW(static_cast<HWND>(ownerWindow), text, caption, type);
}

bool ShowEngineWarningBox(const wchar_t* text)
{
    const std::wstring shown = text != nullptr ? text : L"";
    if (!ShowingWarnings().Enter(shown))
        return false;
    EngineMessageBox(nullptr, shown.c_str(), L"Warning", MB_OK);
    ShowingWarnings().Leave(shown);
    return true;
}

} // namespace Common
} // namespace RVGameEngine
