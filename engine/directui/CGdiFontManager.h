#pragma once

#include "engine/directui/CGdiFont.h"
#include "engine/directui/IGdiFontManager.h"

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

    int32_t GetFontCount() const { return static_cast<int32_t>(m_fonts.size()); }
    // Null for an index outside the list.
    const CGdiFont* GetFontAt(int32_t index) const;

private:
    std::vector<std::unique_ptr<CGdiFont>> m_fonts;
};

} // namespace DirectUI
} // namespace RVGameEngine
