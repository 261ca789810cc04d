#include "engine/directui/controls/CDigits.h"

#include "engine/directui/services/NumberedFileName.h"
#include "engine/filesystem/documents/IXmlElement.h"

namespace RVGameEngine {
namespace DirectUI {

namespace {

// The longest digit text drawn: more would address pictures beyond reason.
constexpr size_t kMaxDigitText = 999;

using ImagePointer = Common::TIntrusivePointer<IUIImage>;

} // namespace

void CDigits::GetDigitsSize(int32_t* width, int32_t* height)
{
    const tagLayout layout = Measure();
    if (width != nullptr)
        *width = layout.width;
    if (height != nullptr)
        *height = layout.height;
}

void CDigits::SetNumber(int32_t number)
{
    m_number = number;
    Invalidate();
}

int32_t CDigits::GetNumber() { return m_number; }
void CDigits::SetRatioStepX(float ratio) { m_ratioStepX = ratio; }
float CDigits::GetRatioStepX() { return m_ratioStepX; }

void CDigits::SetDigitsImage(IUIImage* image)
{
    m_digitsImage = ImagePointer(image);
    Invalidate();
}

void CDigits::SetAddImage(IUIImage* image)
{
    m_addImage = ImagePointer(image);
    Invalidate();
}

void CDigits::SetSubImage(IUIImage* image)
{
    m_subImage = ImagePointer(image);
    Invalidate();
}

IUIImage* CDigits::GetDigitsImage() { return m_digitsImage.Get(); }
IUIImage* CDigits::GetAddImage() { return m_addImage.Get(); }
IUIImage* CDigits::GetSubImage() { return m_subImage.Get(); }
void CDigits::SetFormatString(const wchar_t* format) { m_formatString = format != nullptr ? format : L""; }
const wchar_t* CDigits::GetFormatString() { return m_formatString.c_str(); }
void CDigits::ResetBackgroundImage() {}

void CDigits::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_digitsImage = ImagePointer(LoadImageFromXml(element, L"Digits"));
    m_addImage = ImagePointer(LoadImageFromXml(element, L"Add"));
    m_subImage = ImagePointer(LoadImageFromXml(element, L"Sub"));
    m_number = element->GetAttributeInt(L"Number");
    if (element->HasAttribute(L"FormatString"))
        SetFormatString(element->GetAttribute(L"FormatString"));
    if (element->HasAttribute(L"RatioStepX"))
        m_ratioStepX = element->GetAttributeFloat(L"RatioStepX");
    Invalidate();
}

// The magnitude through the format; a format a description got wrong falls
// back to plain digits rather than being used as it stands.
std::wstring CDigits::DigitText()
{
    const int64_t magnitude = m_number < 0 ? -static_cast<int64_t>(m_number) : m_number;
    std::wstring text;
    if (!FormatIntegerPattern(m_formatString.c_str(), magnitude, kMaxDigitText, text))
        FormatIntegerPattern(L"%d", magnitude, kMaxDigitText, text);
    return text;
}

CDigits::tagLayout CDigits::Measure()
{
    tagLayout layout;
    if (m_digitsImage.IsNull())
        return layout;
    layout.text = DigitText();
    layout.cellWidth = m_digitsImage->GetImageWidth() / 10;
    layout.height = m_digitsImage->GetImageHeight();
    layout.step = static_cast<int32_t>(static_cast<float>(layout.cellWidth) * m_ratioStepX);
    if (m_number > 0)
        layout.sign = m_addImage.Get();
    else if (m_number < 0)
        layout.sign = m_subImage.Get();
    layout.signWidth = layout.sign != nullptr ? layout.sign->GetImageWidth() : 0;
    if (!layout.text.empty())
        layout.width =
            static_cast<int32_t>(layout.text.size() - 1) * layout.step + layout.cellWidth + layout.signWidth;
    return layout;
}

void CDigits::OnPaint()
{
    if (!IsVisible() || m_digitsImage.IsNull())
        return;
    const tagLayout layout = Measure();
    const int32_t x = GetAnchoredX(), y = GetAnchoredY();
    const int32_t align = GetTitleAlign();
    int32_t px = 0, py = 0;
    if (align >= 0 && align <= 8) {
        const int32_t column = align % 3, row = align / 3;
        px = column == 0 ? x : column == 1 ? x + GetWidth() / 2 - layout.width / 2 : x + GetWidth() - layout.width - 4;
        py = row == 0 ? y : row == 1 ? y + GetHeight() / 2 - layout.height / 2 : y + GetHeight() - layout.height;
    }
    const tagColor color = GetBackgroundImageColor();
    if (layout.sign != nullptr)
        layout.sign->Draw(px, py, color);
    for (size_t i = 0; i < layout.text.size(); ++i) {
        const wchar_t character = layout.text[i];
        // A format's own text (a sign, a blank) has no picture in the strip.
        if (character < L'0' || character > L'9')
            continue;
        const int32_t cell = character - L'0';
        m_digitsImage->DrawPart(px + layout.signWidth + static_cast<int32_t>(i) * layout.step, py, layout.cellWidth,
                                layout.height, cell * layout.cellWidth, 0, layout.cellWidth, layout.height, color);
    }
}

} // namespace DirectUI
} // namespace RVGameEngine
