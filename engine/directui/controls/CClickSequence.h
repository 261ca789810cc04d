#pragma once

#include "engine/directui/uisystem/CUIWindow.h"
#include "engine/directui/uisystem/tagHoverAnimation.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// The press, release and hover road that every clickable control shares: a
// press on the window captures the mouse, and the next release that reaches
// it records the window's bury point and, when it lands on the window,
// completes a click. The control reports the click in its own words.
class CClickSequence
{
public:
    // The app panel ends a press that turned into its own drag with a release
    // at this coordinate (x, y or both); it never lands on a control.
    static constexpr int32_t kFarAwayCoordinate = -10000;

    struct tagRules
    {
        // Every release reaching the control is taken, not only clicks: the
        // windows behind it never see the end of its press.
        bool takesEveryRelease = false;
        // The synthetic far-away release of a drag taken over elsewhere
        // leaves the capture alone.
        bool keepsCaptureOnFarAwayRelease = false;
    };

    CClickSequence(CUIWindow* window, tagRules rules);

    bool IsPressed() const { return m_pressed; }

    // The control's left-press handler: the children see the press first.
    void Press(int32_t x, int32_t y, bool* continueRouting);
    // The control's left-release handler; true when the release completed a
    // click that the control must report (a suppressed click is swallowed).
    bool Release(int32_t x, int32_t y, bool* continueRouting);
    // Counts the click and logs "UI Event: <kind> <full name> <outcome>".
    void CountAndLog(const wchar_t* kind, const wchar_t* outcome);
    // The control's mouse-move handler: hovering follows the pointer.
    void FollowHover(tagHoverAnimation& hover, int32_t x, int32_t y, bool* continueRouting);

private:
    bool IsLive();
    void RecordBuryPoint();
    void ReleaseCaptureIfHeld(int32_t x, int32_t y);

    CUIWindow* m_window;
    tagRules m_rules;
    bool m_pressed = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
