#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>

namespace RVGameEngine {
namespace DirectUI {

// One named font of the font manager; owns its GDI+ font.
class CGdiFont
{
public:
    CGdiFont(const wchar_t* name, std::unique_ptr<Gdiplus::Font> font);

    const std::wstring& GetName() const { return m_name; }
    Gdiplus::Font* GetFont() const { return m_font.get(); }

private:
    std::wstring m_name;
    std::unique_ptr<Gdiplus::Font> m_font;
};

} // namespace DirectUI
} // namespace RVGameEngine
