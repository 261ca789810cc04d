#pragma once

#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class IFrame;

// A frame's display over an owner: modal (a nested message loop that runs
// until the frame's window is gone) or modeless (the call returns at once).
// Either way the owner frame, or the given windows that are shown, are
// disabled for as long as the display lasts, and come back when it ends.
class CFrameModality
{
public:
    explicit CFrameModality(IFrame* frame) : m_frame(frame) {}
    CFrameModality(const CFrameModality&) = delete;
    CFrameModality& operator=(const CFrameModality&) = delete;

    void ShowModal(IFrame* owner, bool tickOnIdle);
    void ShowModalOverWindows(HWND* windows, int count, bool tickOnIdle);
    void ShowModeless(IFrame* owner);
    void ShowModelessOverWindows(HWND* windows, int count);
    // Gives the owner, or the windows disabled for the display, back.
    void End();
    bool IsOpen() const { return m_open; }

    // The frame itself is never its own owner.
    void SetOwnerFrame(IFrame* owner);
    IFrame* GetOwnerFrame() const { return m_ownerFrame.Get(); }

    // Hidden and minimised windows are left enabled.
    static void DisableIfShown(HWND window);

private:
    void SetOwnerWindow(HWND owner);
    void RunLoop(bool tickOnIdle);

    IFrame* m_frame;
    bool m_open = false;
    Common::TIntrusivePointer<IFrame> m_ownerFrame;
    HWND m_ownerWindow = nullptr;
    // Those of a modeless display over windows.
    std::vector<HWND> m_disabledWindows;
};

} // namespace DirectUI
} // namespace RVGameEngine
