#pragma once

#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// A number drawn from a strip of ten digit pictures, with optional sign
// pictures before it. Raises no events of its own.
class RV_API IDigits : public virtual IUIWindow
{
public:
    // The size painting the current number takes (needs a digits image).
    virtual void GetDigitsSize(int32_t* width, int32_t* height) = 0;
    virtual void SetNumber(int32_t number) = 0;
    virtual int32_t GetNumber() = 0;
    // The distance between digits as a share of one digit's width (no redraw).
    virtual void SetRatioStepX(float ratio) = 0;
    virtual float GetRatioStepX() = 0;
    virtual void SetDigitsImage(IUIImage* image) = 0;
    virtual void SetAddImage(IUIImage* image) = 0;
    virtual void SetSubImage(IUIImage* image) = 0;
    virtual IUIImage* GetDigitsImage() = 0;
    virtual IUIImage* GetAddImage() = 0;
    virtual IUIImage* GetSubImage() = 0;
    // Turns the number's magnitude into digits; one integer field (no redraw).
    virtual void SetFormatString(const wchar_t* format) = 0;
    virtual const wchar_t* GetFormatString() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
