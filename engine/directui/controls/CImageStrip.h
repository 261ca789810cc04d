#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIImage.h"

#include <cstdint>
#include <functional>

namespace RVGameEngine {
namespace Common {
class IXmlElement;
}
namespace DirectUI {

class CUIWindow;

// A picture holding equal frames side by side; each frame becomes an image
// of its own, cut from a fresh load of the same picture. The remainder of a
// width that does not divide is dropped.
class CImageStrip
{
public:
    // The description's first child tagged `tag`; absent without one.
    CImageStrip(CUIWindow* window, Common::IXmlElement* element, const wchar_t* tag, int32_t frameCount);
    // A file loaded through the driver; absent without a driver or a name.
    CImageStrip(IUISystemDriver* driver, const wchar_t* fileName, int32_t frameCount);

    bool IsPresent() const { return !m_whole.IsNull(); }
    int32_t GetFrameWidth() const { return m_frameWidth; }
    int32_t GetFrameHeight() const { return m_frameHeight; }
    // A new image cut to the frame; empty when the strip is absent.
    Common::TIntrusivePointer<IUIImage> CutFrame(int32_t index) const;

private:
    void Measure(int32_t frameCount);

    std::function<IUIImage*()> m_load;
    Common::TIntrusivePointer<IUIImage> m_whole;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
