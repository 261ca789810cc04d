#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/drawing/CImageData.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUISystemDriver.h"

namespace RVGameEngine {
namespace DirectUI {

class CUIImage : public IUIImage
{
public:
    explicit CUIImage(IUISystemDriver* driver);
    ~CUIImage() override;

    bool Load(const wchar_t* path) override;
    void ReleaseData() override;
    void SetSubRect(bool enable, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void SetNineGrid(bool enable, int32_t borderWidth, int32_t borderHeight) override;
    int32_t GetImageWidth() override;
    int32_t GetImageHeight() override;
    int32_t GetWidth() override;
    int32_t GetHeight() override;
    void DrawTo(IUISystemDriver* driver, int32_t x, int32_t y) override;
    void DrawCropped(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) override;
    void Draw(int32_t x, int32_t y, tagColor color) override;
    void DrawStretched(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color) override;
    void DrawPart(int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX, int32_t srcY, int32_t srcWidth,
                  int32_t srcHeight, tagColor color) override;
    void NotifyDriver() override;
    void SetDrawPoint(bool enable, int32_t x, int32_t y) override;

    // Used by the drivers.
    void SetImageData(const Common::TIntrusivePointer<CImageData>& data) { m_data = data; }
    CImageData* GetImageData() const { return m_data.Get(); }
    void SetImageSize(int32_t width, int32_t height)
    {
        m_imageWidth = width;
        m_imageHeight = height;
    }

private:
    void DrawNineGrid(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color);
    // Skips parts of no area, which a destination smaller than the borders
    // would otherwise ask for with negative sizes.
    void DrawSourcePart(int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX, int32_t srcY,
                        int32_t srcWidth, int32_t srcHeight, tagColor color);

    Common::TIntrusivePointer<IUISystemDriver> m_driver;
    Common::TIntrusivePointer<CImageData> m_data;
    int32_t m_imageWidth = 0;
    int32_t m_imageHeight = 0;
    bool m_subRect = false;
    int32_t m_subX = 0, m_subY = 0, m_subWidth = 0, m_subHeight = 0;
    bool m_nineGrid = false;
    int32_t m_borderWidth = 0, m_borderHeight = 0;
    bool m_drawPoint = false;
    int32_t m_drawPointX = 0, m_drawPointY = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
