#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IAnimationBox.h"
#include "engine/directui/controls/IButton.h"
#include "engine/directui/controls/ICheckBox.h"
#include "engine/directui/controls/IDialog.h"
#include "engine/directui/controls/IDigits.h"
#include "engine/directui/controls/IEditBox.h"
#include "engine/directui/controls/ILabel.h"
#include "engine/directui/uisystem/IPanel.h"
#include "engine/directui/controls/IRichLabel.h"
#include "engine/directui/controls/IRichOutputBox.h"
#include "engine/directui/controls/IScrollBar.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUISystem.h"

// The helper's CreateDialog is its own; the system's dialog macro of that name
// is not used by the engine.
#ifdef CreateDialog
#undef CreateDialog
#endif

namespace RVGameEngine {
namespace DirectUI {

// Builds windows in code: controls of one type through a UI system, and
// skinned controls from one picture or a strip of equal frames. The windows
// it makes are bound to the system but have no parent.
class RV_API IUIHelper
{
public:
    using System = Common::TIntrusivePointer<IUISystem>;
    template <typename T>
    using Ptr = Common::TIntrusivePointer<T>;

    virtual Ptr<IUIImage> CreateSubImage(System system, const wchar_t* path, int x, int y, int width,
                                         int height) = 0;
    virtual Ptr<IUIImage> CreateImage(System system, const wchar_t* path) = 0;
    virtual Ptr<ILabel> CreateLabel(System system) = 0;
    virtual Ptr<IPanel> CreateImagePanel(System system, const wchar_t* path) = 0;
    virtual Ptr<IPanel> CreatePanel(System system) = 0;
    virtual Ptr<IDialog> CreateImageDialog(System system, const wchar_t* path) = 0;
    virtual Ptr<IDialog> CreateDialog(System system) = 0;
    virtual Ptr<IButton> CreateSmartButton(System system, const wchar_t* path) = 0;
    virtual Ptr<IButton> CreateButton(System system) = 0;
    virtual Ptr<IButton> CreateImageButton(System system, const wchar_t* path) = 0;
    virtual Ptr<ICheckBox> CreateCheckBox(System system) = 0;
    virtual Ptr<ICheckBox> CreateSmart2CheckBox(System system, const wchar_t* path) = 0;
    virtual Ptr<ICheckBox> CreateSmart6CheckBox(System system, const wchar_t* path) = 0;
    virtual Ptr<IDigits> CreateImageDigits(System system, const wchar_t* path) = 0;
    virtual Ptr<IDigits> CreateDigits(System system) = 0;
    virtual Ptr<IRichOutputBox> CreateRichOutputBox(System system) = 0;
    virtual Ptr<IRichLabel> CreateRichLabel(System system) = 0;
    virtual Ptr<IAnimationBox> CreateAnimationBox(System system) = 0;
    virtual Ptr<IAnimationBox> CreateStripAnimationBox(System system, int frameCount, int framesPerSecond,
                                                       const wchar_t* path) = 0;
    virtual Ptr<IAnimationBox> CreatePatternAnimationBox(System system, int frameCount, int framesPerSecond,
                                                         int firstNumber, const wchar_t* pattern) = 0;
    virtual Ptr<IScrollBar> CreateImageScrollBar(System system, const wchar_t* backPath, const wchar_t* upPath,
                                                 const wchar_t* downPath, const wchar_t* barPath) = 0;
    virtual Ptr<IScrollBar> CreateScrollBar(System system) = 0;
    // Each window takes the other's position and size; nothing without both.
    virtual void SwapWindowRects(Ptr<IUIWindow> first, Ptr<IUIWindow> second) = 0;
    virtual void SetWindowBackgroundImage(Ptr<IUIWindow> window, System system, const wchar_t* path) = 0;
    virtual Ptr<ICheckBox> CreateSmart4CheckBox(System system, const wchar_t* path) = 0;
    virtual Ptr<IEditBox> CreateEditBox(System system) = 0;
};

RV_API IUIHelper* IUIHelper_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
