#include "engine/common/base/EngineMessageBox.h"

#include <windows.h>

#include <atomic>

namespace RVGameEngine {
namespace Common {

namespace {
std::atomic<EngineMessageBoxHook> g_messageBoxHook{nullptr};
}

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

} // namespace Common
} // namespace RVGameEngine
