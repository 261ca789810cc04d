#pragma once

// A UI-system driver that draws into its own 32-bit bitmap, for pixel checks
// without a window.

#include "engine/directui/drawing/CUISystemDriver_Graphics.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <set>

namespace UITest {

class BitmapDriver : public RVGameEngine::DirectUI::CUISystemDriver_Graphics
{
public:
    BitmapDriver(int width, int height)
        : m_bitmap(std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB)),
          m_graphics(std::make_unique<Gdiplus::Graphics>(m_bitmap.get()))
    {
        m_graphics->Clear(Gdiplus::Color(255, 0, 0, 0));
    }

    Gdiplus::Graphics* GetGraphics() override { return m_attached ? m_graphics.get() : nullptr; }
    // Until attached again, the driver has no graphics, like a host not yet drawing.
    void Detach() { m_attached = false; }

    // The pixel as 0xAARRGGBB.
    Gdiplus::ARGB At(int x, int y)
    {
        m_graphics->Flush(Gdiplus::FlushIntentionSync);
        Gdiplus::Color color;
        m_bitmap->GetPixel(x, y, &color);
        return color.GetValue();
    }
    Gdiplus::Bitmap* Bitmap() { return m_bitmap.get(); }

    // The box around every pixel of the area that is not the background, and their colours.
    struct Ink
    {
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
        std::set<Gdiplus::ARGB> colours;
        bool Empty() const { return right < 0; }
    };
    Ink InkIn(int fromX, int fromY, int toX, int toY, Gdiplus::ARGB background = 0xFF000000)
    {
        Ink ink;
        for (int y = fromY; y < toY; ++y) {
            for (int x = fromX; x < toX; ++x) {
                const Gdiplus::ARGB colour = At(x, y);
                if (colour == background)
                    continue;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ink.colours.insert(colour);
            }
        }
        return ink;
    }

private:
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
    bool m_attached = true;
};

} // namespace UITest
