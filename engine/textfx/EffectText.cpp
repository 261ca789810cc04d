#include "engine/textfx/EffectText.h"

#include "engine/textfx/BitmapLock.h"
#include "engine/textfx/DiffusedShadowEffect.h"
#include "engine/textfx/DoubleGlowEffect.h"
#include "engine/textfx/DoubleOutlineEffect.h"
#include "engine/textfx/ExtrudeEffect.h"
#include "engine/textfx/GlowEffect.h"
#include "engine/textfx/GradientOutlineEffect.h"
#include "engine/textfx/OutlineEffect.h"
#include "engine/textfx/OutlineOnlyEffect.h"
#include "engine/textfx/PathMeasure.h"
#include "engine/textfx/PlainTextEffect.h"

#include <type_traits>
#include <utility>

namespace TextFx {

namespace {

constexpr Gdiplus::ARGB kTransparent = 0x00000000;
constexpr Gdiplus::ARGB kOpaqueWhite = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;

// Makes a new effect, sets it up and, only when that succeeds, puts it in
// the slot (the previous effect goes then).
template <typename Effect, typename... Args>
bool InstallEffect(std::shared_ptr<ITextEffect>& slot, Args&&... args)
{
    auto effect = std::make_shared<Effect>();
    if constexpr (std::is_void_v<decltype(effect->Init(std::forward<Args>(args)...))>) {
        effect->Init(std::forward<Args>(args)...);
    } else {
        if (!effect->Init(std::forward<Args>(args)...))
            return false;
    }
    slot = std::move(effect);
    return true;
}

std::shared_ptr<ITextEffect> CloneOf(const std::shared_ptr<ITextEffect>& effect)
{
    return effect ? std::shared_ptr<ITextEffect>(effect->Clone()) : nullptr;
}

// The mask of a diffused or extruded shadow: blue marks the letters, red
// carries the shadow's strength.
Gdiplus::ARGB MaskColorFor(Gdiplus::ARGB shadowColor)
{
    const Gdiplus::ARGB alpha = (shadowColor >> 24) & 0xFF;
    return 0xFF00FFFF | (alpha << 16);
}

void CopyRenderingSettings(Gdiplus::Graphics& from, Gdiplus::Graphics& to)
{
    to.SetCompositingMode(from.GetCompositingMode());
    to.SetCompositingQuality(from.GetCompositingQuality());
    to.SetInterpolationMode(from.GetInterpolationMode());
    to.SetSmoothingMode(from.GetSmoothingMode());
    to.SetTextRenderingHint(from.GetTextRenderingHint());
    to.SetPageUnit(from.GetPageUnit());
    to.SetPageScale(from.GetPageScale());
}

} // namespace

EffectText::EffectText(const EffectText& other)
{
    CopyFrom(other);
}

EffectText& EffectText::operator=(const EffectText& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

EffectText::~EffectText()
{
    m_shadowBackdrop.reset();
    m_maskEffect.reset();
    m_shadowEffect.reset();
    m_textEffect.reset();
}

void EffectText::CopyFrom(const EffectText& other)
{
    m_textEffect = CloneOf(other.m_textEffect);
    m_shadowEffect = CloneOf(other.m_shadowEffect);
    m_maskEffect = CloneOf(other.m_maskEffect);
    m_shadowBackdrop = other.m_shadowBackdrop;
    m_shadowOffsetX = other.m_shadowOffsetX;
    m_shadowOffsetY = other.m_shadowOffsetY;
    m_shadowColor = other.m_shadowColor;
    m_shadowEnabled = other.m_shadowEnabled;
    m_diffusedShadow = other.m_diffusedShadow;
    m_shadowThickness = other.m_shadowThickness;
    m_extrudedShadow = other.m_extrudedShadow;
}

bool EffectText::UseGlow(const Gdiplus::Brush* textBrush, Gdiplus::ARGB glowColor, int thickness)
{
    return InstallEffect<GlowEffect>(m_textEffect, textBrush, glowColor, thickness);
}

bool EffectText::UseGlow(Gdiplus::ARGB textColor, Gdiplus::ARGB glowColor, int thickness)
{
    return InstallEffect<GlowEffect>(m_textEffect, textColor, glowColor, thickness);
}

bool EffectText::UseOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness)
{
    return InstallEffect<OutlineEffect>(m_textEffect, textBrush, outlineColor, thickness);
}

bool EffectText::UseOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness)
{
    return InstallEffect<OutlineEffect>(m_textEffect, textColor, outlineColor, thickness);
}

bool EffectText::UseDoubleOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB innerColor,
                                  Gdiplus::ARGB outerColor, int innerThickness, int outerThickness)
{
    return InstallEffect<DoubleOutlineEffect>(m_textEffect, textBrush, innerColor, outerColor, innerThickness,
                                              outerThickness);
}

bool EffectText::UseDoubleOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
                                  int innerThickness, int outerThickness)
{
    return InstallEffect<DoubleOutlineEffect>(m_textEffect, textColor, innerColor, outerColor, innerThickness,
                                              outerThickness);
}

bool EffectText::UseDoubleGlow(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor,
                               Gdiplus::ARGB glowColor, int outlineThickness, int glowThickness)
{
    return InstallEffect<DoubleGlowEffect>(m_textEffect, textBrush, outlineColor, glowColor, outlineThickness,
                                           glowThickness);
}

bool EffectText::UseDoubleGlow(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor,
                               int outlineThickness, int glowThickness)
{
    return InstallEffect<DoubleGlowEffect>(m_textEffect, textColor, outlineColor, glowColor, outlineThickness,
                                           glowThickness);
}

bool EffectText::UseGradientOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB startColor,
                                    Gdiplus::ARGB endColor, int thickness)
{
    return InstallEffect<GradientOutlineEffect>(m_textEffect, textBrush, startColor, endColor, thickness);
}

bool EffectText::UseGradientOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB startColor, Gdiplus::ARGB endColor,
                                    int thickness)
{
    return InstallEffect<GradientOutlineEffect>(m_textEffect, textColor, startColor, endColor, thickness);
}

bool EffectText::UsePlainText(const Gdiplus::Brush* textBrush)
{
    return InstallEffect<PlainTextEffect>(m_textEffect, textBrush);
}

bool EffectText::UsePlainText(Gdiplus::ARGB textColor)
{
    return InstallEffect<PlainTextEffect>(m_textEffect, textColor);
}

bool EffectText::UseOutlineOnly(Gdiplus::ARGB outlineColor, int thickness, BYTE roundedJoin)
{
    return InstallEffect<OutlineOnlyEffect>(m_textEffect, outlineColor, thickness, roundedJoin != 0);
}

bool EffectText::CreateShadowBackdrop(Gdiplus::ARGB color, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    std::shared_ptr<Gdiplus::Bitmap> backdrop(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
    if (backdrop->GetLastStatus() != Gdiplus::Ok)
        return false;
    {
        Gdiplus::Graphics graphics(backdrop.get());
        Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
        // Copy the colour as it is, alpha included, instead of blending it
        // over the new bitmap's transparent black.
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        if (graphics.GetLastStatus() != Gdiplus::Ok ||
            graphics.FillRectangle(&brush, 0, 0, static_cast<INT>(backdrop->GetWidth()),
                                   static_cast<INT>(backdrop->GetHeight())) != Gdiplus::Ok)
            return false;
    }
    m_shadowBackdrop = std::move(backdrop);
    return true;
}

void EffectText::SetShadowBackdrop(const std::shared_ptr<Gdiplus::Bitmap>& backdrop)
{
    m_shadowBackdrop = backdrop;
}

void EffectText::SetShadowEnabled(bool enabled)
{
    m_shadowEnabled = enabled;
}

void EffectText::InstallShadow(ITextEffect* shadow, ITextEffect* mask, Gdiplus::ARGB color, int offsetX,
                               int offsetY)
{
    m_shadowEffect.reset(shadow);
    m_maskEffect.reset(mask);
    m_shadowColor = color;
    m_shadowOffsetX = offsetX;
    m_shadowOffsetY = offsetY;
}

void EffectText::SetOutlineShadow(Gdiplus::ARGB color, int thickness, int offsetX, int offsetY)
{
    auto* shadow = new OutlineEffect();
    shadow->Init(kTransparent, color, thickness);
    auto* mask = new OutlineEffect();
    mask->Init(kOpaqueWhite, kTransparent, 0);
    InstallShadow(shadow, mask, color, offsetX, offsetY);
    m_diffusedShadow = false;
}

void EffectText::SetDiffusedShadow(Gdiplus::ARGB color, int thickness, int offsetX, int offsetY)
{
    auto* shadow = new DiffusedShadowEffect();
    shadow->Init(kTransparent, color, thickness, true);
    auto* mask = new DiffusedShadowEffect();
    mask->Init(MaskColorFor(color), kTransparent, 0, true);
    InstallShadow(shadow, mask, color, offsetX, offsetY);
    m_diffusedShadow = true;
    m_extrudedShadow = false;
    m_shadowThickness = thickness;
}

void EffectText::SetExtrudedShadow(Gdiplus::ARGB color, int thickness, int offsetX, int offsetY)
{
    auto* shadow = new ExtrudeEffect();
    shadow->Init(kTransparent, color, thickness, offsetX, offsetY);
    auto* mask = new ExtrudeEffect();
    mask->Init(MaskColorFor(color), kTransparent, 0, offsetX, offsetY);
    InstallShadow(shadow, mask, color, offsetX, offsetY);
    m_extrudedShadow = true;
    m_diffusedShadow = false;
    m_shadowThickness = thickness;
}

bool EffectText::DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout)
{
    if (graphics == nullptr)
        return false;
    const TextLayout shadowLayout = layout.Moved(m_shadowOffsetX, m_shadowOffsetY);
    if (m_shadowEnabled && m_shadowEffect)
        shadowLayout.DrawWith(*m_shadowEffect, graphics);
    if (m_shadowEnabled)
        RenderShadow(graphics, shadowLayout);
    if (!m_textEffect)
        return false;
    return layout.DrawWith(*m_textEffect, graphics);
}

bool EffectText::MeasureLayout(Gdiplus::Graphics* graphics, const TextLayout& layout, bool tight, float* startX,
                               float* startY, float* width, float* height)
{
    if (width == nullptr || height == nullptr)
        return false;
    float textWidth = 0.0f;
    float textHeight = 0.0f;
    if (m_textEffect && !layout.MeasureWith(*m_textEffect, graphics, tight, startX, startY, &textWidth, &textHeight))
        return false;

    float shadowWidth = 0.0f;
    float shadowHeight = 0.0f;
    if (m_shadowEnabled && m_shadowEffect) {
        if (!layout.MeasureWith(*m_shadowEffect, graphics, tight, nullptr, nullptr, &shadowWidth, &shadowHeight))
            return false;
        float offsetX = 0.0f;
        float offsetY = 0.0f;
        if (PageToPixels(graphics, static_cast<float>(m_shadowOffsetX), static_cast<float>(m_shadowOffsetY),
                         nullptr, nullptr, &offsetX, &offsetY)) {
            shadowWidth += offsetX;
            shadowHeight += offsetY;
        }
    }

    const bool shadowCovers = shadowWidth >= textWidth && shadowHeight >= textHeight;
    *width = shadowCovers ? shadowWidth : textWidth;
    *height = shadowCovers ? shadowHeight : textHeight;
    return true;
}

void EffectText::RenderShadow(Gdiplus::Graphics* graphics, const TextLayout& shadowLayout)
{
    if (graphics == nullptr || !m_shadowBackdrop || !m_maskEffect)
        return;
    const INT width = static_cast<INT>(m_shadowBackdrop->GetWidth());
    const INT height = static_cast<INT>(m_shadowBackdrop->GetHeight());
    if (width <= 0 || height <= 0)
        return;
    const Gdiplus::Rect whole(0, 0, width, height);
    std::unique_ptr<Gdiplus::Bitmap> mask(m_shadowBackdrop->Clone(whole, PixelFormat32bppARGB));
    std::unique_ptr<Gdiplus::Bitmap> backdrop(m_shadowBackdrop->Clone(whole, PixelFormat32bppARGB));
    std::unique_ptr<Gdiplus::Bitmap> shadow(m_shadowBackdrop->Clone(whole, PixelFormat32bppARGB));
    if (!mask || !backdrop || !shadow)
        return;

    {
        Gdiplus::Graphics maskGraphics(mask.get());
        Gdiplus::Graphics shadowGraphics(shadow.get());
        if (maskGraphics.GetLastStatus() != Gdiplus::Ok || shadowGraphics.GetLastStatus() != Gdiplus::Ok)
            return;
        Gdiplus::SolidBrush black{Gdiplus::Color(kOpaqueBlack)};
        maskGraphics.FillRectangle(&black, whole);
        CopyRenderingSettings(*graphics, maskGraphics);
        CopyRenderingSettings(*graphics, shadowGraphics);
        shadowLayout.DrawWith(*m_maskEffect, &maskGraphics);
        if (m_shadowEffect)
            shadowLayout.DrawWith(*m_shadowEffect, &shadowGraphics);
    }

    {
        BitmapLock backdropPixels(backdrop.get());
        BitmapLock shadowPixels(shadow.get());
        BitmapLock maskPixels(mask.get());
        if (!backdropPixels.HasPixels() || !shadowPixels.HasPixels() || !maskPixels.HasPixels())
            return;

        const Gdiplus::ARGB shadowColor = m_shadowColor | kOpaqueBlack;
        const BYTE strength = static_cast<BYTE>(m_shadowColor >> 24);
        const bool diffused = m_diffusedShadow && !m_extrudedShadow;
        for (UINT y = 0; y < shadowPixels.Height(); ++y) {
            for (UINT x = 0; x < shadowPixels.Width(); ++x) {
                if ((maskPixels.At(x, y) & 0xFF) == 0)
                    continue;
                Gdiplus::ARGB& base = backdropPixels.At(x, y);
                if (diffused) {
                    for (int pass = 2; pass <= m_shadowThickness; ++pass)
                        base = BlendColor(base, shadowColor, strength);
                    shadowPixels.At(x, y) = base;
                } else {
                    shadowPixels.At(x, y) = BlendColor(base, shadowColor, strength);
                }
            }
        }
    }
    graphics->DrawImage(shadow.get(), 0, 0, width, height);
}

void EffectText::RenderShadowText(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                                  int size, const wchar_t* text, Gdiplus::Rect box,
                                  const Gdiplus::StringFormat* format)
{
    RenderShadow(graphics, TextLayout::InBox(family, style, size, text, box, format));
}

void EffectText::RenderShadowText(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                                  int size, const wchar_t* text, Gdiplus::Point origin,
                                  const Gdiplus::StringFormat* format)
{
    RenderShadow(graphics, TextLayout::AtOrigin(family, style, size, text, origin, format));
}

void EffectText::RenderShadowText(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                  Gdiplus::Rect box)
{
    RenderShadow(graphics, TextLayout::LogFontInBox(font, text, box));
}

void EffectText::RenderShadowText(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                  Gdiplus::Point origin)
{
    RenderShadow(graphics, TextLayout::LogFontAtOrigin(font, text, origin));
}

} // namespace TextFx
