#pragma once

#include "engine/common/base/TScopedHandle.h"
#include "engine/directui/frame/IBackBuffer.h"

namespace RVGameEngine {
namespace DirectUI {

class CBackBuffer : public IBackBuffer
{
public:
    ~CBackBuffer() override;

    void Create(int width, int height) override;
    void Destroy() override;
    HDC GetDC() override;
    void BitBlt(HDC target, int x, int y, int width, int height) override;
    void BitBlt(HDC target) override;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    int m_width = 0;
    int m_height = 0;
    Common::CScopedBitmap m_bitmap;
    Common::CScopedCreatedDc m_dc;
    // What the fresh device context held before the image went in; put back
    // before the image is deleted, since a selected bitmap cannot be deleted.
    HGDIOBJ m_originalBitmap = nullptr;
};

} // namespace DirectUI
} // namespace RVGameEngine
