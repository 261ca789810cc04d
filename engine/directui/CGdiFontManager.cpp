#include "engine/directui/CGdiFontManager.h"

#include "engine/common/base/Console.h"
#include "engine/common/base/FatalError.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "engine/filesystem/ILogFile.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

namespace {
constexpr int32_t kKnownStyleBits = kFontStyleBold | kFontStyleItalic | kFontStyleUnderline;
}

int32_t CGdiFontManager::AddDefaultFont()
{
    return AddFont(L"Default", L"宋体", 14, 0);
}

void CGdiFontManager::Reserved()
{
}

void CGdiFontManager::LoadFontList(const wchar_t* path)
{
    Common::TIntrusivePointer<Common::IXmlScript> document = Common::IXmlScript_Create();
    Common::IXmlElement* root = document->LoadFromFile(path);
    Common::IXmlElement* list = root != nullptr ? root->FindChildByElementName(L"FontList") : nullptr;
    if (list == nullptr) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"Font list %s has no FontList",
                                                path != nullptr ? path : L"");
        return;
    }
    for (int32_t i = 0; i < list->GetChildCount(); ++i) {
        Common::IXmlElement* entry = list->GetChild(i);
        int32_t style = 0;
        if (entry->GetAttributeBool(L"Bold"))
            style |= kFontStyleBold;
        if (entry->GetAttributeBool(L"Italic"))
            style |= kFontStyleItalic;
        if (entry->GetAttributeBool(L"Underline"))
            style |= kFontStyleUnderline;
        AddFont(entry->GetAttribute(L"Name"), entry->GetAttribute(L"FontName"), entry->GetAttributeInt(L"FontSize"),
                style);
    }
}

int32_t CGdiFontManager::AddFont(const wchar_t* name, const wchar_t* family, int32_t size, int32_t style)
{
    if ((style & ~kKnownStyleBits) != 0)
        Common::EngineFatalError("Font style beyond bold, italic and underline");
    std::unique_ptr<Gdiplus::Font> font(new Gdiplus::Font(
        family != nullptr ? family : L"", static_cast<Gdiplus::REAL>(size), style, Gdiplus::UnitPixel));
    if (font == nullptr || font->GetLastStatus() != Gdiplus::Ok)
        Common::EngineFatalError("Font cannot be made");
    m_fonts.push_back(std::make_unique<CGdiFont>(name, std::move(font)));
    return static_cast<int32_t>(m_fonts.size()) - 1;
}

int32_t CGdiFontManager::GetFont(const wchar_t* name)
{
    const wchar_t* wanted = name != nullptr ? name : L"";
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i]->GetName() == wanted)
            return static_cast<int32_t>(i);
    }
    if (wcscmp(wanted, L"Default") == 0)
        return -1;
    Common::ShowEngineDebuggingWarningMessage(L"Font %s not found!", wanted);
    Common::EngineFatalError("Font not loaded");
}

int32_t CGdiFontManager::GetFontHeight(int32_t font)
{
    const CGdiFont* entry = GetFontAt(font);
    return entry != nullptr ? static_cast<int32_t>(entry->GetFont()->GetSize()) : 0;
}

const CGdiFont* CGdiFontManager::GetFontAt(int32_t index) const
{
    if (index < 0 || index >= GetFontCount())
        return nullptr;
    return m_fonts[static_cast<size_t>(index)].get();
}

IGdiFontManager* IFontManager_GetInstance()
{
    static CGdiFontManager* instance = new (std::nothrow) CGdiFontManager();
    return instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
