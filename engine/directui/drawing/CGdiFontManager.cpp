#include "engine/directui/drawing/CGdiFontManager.h"

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

namespace {

std::unique_ptr<Gdiplus::Font> MakeFont(const Gdiplus::FontFamily& family, int32_t size, int32_t style)
{
    std::unique_ptr<Gdiplus::Font> font(
        new Gdiplus::Font(&family, static_cast<Gdiplus::REAL>(size), style, Gdiplus::UnitPixel));
    if (font == nullptr || font->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return font;
}

// Typographic layout that counts trailing spaces, so measured and drawn text
// line up with the caret and selection of the text boxes.
class CTextFormat : public Gdiplus::StringFormat
{
public:
    CTextFormat() : Gdiplus::StringFormat(Gdiplus::StringFormat::GenericTypographic())
    {
        SetFormatFlags(GetFormatFlags() | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    }
};

int32_t TextLength(const wchar_t* text)
{
    return text != nullptr ? static_cast<int32_t>(wcslen(text)) : 0;
}

// Alignment codes read as a 3 x 3 grid, row by row; others count as top-left.
int32_t AlignedLeft(int32_t align, int32_t x, int32_t width, int32_t textWidth)
{
    switch (align % 3) {
    case 1:
        return width / 2 + x - textWidth / 2;
    case 2:
        return x + width - textWidth - 4;
    default:
        return x;
    }
}

int32_t AlignedTop(int32_t align, int32_t y, int32_t height, int32_t textHeight)
{
    switch (align / 3) {
    case 1:
        return height / 2 + y - textHeight / 2;
    case 2:
        return y + height - textHeight;
    default:
        return y;
    }
}

} // namespace

int32_t CGdiFontManager::AddFont(const wchar_t* name, const wchar_t* family, int32_t size, int32_t style)
{
    if ((style & ~kKnownStyleBits) != 0)
        Common::EngineFatalError("Font style beyond bold, italic and underline");
    const wchar_t* familyName = family != nullptr ? family : L"";
    const Gdiplus::FontFamily wanted(familyName);
    std::unique_ptr<Gdiplus::Font> font;
    if (wanted.GetLastStatus() == Gdiplus::Ok)
        font = MakeFont(wanted, size, style);
    if (font == nullptr) {
        // A machine without the description's face still shows its text.
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"Font family %s cannot be made; using the sans-serif face",
                                                familyName);
        const Gdiplus::FontFamily* fallback = Gdiplus::FontFamily::GenericSansSerif();
        if (fallback != nullptr && fallback->GetLastStatus() == Gdiplus::Ok)
            font = MakeFont(*fallback, size, style);
    }
    if (font == nullptr)
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

void CGdiFontManager::MeasureString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, int32_t start,
                                    int32_t end, int32_t* width, int32_t* height)
{
    const CGdiFont* entry = GetFontAt(font);
    int32_t measuredWidth = 0, measuredHeight = 0;
    if (graphics != nullptr && entry != nullptr) {
        const int32_t length = TextLength(text);
        start = start < 0 ? 0 : start;
        end = end > length ? length : end;
        if (end > start) {
            const CTextFormat format;
            Gdiplus::RectF box;
            graphics->MeasureString(text + start, end - start, entry->GetFont(), Gdiplus::PointF(0, 0), &format,
                                    &box);
            measuredWidth = static_cast<int32_t>(box.GetRight() - box.GetLeft());
            measuredHeight = static_cast<int32_t>(box.GetBottom() - box.GetTop());
        } else {
            measuredHeight = static_cast<int32_t>(entry->GetFont()->GetHeight(graphics));
        }
    }
    if (width != nullptr)
        *width = measuredWidth;
    if (height != nullptr)
        *height = measuredHeight;
}

void CGdiFontManager::MeasureText(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text, int32_t* width,
                                  int32_t* height)
{
    MeasureString(graphics, font, text, 0, TextLength(text), width, height);
}

void CGdiFontManager::DrawTextAligned(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text,
                                      const Gdiplus::Color& color, int32_t x, int32_t y, int32_t width,
                                      int32_t height, int32_t align)
{
    if (graphics == nullptr || TextLength(text) == 0 || GetFontAt(font) == nullptr)
        return;
    if (align < 0 || align > 8)
        align = 0;
    // Top-left text needs no measuring, and most labels are top-left.
    int32_t textWidth = 0, textHeight = 0;
    if (align != 0)
        MeasureText(graphics, font, text, &textWidth, &textHeight);
    DrawString(graphics, font, text, color, AlignedLeft(align, x, width, textWidth),
               AlignedTop(align, y, height, textHeight));
}

void CGdiFontManager::DrawString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text,
                                 const Gdiplus::Color& color, int32_t x, int32_t y)
{
    const CGdiFont* entry = GetFontAt(font);
    if (graphics == nullptr || entry == nullptr || TextLength(text) == 0)
        return;
    const CTextFormat format;
    const Gdiplus::SolidBrush brush(color);
    graphics->DrawString(text, TextLength(text), entry->GetFont(),
                         Gdiplus::PointF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y)), &format,
                         &brush);
}

void CGdiFontManager::DrawOutlineString(Gdiplus::Graphics* graphics, int32_t font, const wchar_t* text,
                                        const Gdiplus::Color& color, int32_t x, int32_t y)
{
    const CGdiFont* entry = GetFontAt(font);
    if (graphics == nullptr || entry == nullptr || TextLength(text) == 0)
        return;
    Gdiplus::FontFamily family;
    if (entry->GetFont()->GetFamily(&family) != Gdiplus::Ok)
        return;
    graphics->SetSmoothingMode(Gdiplus::SmoothingModeDefault);
    graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics->SetPageUnit(Gdiplus::UnitPixel);
    const CTextFormat format;
    m_outline.SetShadowEnabled(false);
    m_outline.UsePlainText(color.GetValue());
    m_outline.DrawString(graphics, &family, Gdiplus::FontStyleRegular, static_cast<int>(entry->GetFont()->GetSize()),
                         text, Gdiplus::Point(x, y), &format);
}

IGdiFontManager* IFontManager_GetInstance()
{
    static CGdiFontManager* instance = new (std::nothrow) CGdiFontManager();
    return instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
