#pragma once

#include "engine/textfx/IEffectText.h"
#include "engine/textfx/ITextEffect.h"
#include "engine/textfx/TextLayoutSlots.h"

#include <memory>

namespace TextFx {

// Draws text with the chosen effect and, when enabled, a shadow first: the
// shadow effect drawn at the layout moved by the shadow offset, and, when a
// backdrop is set, the backdrop with the shadow blended in under the mask
// effect's letters, drawn over the whole target from (0, 0).
class EffectText : public TextLayoutSlots<IEffectText>
{
public:
    EffectText() = default;
    EffectText(const EffectText& other);
    EffectText& operator=(const EffectText& other);
    virtual ~EffectText();

    // Effects are cloned, the backdrop is shared, the shadow settings copied.
    void CopyFrom(const EffectText& other);

    bool UseGlow(const Gdiplus::Brush* textBrush, Gdiplus::ARGB glowColor, int thickness) override;
    bool UseGlow(Gdiplus::ARGB textColor, Gdiplus::ARGB glowColor, int thickness) override;
    bool UseOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness) override;
    bool UseOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness) override;
    bool UseDoubleOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
                          int innerThickness, int outerThickness) override;
    bool UseDoubleOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
                          int innerThickness, int outerThickness) override;
    bool UseDoubleGlow(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor,
                       int outlineThickness, int glowThickness) override;
    bool UseDoubleGlow(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor,
                       int outlineThickness, int glowThickness) override;
    bool UseGradientOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB startColor, Gdiplus::ARGB endColor,
                            int thickness) override;
    bool UseGradientOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB startColor, Gdiplus::ARGB endColor,
                            int thickness) override;
    bool UsePlainText(const Gdiplus::Brush* textBrush) override;
    bool UsePlainText(Gdiplus::ARGB textColor) override;
    bool UseOutlineOnly(Gdiplus::ARGB outlineColor, int thickness, BYTE roundedJoin) override;

    bool CreateShadowBackdrop(Gdiplus::ARGB color, int width, int height) override;
    void SetShadowBackdrop(const std::shared_ptr<Gdiplus::Bitmap>& backdrop) override;
    void SetShadowEnabled(bool enabled) override;
    void SetOutlineShadow(Gdiplus::ARGB color, int thickness, int offsetX, int offsetY) override;
    void SetDiffusedShadow(Gdiplus::ARGB color, int thickness, int offsetX, int offsetY);
    void SetExtrudedShadow(Gdiplus::ARGB color, int thickness, int offsetX, int offsetY);

    // Composites the shadow over the backdrop and draws the result at (0, 0);
    // draws nothing without a backdrop, a mask effect or pixel access.
    void RenderShadowText(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                          const wchar_t* text, Gdiplus::Rect box, const Gdiplus::StringFormat* format);
    void RenderShadowText(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                          const wchar_t* text, Gdiplus::Point origin, const Gdiplus::StringFormat* format);
    void RenderShadowText(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                          Gdiplus::Rect box);
    void RenderShadowText(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                          Gdiplus::Point origin);

    const std::shared_ptr<ITextEffect>& TextEffect() const { return m_textEffect; }
    const std::shared_ptr<ITextEffect>& ShadowEffect() const { return m_shadowEffect; }
    const std::shared_ptr<ITextEffect>& MaskEffect() const { return m_maskEffect; }
    const std::shared_ptr<Gdiplus::Bitmap>& ShadowBackdrop() const { return m_shadowBackdrop; }

private:
    bool DrawLayout(Gdiplus::Graphics* graphics, const TextLayout& layout) override;
    bool MeasureLayout(Gdiplus::Graphics* graphics, const TextLayout& layout, bool tight, float* startX,
                       float* startY, float* width, float* height) override;
    // Draws nothing without a graphics, a backdrop or a mask effect.
    void RenderShadow(Gdiplus::Graphics* graphics, const TextLayout& shadowLayout);
    void InstallShadow(ITextEffect* shadow, ITextEffect* mask, Gdiplus::ARGB color, int offsetX, int offsetY);

    std::shared_ptr<ITextEffect> m_textEffect;
    std::shared_ptr<ITextEffect> m_shadowEffect;
    std::shared_ptr<ITextEffect> m_maskEffect;
    int m_shadowOffsetX = 0;
    int m_shadowOffsetY = 0;
    Gdiplus::ARGB m_shadowColor = 0xFF000000;
    std::shared_ptr<Gdiplus::Bitmap> m_shadowBackdrop;
    bool m_shadowEnabled = false;
    bool m_diffusedShadow = false;
    int m_shadowThickness = 2;
    bool m_extrudedShadow = false;
};

} // namespace TextFx
