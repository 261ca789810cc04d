#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// Event a check box raises when clicked (sender: its ICheckBox), with
// tagCheckBoxClickedEventArgs; an auto-check box has already toggled.
constexpr int32_t kCheckBoxClickedEvent = 16;

struct RV_API tagCheckBoxClickedEventArgs : public Common::tagEventArgs
{
};

// A two-state box with normal, hover and disabled looks for each state.
class RV_API ICheckBox : public virtual IUIWindow
{
public:
    virtual void SetEnableHoverAnimation(bool on) = 0;
    virtual bool GetEnableHoverAnimation() = 0;
    // Raises no event.
    virtual void SetChecked(bool checked) = 0;
    virtual bool IsChecked() = 0;
    // A click toggles the state by itself.
    virtual void SetAutoCheck(bool autoCheck) = 0;
    virtual bool GetAutoCheck() = 0;
    // Getters hand out the held image without a reference.
    virtual void SetUncheckedImage(IUIImage* image) = 0;
    virtual IUIImage* GetUncheckedImage() = 0;
    virtual void SetUncheckedHoverImage(IUIImage* image) = 0;
    virtual IUIImage* GetUncheckedHoverImage() = 0;
    virtual void SetUncheckedDisabledImage(IUIImage* image) = 0;
    virtual IUIImage* GetUncheckedDisabledImage() = 0;
    virtual void SetCheckedImage(IUIImage* image) = 0;
    virtual IUIImage* GetCheckedImage() = 0;
    virtual void SetCheckedHoverImage(IUIImage* image) = 0;
    virtual IUIImage* GetCheckedHoverImage() = 0;
    virtual void SetCheckedDisabledImage(IUIImage* image) = 0;
    virtual IUIImage* GetCheckedDisabledImage() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
