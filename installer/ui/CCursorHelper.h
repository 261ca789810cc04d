#pragma once

// The usual mouse cursors over the installer's controls: a hand over what can
// be clicked, an I-beam over text entry. It answers each attached frame's
// set-cursor event; a window whose Tag2 is "NotSetCursor" keeps the default.

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/frame/ICursor.h"
#include "engine/directui/frame/IFrame.h"
#include "engine/directui/uisystem/IUIWindow.h"

class CCursorHelper
{
public:
    // The process's helper, made on first use.
    static CCursorHelper* GetInstance();

    CCursorHelper();
    ~CCursorHelper();
    CCursorHelper(const CCursorHelper&) = delete;
    CCursorHelper& operator=(const CCursorHelper&) = delete;

    // Serves the frame's set-cursor event; attaching twice leaves one subscription.
    void AttachFrame(const RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame>& frame);
    void DetachFrame(const RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::IFrame>& frame);

    void ApplyToControls(void* sender, RVGameEngine::Common::tagEventArgs* args);

private:
    // The cursor the control under (x, y) asks for, or null for the default.
    RVGameEngine::DirectUI::ICursor* CursorFor(RVGameEngine::DirectUI::IUIWindow* window, int32_t x, int32_t y);

    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ICursor> m_handCursor;
    RVGameEngine::Common::TIntrusivePointer<RVGameEngine::DirectUI::ICursor> m_beamCursor;
};
