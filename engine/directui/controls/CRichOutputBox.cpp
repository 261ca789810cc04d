#include "engine/directui/controls/CRichOutputBox.h"

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/system/ShellFunctions.h"
#include "engine/directui/services/IExpressionManager.h"
#include "engine/directui/services/ProgramFolderNames.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/documents/IXmlScript.h"

#include <algorithm>
#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

namespace {

// Where an "Image" element keeps the stamp of the entry the box made for it.
constexpr const wchar_t* kImageStampAttribute = L"ImageEntryStamp";

bool NameIs(const wchar_t* name, const wchar_t* wanted)
{
    return wcscmp(name, wanted) == 0;
}

} // namespace

CRichOutputBox::CRichOutputBox() : m_linkOpener(&Common::OpenWebLink) {}

CRichOutputBox::~CRichOutputBox() { RemoveImageExpressions(); }

// ---- Content -----------------------------------------------------------------------

void CRichOutputBox::AppendText(const wchar_t* markup)
{
    Common::TIntrusivePointer<Common::IXmlScript> document = Common::IXmlScript_Create();
    Common::IXmlElement* root = document->Parse(markup != nullptr ? markup : L"");
    Common::TIntrusivePointer<tagRichTextParagraph> paragraph(new tagRichTextParagraph());
    paragraph->element = Common::TIntrusivePointer<Common::IXmlElement>(root);
    root->SetName(L"Paragraph");
    paragraph->top = m_contentHeight;
    m_paragraphs.push_back(paragraph);
    BeginWalk(paragraph.Get(), WALK_MEASURE, 0);
    Walk(root);
    BreakLine();
    paragraph->height = m_bottom - m_walkStartY + m_paragraphGap;
    m_contentHeight += paragraph->height;
    m_walkParagraph = nullptr;
    Invalidate();
}

void CRichOutputBox::Clear()
{
    m_paragraphs.clear();
    RemoveImageExpressions();
    m_scrollOffset = 0;
    m_contentHeight = 0;
    m_animating = false;
    Invalidate();
}

void CRichOutputBox::SetLineGap(int32_t pixels) { m_lineGap = pixels; }
int32_t CRichOutputBox::GetLineGap() { return m_lineGap; }
void CRichOutputBox::SetParagraphGap(int32_t pixels) { m_paragraphGap = pixels; }
int32_t CRichOutputBox::GetParagraphGap() { return m_paragraphGap; }
int32_t CRichOutputBox::GetContentHeight() { return m_contentHeight; }
int32_t CRichOutputBox::GetViewHeight() { return GetHeight(); }

void CRichOutputBox::SetScrollOffset(int32_t pixels)
{
    m_scrollOffset = pixels;
    Invalidate();
}

int32_t CRichOutputBox::GetScrollOffset() { return m_scrollOffset; }

void CRichOutputBox::AppendParagraphText(tagRichTextParagraph* paragraph)
{
    BeginWalk(paragraph, WALK_TEXT, 0);
    Walk(paragraph->element.Get());
    m_walkParagraph = nullptr;
    m_textBuffer += L"\r\n";
}

Common::TIntrusivePointer<Common::IString> CRichOutputBox::GetPlainText()
{
    m_textBuffer.clear();
    const auto paragraphs = m_paragraphs;
    for (const Common::TIntrusivePointer<tagRichTextParagraph>& paragraph : paragraphs)
        AppendParagraphText(paragraph.Get());
    return Common::IString_Create_Utf16(m_textBuffer.c_str());
}

Common::TIntrusivePointer<Common::IString> CRichOutputBox::GetLastParagraphText()
{
    m_textBuffer.clear();
    if (!m_paragraphs.empty()) {
        Common::TIntrusivePointer<tagRichTextParagraph> last = m_paragraphs.back();
        AppendParagraphText(last.Get());
    }
    return Common::IString_Create_Utf16(m_textBuffer.c_str());
}

// ---- The walk --------------------------------------------------------------------------

void CRichOutputBox::BeginWalk(tagRichTextParagraph* paragraph, enmWalkMode mode, int32_t offset)
{
    m_walkParagraph = paragraph;
    m_walkMode = mode;
    m_font = 0;
    m_color = tagColor(255, 255, 255, 255);
    m_penX = GetAnchoredX();
    m_penY = m_walkStartY = m_bottom = GetAnchoredY() + offset;
    m_lineIndex = 0;
    m_lineHeight = 0;
    if (mode != WALK_MEASURE && !paragraph->lineHeights.empty())
        m_lineHeight = paragraph->lineHeights.front();
    m_hitElement.Reset();
    m_hitKind = HIT_NONE;
}

void CRichOutputBox::Walk(Common::IXmlElement* element)
{
    if (element == nullptr || m_hitKind != HIT_NONE)
        return;
    const wchar_t* name = element->GetName();
    const tagColor savedColor = m_color;
    const int32_t savedFont = m_font;
    if (NameIs(name, L"Text"))
        WalkRun(element, HIT_NONE);
    else if (NameIs(name, L"TextButton"))
        WalkRun(element, HIT_TEXT_BUTTON);
    else if (NameIs(name, L"HyperLink"))
        WalkRun(element, HIT_HYPERLINK);
    else if (NameIs(name, L"Image") || NameIs(name, L"Expression"))
        WalkItem(element);
    else if (NameIs(name, L"FontColor"))
        m_color = ParseUIColor(element->GetAttribute(L"FontColor"));
    else if (NameIs(name, L"FontName") && GetDriver() != nullptr)
        m_font = GetDriver()->GetFont(element->GetAttribute(L"FontName"));
    const int32_t childCount = element->GetChildCount();
    for (int32_t i = 0; i < childCount && m_hitKind == HIT_NONE; ++i)
        Walk(element->GetChild(i));
    if (m_hitKind != HIT_NONE)
        return;
    // A colour or font holds only inside its element.
    m_color = savedColor;
    m_font = savedFont;
    if (NameIs(name, L"NewLine")) {
        if (m_walkMode == WALK_TEXT)
            m_textBuffer += L"\r\n";
        BreakLine();
    }
}

void CRichOutputBox::WalkRun(Common::IXmlElement* element, enmHitKind kind)
{
    const std::wstring text = element->GetAttribute(L"Text");
    for (wchar_t unit : text) {
        int32_t width = 0, height = 0;
        m_glyphs.Measure(GetDriver(), m_font, unit, &width, &height);
        BreakIfBeyondWidth(width);
        GrowLine(height);
        if (m_walkMode == WALK_TEXT)
            m_textBuffer += unit;
        if (m_walkMode == WALK_PAINT && IsPenRowShown() && GetDriver() != nullptr) {
            const wchar_t shown[2] = {unit, L'\0'};
            const int32_t y = m_penY + m_lineHeight - height;
            if (kind == HIT_HYPERLINK) {
                GetDriver()->DrawText(m_font, shown, m_color, m_penX, y - 1);
                GetDriver()->FillRect(m_penX, m_penY + m_lineHeight - 1, width, 1, m_color);
            } else {
                GetDriver()->DrawText(m_font, shown, m_color, m_penX, y);
            }
        }
        if (kind != HIT_NONE && HitUnit(element, kind, width, height))
            return;
        Advance(width);
    }
}

void CRichOutputBox::WalkItem(Common::IXmlElement* element)
{
    const int32_t number = ResolveExpression(element);
    IExpressionManager* expressions = IExpressionManager_GetInstance();
    int32_t width = 0, height = 0;
    if (expressions != nullptr) {
        expressions->GetExpressionSize(GetUISystem(), number, &width, &height);
        if (expressions->IsExpressionAnimated(number))
            m_animating = true;
    }
    BreakIfBeyondWidth(width);
    GrowLine(height);
    if (m_walkMode == WALK_TEXT) {
        wchar_t code[16] = {};
        swprintf(code, 16, L"/:%02d", number);
        m_textBuffer += code;
    }
    if (m_walkMode == WALK_PAINT && IsPenRowShown() && expressions != nullptr)
        expressions->DrawExpression(GetUISystem(), number, m_penX, m_penY + m_lineHeight - height);
    if (HitUnit(element, HIT_IMAGE, width, height))
        return;
    Advance(width);
}

// An "Image" loads its file into an expression entry of its own, which it
// keeps until the box is cleared or goes. Markup may come from a peer: only
// pictures in the program's own folders are loaded. The table is shared: a
// set load may drop or replace the entry, and its number may then go to
// another box, so the box knows its entry by number and stamp, loads the
// picture again when the entry is no longer its own, and gives back only
// entries it still holds.
int32_t CRichOutputBox::ResolveExpression(Common::IXmlElement* element)
{
    if (!element->HasAttribute(L"Filename"))
        return element->GetAttributeInt(L"Expression");
    const bool resolvedHere = element->HasAttribute(kImageStampAttribute);
    if (!resolvedHere && element->HasAttribute(L"Expression"))
        return element->GetAttributeInt(L"Expression");
    IExpressionManager* expressions = IExpressionManager_GetInstance();
    if (resolvedHere) {
        const int32_t number = element->GetAttributeInt(L"Expression");
        const uint32_t stamp = element->GetAttributeUInt(kImageStampAttribute);
        if (number < 0 || expressions == nullptr || expressions->GetFileExpressionStamp(number) == stamp)
            return number;
        ForgetImageExpression(number, stamp);
    }
    const wchar_t* filename = element->GetAttribute(L"Filename");
    int32_t number = -1;
    uint32_t stamp = 0;
    if (!IsInsideProgramFolders(filename))
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"Rich text image <%s> not loaded: outside the program's folders",
                                                Common::LoggableText(filename).c_str());
    else if (expressions != nullptr)
        number = expressions->AddExpressionFromFile(GetUISystem(), filename);
    if (number >= 0) {
        stamp = expressions->GetFileExpressionStamp(number);
        m_imageExpressions.emplace_back(number, stamp);
    }
    element->SetAttributeInt(L"Expression", number);
    element->SetAttributeUInt(kImageStampAttribute, stamp);
    return number;
}

void CRichOutputBox::ForgetImageExpression(int32_t number, uint32_t stamp)
{
    const auto held = std::find(m_imageExpressions.begin(), m_imageExpressions.end(), std::make_pair(number, stamp));
    if (held != m_imageExpressions.end())
        m_imageExpressions.erase(held);
}

void CRichOutputBox::RemoveImageExpressions()
{
    IExpressionManager* expressions = IExpressionManager_GetInstance();
    for (const auto& entry : m_imageExpressions) {
        if (expressions != nullptr)
            expressions->RemoveFileExpression(entry.first, entry.second);
    }
    m_imageExpressions.clear();
}

void CRichOutputBox::BreakIfBeyondWidth(int32_t width)
{
    if (m_penX + width > GetAnchoredX() + GetWidth())
        BreakLine();
}

void CRichOutputBox::GrowLine(int32_t height)
{
    if (m_walkMode == WALK_MEASURE)
        m_lineHeight = std::max(m_lineHeight, height);
}

bool CRichOutputBox::IsPenRowShown()
{
    const int32_t top = GetAnchoredY();
    return m_penY >= top - m_lineHeight && m_penY <= top + GetHeight();
}

bool CRichOutputBox::HitUnit(Common::IXmlElement* element, enmHitKind kind, int32_t width, int32_t height)
{
    if (m_walkMode != WALK_HIT_TEST)
        return false;
    const int32_t top = m_penY + m_lineHeight - height;
    if (m_pressX < m_penX || m_pressX > m_penX + width || m_pressY < top || m_pressY > top + height)
        return false;
    m_hitElement = Common::TIntrusivePointer<Common::IXmlElement>(element);
    m_hitKind = kind;
    return true;
}

void CRichOutputBox::Advance(int32_t width)
{
    m_penX += width;
    m_bottom = std::max(m_bottom, m_penY + m_lineHeight + m_lineGap);
}

void CRichOutputBox::BreakLine()
{
    m_penX = GetAnchoredX();
    m_penY = m_bottom + 1;
    if (m_walkMode == WALK_MEASURE) {
        m_walkParagraph->lineHeights.push_back(m_lineHeight);
        m_lineHeight = 0;
        return;
    }
    ++m_lineIndex;
    if (m_lineIndex < m_walkParagraph->lineHeights.size())
        m_lineHeight = m_walkParagraph->lineHeights[m_lineIndex];
}

// ---- Input, painting and ticks ------------------------------------------------------------

void CRichOutputBox::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnLButtonDown(x, y, continueRouting);
    if (continueRouting != nullptr && !*continueRouting)
        return;
    if (!PtInWindow(x, y, GetAnchoredX(), GetAnchoredY(), GetWidth(), GetHeight()))
        return;
    m_pressX = x;
    m_pressY = y;
    RunHitTest();
    if (continueRouting != nullptr)
        *continueRouting = false;
}

void CRichOutputBox::RunHitTest()
{
    // Handlers may clear the box or drop it: the event is raised after the
    // walk, with the box and the hit element held.
    Common::CKeepAlive keepAlive(this);
    const auto paragraphs = m_paragraphs;
    Common::TIntrusivePointer<Common::IXmlElement> hit;
    enmHitKind kind = HIT_NONE;
    for (const Common::TIntrusivePointer<tagRichTextParagraph>& paragraph : paragraphs) {
        BeginWalk(paragraph.Get(), WALK_HIT_TEST, paragraph->top - m_scrollOffset);
        Walk(paragraph->element.Get());
        if (m_hitKind != HIT_NONE) {
            hit = m_hitElement;
            kind = m_hitKind;
            break;
        }
    }
    m_walkParagraph = nullptr;
    m_hitElement.Reset();
    m_hitKind = HIT_NONE;
    if (kind != HIT_NONE)
        RaiseHit(hit.Get(), kind);
}

void CRichOutputBox::RaiseHit(Common::IXmlElement* element, enmHitKind kind)
{
    IRichOutputBox* sender = this;
    if (kind == HIT_TEXT_BUTTON) {
        tagRichOutputBoxTextButtonClickedEventArgs args;
        args.name = element->GetAttribute(L"Name");
        args.tag = element->GetAttribute(L"Tag");
        args.text = element->GetAttribute(L"Text");
        Fire(kRichOutputBoxTextButtonClickedEvent, sender, &args);
    } else if (kind == HIT_HYPERLINK) {
        tagRichOutputBoxHyperLinkClickedEventArgs args;
        args.name = element->GetAttribute(L"Name");
        args.tag = element->GetAttribute(L"Tag");
        args.text = element->GetAttribute(L"Text");
        args.url = element->GetAttribute(L"URL");
        Fire(kRichOutputBoxHyperLinkClickedEvent, sender, &args);
        if (!args.handled)
            OpenLink(element->GetAttribute(L"URL"));
    } else {
        tagRichOutputBoxImageClickedEventArgs args;
        args.name = element->GetAttribute(L"Name");
        args.tag = element->GetAttribute(L"Tag");
        args.filename = element->GetAttribute(L"Filename");
        Fire(kRichOutputBoxImageClickedEvent, sender, &args);
    }
}

// Markup may come from a peer: only web addresses are handed to the shell,
// never a program or a document path.
void CRichOutputBox::OpenLink(const wchar_t* url)
{
    if (!Common::IsWebAddress(url)) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING,
                                                L"Rich text link <%s> not opened: not a web address",
                                                Common::LoggableText(url).c_str());
        return;
    }
    if (m_linkOpener != nullptr)
        m_linkOpener(url);
}

void CRichOutputBox::OnPaint()
{
    if (!IsVisible())
        return;
    const int32_t x = GetAnchoredX(), top = GetAnchoredY();
    if (GetBackgroundImage() != nullptr)
        GetBackgroundImage()->DrawCropped(x, top, GetWidth(), GetHeight(), GetBackgroundImageColor());
    const auto paragraphs = m_paragraphs;
    for (const Common::TIntrusivePointer<tagRichTextParagraph>& paragraph : paragraphs) {
        const int32_t screenTop = top + paragraph->top - m_scrollOffset;
        if (screenTop < top - paragraph->height || screenTop > top + GetHeight())
            continue;
        BeginWalk(paragraph.Get(), WALK_PAINT, paragraph->top - m_scrollOffset);
        Walk(paragraph->element.Get());
    }
    m_walkParagraph = nullptr;
}

void CRichOutputBox::OnFrameMove(int32_t elapsedMs)
{
    CUIWindow::OnFrameMove(elapsedMs);
    if (!m_animating)
        return;
    m_repaintCountdown -= elapsedMs;
    if (m_repaintCountdown < 0) {
        Invalidate();
        m_repaintCountdown += kAnimationRepaintMs;
    }
}

// ---- Window operations --------------------------------------------------------------------

void CRichOutputBox::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    if (element->HasAttribute(L"LineGap"))
        m_lineGap = element->GetAttributeInt(L"LineGap");
    if (element->HasAttribute(L"ParagraphGap"))
        m_paragraphGap = element->GetAttributeInt(L"ParagraphGap");
    Invalidate();
}

void CRichOutputBox::ResetBackgroundImage() {}

} // namespace DirectUI
} // namespace RVGameEngine
