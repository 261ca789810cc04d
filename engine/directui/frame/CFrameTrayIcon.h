#pragma once

#include <windows.h>

namespace RVGameEngine {
namespace DirectUI {

class IFrame;

// A frame's icon in the notification area: identifier 501, whose clicks come
// back to the frame's window as message 1525.
class CFrameTrayIcon
{
public:
    explicit CFrameTrayIcon(IFrame* frame) : m_frame(frame) {}
    CFrameTrayIcon(const CFrameTrayIcon&) = delete;
    CFrameTrayIcon& operator=(const CFrameTrayIcon&) = delete;

    // Adds the icon, taking away one added before.
    void Add();
    // Both change an added icon only.
    void SetIcon(HICON icon);
    void SetTip(const wchar_t* text);
    void Remove();

private:
    void Modify(UINT flags, HICON icon, const wchar_t* tip);

    IFrame* m_frame;
    bool m_added = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
