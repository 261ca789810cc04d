#pragma once

#include "engine/common/base/EngineApi.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class CGdiFont;

// GDI+ font style bits a font may carry.
constexpr int32_t kFontStyleBold = 1;
constexpr int32_t kFontStyleItalic = 2;
constexpr int32_t kFontStyleUnderline = 4;

// The list of named fonts in which all UI text is drawn; a font's index is
// its position in the list, and fonts are never removed. Every operation that
// takes an index does nothing (or answers 0) for one outside the list, and
// every drawing or measuring operation does nothing without a graphics.
class RV_API IGdiFontManager
{
public:
    // Adds "Default": the family "宋体", 14 pixels, no style. Returns AddFont's answer.
    virtual int32_t AddDefaultFont() = 0;
    virtual void Reserved() = 0;
    // Adds the fonts named by a font-list file; a file without a "FontList"
    // element adds nothing.
    virtual void LoadFontList(const wchar_t* path) = 0;
    // Appends a font and returns its index. A family GDI+ cannot make falls
    // back to the system's sans-serif face; a style beyond bold, italic and
    // underline, or no face at all, stops the program.
    virtual int32_t AddFont(const wchar_t* name, const wchar_t* family, int32_t size, int32_t style) = 0;
    // The index of the first font of that name. "Default" before it exists
    // gives -1 (drawing with it draws nothing); any other unknown name is a
    // fault of the UI description: a warning, then the program stops.
    virtual int32_t GetFont(const wchar_t* name) = 0;
    // The font's size in pixels, truncated.
    virtual int32_t GetFontHeight(int32_t font) = 0;
    // The bounding box of text[start, end) in whole pixels; an empty range
    // gives width 0 and the font's line height.
    virtual void MeasureString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, int32_t start,
                               int32_t end, int32_t* width, int32_t* height) = 0;
    virtual void MeasureText(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, int32_t* width,
                             int32_t* height) = 0;
    // Places the text in the box by the alignment code 0 to 8 (row by row:
    // top, middle, bottom; columns left, centre, right); other codes count as 0.
    virtual void DrawTextAligned(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text,
                                 const Gdiplus::Color& color, int32_t x, int32_t y, int32_t width, int32_t height,
                                 int32_t align) = 0;
    virtual void DrawString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text,
                            const Gdiplus::Color& color, int32_t x, int32_t y) = 0;
    // Through the outline text renderer, plain effect, no shadow.
    virtual void DrawOutlineString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text,
                                   const Gdiplus::Color& color, int32_t x, int32_t y) = 0;
    virtual const std::vector<std::unique_ptr<CGdiFont>>& GetFontMap() = 0;

    // The engine start-up's name for AddDefaultFont.
    int32_t GetDefaultFont() { return AddDefaultFont(); }

protected:
    ~IGdiFontManager() = default;
};

// Made on the first call (on the UI thread) and kept for the process's life.
RV_API IGdiFontManager* IFontManager_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
