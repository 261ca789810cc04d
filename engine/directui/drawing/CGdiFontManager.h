#pragma once

#include "engine/directui/drawing/CGdiFont.h"
#include "engine/directui/drawing/IGdiFontManager.h"
#include "engine/textfx/EffectText.h"

#include <memory>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class CGdiFontManager : public IGdiFontManager
{
public:
    int32_t AddDefaultFont() override;
    void Reserved() override;
    void LoadFontList(const wchar_t* path) override;
    int32_t AddFont(const wchar_t* name, const wchar_t* family, int32_t size, int32_t style) override;
    int32_t GetFont(const wchar_t* name) override;
    int32_t GetFontHeight(int32_t font) override;
    void MeasureString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, int32_t start, int32_t end,
                       int32_t* width, int32_t* height) override;
    void MeasureText(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, int32_t* width,
                     int32_t* height) override;
    void DrawTextAligned(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, const Gdiplus::Color& color,
                         int32_t x, int32_t y, int32_t width, int32_t height, int32_t align) override;
    void DrawString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, const Gdiplus::Color& color,
                    int32_t x, int32_t y) override;
    void DrawOutlineString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text,
                           const Gdiplus::Color& color, int32_t x, int32_t y) override;
    const std::vector<std::unique_ptr<CGdiFont>>& GetFontMap() override { return m_fonts; }

    int32_t GetFontCount() const { return static_cast<int32_t>(m_fonts.size()); }
    // Null for an index outside the list.
    const CGdiFont* GetFontAt(int32_t index) const;

private:
    std::vector<std::unique_ptr<CGdiFont>> m_fonts;
    TextFx::EffectText m_outline;
};

} // namespace DirectUI
} // namespace RVGameEngine
