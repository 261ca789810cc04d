#include "engine/directui/frame/CFrameTrayIcon.h"

#include "engine/directui/frame/FrameEvents.h"
#include "engine/directui/frame/IFrame.h"

#include <shellapi.h>

#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

namespace {

NOTIFYICONDATAW IconData(HWND window)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kFrameTrayIconId;
    return data;
}

} // namespace

void CFrameTrayIcon::Add()
{
    if (m_added)
        Remove();
    NOTIFYICONDATAW data = IconData(m_frame->GetHandle());
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = kFrameTrayMessage;
    Shell_NotifyIconW(NIM_ADD, &data);
    m_added = true;
}

void CFrameTrayIcon::Modify(UINT flags, HICON icon, const wchar_t* tip)
{
    if (!m_added)
        return;
    NOTIFYICONDATAW data = IconData(m_frame->GetHandle());
    data.uFlags = flags;
    data.hIcon = icon;
    if (tip != nullptr) {
        // Longer tips are cut to what the field holds.
        const size_t capacity = sizeof(data.szTip) / sizeof(data.szTip[0]);
        wcsncpy(data.szTip, tip, capacity - 1);
        data.szTip[capacity - 1] = L'\0';
    }
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void CFrameTrayIcon::SetIcon(HICON icon)
{
    Modify(NIF_ICON, icon, nullptr);
}

void CFrameTrayIcon::SetTip(const wchar_t* text)
{
    Modify(NIF_TIP, nullptr, text != nullptr ? text : L"");
}

void CFrameTrayIcon::Remove()
{
    if (!m_added)
        return;
    NOTIFYICONDATAW data = IconData(m_frame->GetHandle());
    Shell_NotifyIconW(NIM_DELETE, &data);
    m_added = false;
}

} // namespace DirectUI
} // namespace RVGameEngine
