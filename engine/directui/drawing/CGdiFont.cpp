#include "engine/directui/drawing/CGdiFont.h"

#include <utility>

namespace RVGameEngine {
namespace DirectUI {

CGdiFont::CGdiFont(const wchar_t* name, std::unique_ptr<Gdiplus::Font> font)
    : m_name(name != nullptr ? name : L""), m_font(std::move(font))
{
}

} // namespace DirectUI
} // namespace RVGameEngine
