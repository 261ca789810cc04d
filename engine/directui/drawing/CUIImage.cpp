#include "engine/directui/drawing/CUIImage.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

CUIImage::CUIImage(IUISystemDriver* driver) : m_driver(driver)
{
}

CUIImage::~CUIImage()
{
    ReleaseData();
}

bool CUIImage::Load(const wchar_t* path)
{
    if (m_driver.IsNull())
        return false;
    // The size is the new file's, asked for again on first use.
    m_imageWidth = 0;
    m_imageHeight = 0;
    m_driver->LoadImageData(this, path);
    return !m_data.IsNull();
}

void CUIImage::ReleaseData()
{
    m_data.Reset();
}

void CUIImage::SetSubRect(bool enable, int32_t x, int32_t y, int32_t width, int32_t height)
{
    m_subRect = enable;
    m_subX = x;
    m_subY = y;
    m_subWidth = width;
    m_subHeight = height;
}

void CUIImage::SetNineGrid(bool enable, int32_t borderWidth, int32_t borderHeight)
{
    m_nineGrid = enable;
    m_borderWidth = borderWidth;
    m_borderHeight = borderHeight;
}

void CUIImage::SetDrawPoint(bool enable, int32_t x, int32_t y)
{
    m_drawPoint = enable;
    m_drawPointX = x;
    m_drawPointY = y;
}

int32_t CUIImage::GetImageWidth()
{
    if (m_imageWidth == 0 && m_imageHeight == 0 && !m_driver.IsNull())
        m_driver->GetImageSize(this);
    return m_imageWidth;
}

int32_t CUIImage::GetImageHeight()
{
    if (m_imageWidth == 0 && m_imageHeight == 0 && !m_driver.IsNull())
        m_driver->GetImageSize(this);
    return m_imageHeight;
}

int32_t CUIImage::GetWidth()
{
    return m_subRect ? m_subWidth : GetImageWidth();
}

int32_t CUIImage::GetHeight()
{
    return m_subRect ? m_subHeight : GetImageHeight();
}

void CUIImage::DrawTo(IUISystemDriver* driver, int32_t x, int32_t y)
{
    if (driver == nullptr)
        return;
    const int32_t srcX = m_subRect ? m_subX : 0;
    const int32_t srcY = m_subRect ? m_subY : 0;
    driver->DrawImage(this, x, y, GetWidth(), GetHeight(), srcX, srcY, GetWidth(), GetHeight(), tagColor(255, 255, 255, 255));
}

void CUIImage::DrawCropped(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color)
{
    if (m_driver.IsNull())
        return;
    const int32_t srcX = m_subRect ? m_subX : 0;
    const int32_t srcY = m_subRect ? m_subY : 0;
    m_driver->DrawImage(this, x, y, width, height, srcX, srcY, width, height, color);
}

void CUIImage::Draw(int32_t x, int32_t y, tagColor color)
{
    if (m_driver.IsNull())
        return;
    const int32_t srcX = m_subRect ? m_subX : 0;
    const int32_t srcY = m_subRect ? m_subY : 0;
    m_driver->DrawImage(this, x, y, GetWidth(), GetHeight(), srcX, srcY, GetWidth(), GetHeight(), color);
}

void CUIImage::DrawStretched(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color)
{
    if (m_driver.IsNull())
        return;
    if (m_nineGrid) {
        DrawNineGrid(x, y, width, height, color);
        return;
    }
    if (m_subRect) {
        m_driver->DrawImage(this, x, y, width, height, m_subX, m_subY, m_subWidth, m_subHeight, color);
        return;
    }
    const int32_t imageWidth = GetImageWidth(), imageHeight = GetImageHeight();
    if (width == imageWidth && height == imageHeight)
        m_driver->DrawImage(this, x, y, width, height, 0, 0, imageWidth, imageHeight, color);
    else
        m_driver->DrawImage(this, x, y, width, height, 0, 0, imageWidth - 1, imageHeight - 1, color);
}

void CUIImage::DrawPart(int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX, int32_t srcY,
                        int32_t srcWidth, int32_t srcHeight, tagColor color)
{
    if (m_driver.IsNull())
        return;
    const int32_t originX = m_subRect ? m_subX : 0;
    const int32_t originY = m_subRect ? m_subY : 0;
    m_driver->DrawImage(this, x, y, width, height, originX + srcX, originY + srcY, srcWidth, srcHeight, color);
}

void CUIImage::NotifyDriver()
{
    if (!m_driver.IsNull())
        m_driver->NotifyImage(this);
}

void CUIImage::DrawNineGrid(int32_t x, int32_t y, int32_t w, int32_t h, tagColor color)
{
    const int32_t bw = m_borderWidth, bh = m_borderHeight;
    const int32_t W = GetImageWidth(), H = GetImageHeight();
    DrawSourcePart(x, y, bw, bh, 0, 0, bw, bh, color);
    DrawSourcePart(x + bw, y, w - 2 * bw, bh, bw, 0, W - 2 * bw, bh, color);
    DrawSourcePart(x + w - bw, y, bw, bh, W - bw, 0, bw, bh, color);
    DrawSourcePart(x, y + bh, bw, h - 2 * bh, 0, bh, bw, H - 2 * bh, color);
    DrawSourcePart(x + bw, y + bh, w - 2 * bw, h - 2 * bh, bw, bh, W - 2 * bw, H - 2 * bh, color);
    DrawSourcePart(x + w - bw, y + bh, bw, h - 2 * bh, W - bw, bh, bw, H - 2 * bh, color);
    DrawSourcePart(x, y + h - bh, bw, bh, 0, H - bh, bw, bh, color);
    DrawSourcePart(x + bw, y + h - bh, w - 2 * bw, bh, bw, H - bh, W - 2 * bw, bh, color);
    DrawSourcePart(x + w - bw, y + h - bh, bw, bh, W - bw, H - bh, bw, bh, color);
}

void CUIImage::DrawSourcePart(int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX, int32_t srcY,
                              int32_t srcWidth, int32_t srcHeight, tagColor color)
{
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return;
    m_driver->DrawImage(this, x, y, width, height, srcX, srcY, srcWidth, srcHeight, color);
}

IUIImage* IImage_Create(IUISystemDriver* driver)
{
    return new (std::nothrow) CUIImage(driver);
}

} // namespace DirectUI
} // namespace RVGameEngine
