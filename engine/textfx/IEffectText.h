#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>

namespace TextFx {

// The one entry to effect text: choose how the text itself is drawn (the
// Use* operations), optionally a shadow, then draw or measure. Colours are
// ARGB words. A brush handed to a Use* operation is copied: the caller keeps
// its own brush. Every failure is reported as false.
class IEffectText
{
public:
    virtual bool UseGlow(const Gdiplus::Brush* textBrush, Gdiplus::ARGB glowColor, int thickness) = 0;
    virtual bool UseGlow(Gdiplus::ARGB textColor, Gdiplus::ARGB glowColor, int thickness) = 0;
    virtual bool UseOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor, int thickness) = 0;
    virtual bool UseOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, int thickness) = 0;
    virtual bool UseDoubleOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB innerColor,
                                  Gdiplus::ARGB outerColor, int innerThickness, int outerThickness) = 0;
    virtual bool UseDoubleOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB innerColor, Gdiplus::ARGB outerColor,
                                  int innerThickness, int outerThickness) = 0;
    virtual bool UseDoubleGlow(const Gdiplus::Brush* textBrush, Gdiplus::ARGB outlineColor,
                               Gdiplus::ARGB glowColor, int outlineThickness, int glowThickness) = 0;
    virtual bool UseDoubleGlow(Gdiplus::ARGB textColor, Gdiplus::ARGB outlineColor, Gdiplus::ARGB glowColor,
                               int outlineThickness, int glowThickness) = 0;
    virtual bool UseGradientOutline(const Gdiplus::Brush* textBrush, Gdiplus::ARGB startColor,
                                    Gdiplus::ARGB endColor, int thickness) = 0;
    virtual bool UseGradientOutline(Gdiplus::ARGB textColor, Gdiplus::ARGB startColor, Gdiplus::ARGB endColor,
                                    int thickness) = 0;
    virtual bool UsePlainText(const Gdiplus::Brush* textBrush) = 0;
    virtual bool UsePlainText(Gdiplus::ARGB textColor) = 0;
    virtual bool UseOutlineOnly(Gdiplus::ARGB outlineColor, int thickness, BYTE roundedJoin) = 0;

    // A new opaque-filled backdrop bitmap for the shadow compositing; false
    // (backdrop unchanged) for a size GDI+ cannot make.
    virtual bool CreateShadowBackdrop(Gdiplus::ARGB color, int width, int height) = 0;
    virtual void SetShadowBackdrop(const std::shared_ptr<Gdiplus::Bitmap>& backdrop) = 0;
    virtual void SetShadowEnabled(bool enabled) = 0;
    virtual void SetOutlineShadow(Gdiplus::ARGB color, int thickness, int offsetX, int offsetY) = 0;

    virtual bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                            const wchar_t* text, Gdiplus::Rect box, const Gdiplus::StringFormat* format) = 0;
    virtual bool DrawString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style, int size,
                            const wchar_t* text, Gdiplus::Point origin, const Gdiplus::StringFormat* format) = 0;
    virtual bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Rect box) = 0;
    virtual bool DrawLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                   Gdiplus::Point origin) = 0;

    virtual bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                               int size, const wchar_t* text, Gdiplus::Rect box,
                               const Gdiplus::StringFormat* format, float* startX, float* startY, float* width,
                               float* height) = 0;
    virtual bool MeasureString(Gdiplus::Graphics* graphics, const Gdiplus::FontFamily* family, int style,
                               int size, const wchar_t* text, Gdiplus::Point origin,
                               const Gdiplus::StringFormat* format, float* startX, float* startY, float* width,
                               float* height) = 0;
    virtual bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                      Gdiplus::Rect box, float* startX, float* startY, float* width,
                                      float* height) = 0;
    virtual bool MeasureLogFontString(Gdiplus::Graphics* graphics, const LOGFONTW* font, const wchar_t* text,
                                      Gdiplus::Point origin, float* startX, float* startY, float* width,
                                      float* height) = 0;
    virtual bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                           const wchar_t* text, Gdiplus::Rect box, float* startX, float* startY,
                                           float* width, float* height) = 0;
    virtual bool MeasureLogFontStringTight(Gdiplus::Graphics* graphics, const LOGFONTW* font,
                                           const wchar_t* text, Gdiplus::Point origin, float* startX,
                                           float* startY, float* width, float* height) = 0;

protected:
    // Never destroyed through this interface.
    ~IEffectText() = default;
};

} // namespace TextFx
