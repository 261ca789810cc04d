#include "engine/directui/drawing/CUISystemDriver_Graphics.h"

#include "engine/directui/drawing/CImageDataCache.h"
#include "engine/directui/drawing/CUIImage.h"
#include "engine/directui/drawing/IGdiFontManager.h"

namespace RVGameEngine {
namespace DirectUI {

namespace {

CUIImage* AsUIImage(IUIImage* image)
{
    return image != nullptr ? dynamic_cast<CUIImage*>(image) : nullptr;
}

Gdiplus::Color OpaqueColor(tagColor color)
{
    return Gdiplus::Color(255, color.red, color.green, color.blue);
}

} // namespace

void CUISystemDriver_Graphics::Attach(IFrame*) {}

void CUISystemDriver_Graphics::LoadImageData(IUIImage* image, const wchar_t* path)
{
    CUIImage* target = AsUIImage(image);
    CImageDataCache* cache = CImageDataCache::GetInstance();
    if (target != nullptr && cache != nullptr)
        target->SetImageData(cache->GetOrCreate(path));
}

void CUISystemDriver_Graphics::GetImageSize(IUIImage* image)
{
    CUIImage* target = AsUIImage(image);
    if (target != nullptr && target->GetImageData() != nullptr)
        target->SetImageSize(target->GetImageData()->GetWidth(), target->GetImageData()->GetHeight());
}

void CUISystemDriver_Graphics::DrawImage(IUIImage* image, int32_t x, int32_t y, int32_t width, int32_t height,
                                         int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                                         tagColor color)
{
    CUIImage* source = AsUIImage(image);
    if (source == nullptr || source->GetImageData() == nullptr)
        return;
    source->GetImageData()->Draw(GetGraphics(), x, y, width, height, srcX, srcY, srcWidth, srcHeight, color);
}

void CUISystemDriver_Graphics::BeginPaint() {}

void CUISystemDriver_Graphics::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color)
{
    Gdiplus::Graphics* graphics = GetGraphics();
    if (graphics == nullptr)
        return;
    const Gdiplus::SolidBrush brush(OpaqueColor(color));
    graphics->FillRectangle(&brush, x, y, width, height);
}

void CUISystemDriver_Graphics::DrawRect(int32_t x, int32_t y, int32_t width, int32_t height, tagColor color)
{
    Gdiplus::Graphics* graphics = GetGraphics();
    if (graphics == nullptr)
        return;
    const Gdiplus::Pen pen(OpaqueColor(color), 1.0f);
    graphics->DrawRectangle(&pen, x, y, width, height);
}

int32_t CUISystemDriver_Graphics::GetFont(const wchar_t* name)
{
    IGdiFontManager* fonts = IFontManager_GetInstance();
    return fonts != nullptr ? fonts->GetFont(name) : -1;
}

void CUISystemDriver_Graphics::MeasureText(int32_t font, const wchar_t* text, int32_t* width, int32_t* height)
{
    IGdiFontManager* fonts = IFontManager_GetInstance();
    if (fonts != nullptr) {
        fonts->MeasureText(GetGraphics(), font, text, width, height);
        return;
    }
    if (width != nullptr)
        *width = 0;
    if (height != nullptr)
        *height = 0;
}

void CUISystemDriver_Graphics::DrawText(int32_t font, const wchar_t* text, tagColor color, int32_t x, int32_t y,
                                        int32_t width, int32_t height, int32_t align)
{
    if (IGdiFontManager* fonts = IFontManager_GetInstance())
        fonts->DrawTextAligned(GetGraphics(), font, text, OpaqueColor(color), x, y, width, height, align);
}

void CUISystemDriver_Graphics::DrawText(int32_t font, const wchar_t* text, tagColor color, int32_t x, int32_t y)
{
    if (IGdiFontManager* fonts = IFontManager_GetInstance())
        fonts->DrawString(GetGraphics(), font, text, OpaqueColor(color), x, y);
}

void CUISystemDriver_Graphics::EndPaint() {}
void CUISystemDriver_Graphics::BeginWindowDrag() {}
void CUISystemDriver_Graphics::SetFocusToFrame() {}
void CUISystemDriver_Graphics::Reserved1() {}
void CUISystemDriver_Graphics::Reserved2() {}
void CUISystemDriver_Graphics::SetCapture() {}
void CUISystemDriver_Graphics::ReleaseCapture() {}

void CUISystemDriver_Graphics::SetClipRect(bool enable, int32_t x, int32_t y, int32_t width, int32_t height)
{
    Gdiplus::Graphics* graphics = GetGraphics();
    if (graphics == nullptr)
        return;
    if (enable)
        graphics->SetClip(Gdiplus::Rect(x, y, width, height), Gdiplus::CombineModeReplace);
    else
        graphics->ResetClip();
}

void CUISystemDriver_Graphics::Invalidate(int32_t, int32_t, int32_t, int32_t) {}
void CUISystemDriver_Graphics::InvalidateAll() {}
HWND CUISystemDriver_Graphics::GetFrameHandle() { return nullptr; }
IFrame* CUISystemDriver_Graphics::GetFrame() { return nullptr; }
bool CUISystemDriver_Graphics::IsKeyDown(int32_t) { return false; }
bool CUISystemDriver_Graphics::IsKeyUp(int32_t) { return true; }
void CUISystemDriver_Graphics::NotifyImage(IUIImage*) {}

} // namespace DirectUI
} // namespace RVGameEngine
