#include "engine/directui/controls/CImageStrip.h"

#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

CImageStrip::CImageStrip(CUIWindow* window, Common::IXmlElement* element, const wchar_t* tag, int32_t frameCount)
    : m_load([window, element, tag]() { return window->LoadImageFromXml(element, tag); })
{
    Measure(frameCount);
}

CImageStrip::CImageStrip(IUISystemDriver* driver, const wchar_t* fileName, int32_t frameCount)
{
    if (driver == nullptr || fileName == nullptr)
        return;
    m_load = [driver, fileName]() {
        IUIImage* image = IImage_Create(driver);
        if (image != nullptr)
            image->Load(fileName);
        return image;
    };
    Measure(frameCount);
}

void CImageStrip::Measure(int32_t frameCount)
{
    m_whole = Common::TIntrusivePointer<IUIImage>(m_load());
    if (m_whole.IsNull())
        return;
    m_frameWidth = m_whole->GetImageWidth() / frameCount;
    m_frameHeight = m_whole->GetImageHeight();
}

Common::TIntrusivePointer<IUIImage> CImageStrip::CutFrame(int32_t index) const
{
    if (m_whole.IsNull())
        return {};
    Common::TIntrusivePointer<IUIImage> frame(m_load());
    if (!frame.IsNull())
        frame->SetSubRect(true, index * m_frameWidth, 0, m_frameWidth, m_frameHeight);
    return frame;
}

} // namespace DirectUI
} // namespace RVGameEngine
