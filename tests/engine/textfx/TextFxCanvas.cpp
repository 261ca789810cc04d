#include "tests/engine/textfx/TextFxCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

namespace TextFxTest {

namespace {

// GDI+ is started once for the whole test program, as the engine's start-up
// does in the real one.
class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

} // namespace

InkBox Pixels::BoxOf(Gdiplus::ARGB color, bool equal) const
{
    InkBox box;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if ((At(x, y) == color) != equal)
                continue;
            if (box.empty)
                box = {false, x, y, x, y};
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.bottom = y;
        }
    }
    return box;
}

bool Pixels::RowInk(int y, Gdiplus::ARGB background, int& first, int& last) const
{
    first = -1;
    for (int x = 0; x < m_width; ++x) {
        if (At(x, y) != background) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return first >= 0;
}

Canvas::Canvas(int width, int height, Gdiplus::ARGB background, bool antialias)
    : m_bitmap(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB))
{
    m_graphics.reset(new Gdiplus::Graphics(m_bitmap.get()));
    m_graphics->Clear(Gdiplus::Color(background));
    m_graphics->SetSmoothingMode(antialias ? Gdiplus::SmoothingModeAntiAlias : Gdiplus::SmoothingModeNone);
}

Pixels Canvas::Snapshot()
{
    m_graphics->Flush(Gdiplus::FlushIntentionSync);
    const int width = static_cast<int>(m_bitmap->GetWidth());
    const int height = static_cast<int>(m_bitmap->GetHeight());
    std::vector<Gdiplus::ARGB> argb(static_cast<size_t>(width) * height);
    const Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data = {};
    if (m_bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const Gdiplus::ARGB*>(static_cast<const BYTE*>(data.Scan0) +
                                                                    y * data.Stride);
            for (int x = 0; x < width; ++x)
                argb[static_cast<size_t>(y) * width + x] = row[x];
        }
        m_bitmap->UnlockBits(&data);
    } else {
        ADD_FAILURE() << "canvas cannot be read";
    }
    return Pixels(width, height, std::move(argb));
}

LOGFONTW MakeLogFont(const wchar_t* face, int pixelHeight)
{
    LOGFONTW font = {};
    font.lfHeight = -pixelHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

} // namespace TextFxTest
