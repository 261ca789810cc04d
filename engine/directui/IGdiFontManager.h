#pragma once

#include "engine/common/base/EngineApi.h"

#include <cstdint>

namespace RVGameEngine {
namespace DirectUI {

// GDI+ font style bits a font may carry.
constexpr int32_t kFontStyleBold = 1;
constexpr int32_t kFontStyleItalic = 2;
constexpr int32_t kFontStyleUnderline = 4;

// The list of named fonts in which all UI text is drawn; a font's index is
// its position in the list, and fonts are never removed.
class RV_API IGdiFontManager
{
public:
    // Adds "Default": the family "宋体", 14 pixels, no style. Returns AddFont's answer.
    virtual int32_t AddDefaultFont() = 0;
    virtual void Reserved() = 0;
    // Adds the fonts named by a font-list file.
    virtual void LoadFontList(const wchar_t* path) = 0;
    // Appends a font and returns its index. A style beyond bold, italic and
    // underline, or a font GDI+ cannot make, stops the program.
    virtual int32_t AddFont(const wchar_t* name, const wchar_t* family, int32_t size, int32_t style) = 0;
    // The index of the first font of that name. "Default" before it exists
    // gives -1 (drawing with it draws nothing); any other unknown name is a
    // fault of the UI description: a warning, then the program stops.
    virtual int32_t GetFont(const wchar_t* name) = 0;
    // The font's size in pixels, truncated; 0 for an index outside the list.
    virtual int32_t GetFontHeight(int32_t font) = 0;

    // The engine start-up's name for AddDefaultFont.
    int32_t GetDefaultFont() { return AddDefaultFont(); }

protected:
    ~IGdiFontManager() = default;
};

// Made on the first call (on the UI thread) and kept for the process's life.
RV_API IGdiFontManager* IFontManager_GetInstance();

} // namespace DirectUI
} // namespace RVGameEngine
