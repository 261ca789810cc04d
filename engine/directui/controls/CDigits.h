#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IDigits.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <string>

namespace RVGameEngine {
namespace DirectUI {

// Draws its number from digit pictures, placed by the title alignment.
class RV_API CDigits : public CUIWindow, public IDigits
{
public:
    // IDigits
    void GetDigitsSize(int32_t* width, int32_t* height) override;
    void SetNumber(int32_t number) override;
    int32_t GetNumber() override;
    void SetRatioStepX(float ratio) override;
    float GetRatioStepX() override;
    void SetDigitsImage(IUIImage* image) override;
    void SetAddImage(IUIImage* image) override;
    void SetSubImage(IUIImage* image) override;
    IUIImage* GetDigitsImage() override;
    IUIImage* GetAddImage() override;
    IUIImage* GetSubImage() override;
    void SetFormatString(const wchar_t* format) override;
    const wchar_t* GetFormatString() override;

    // IUIWindow
    void ResetBackgroundImage() override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // CUIWindow
    void OnPaint() override;

private:
    struct tagLayout
    {
        std::wstring text;
        int32_t cellWidth = 0;
        int32_t height = 0;
        int32_t step = 0;
        IUIImage* sign = nullptr;
        int32_t signWidth = 0;
        int32_t width = 0;
    };
    tagLayout Measure();
    std::wstring DigitText();

    Common::TIntrusivePointer<IUIImage> m_digitsImage;
    Common::TIntrusivePointer<IUIImage> m_addImage;
    Common::TIntrusivePointer<IUIImage> m_subImage;
    int32_t m_number = 0;
    float m_ratioStepX = 0.75f;
    std::wstring m_formatString = L"%d";
};

} // namespace DirectUI
} // namespace RVGameEngine
