#include "engine/directui/controls/CScrollBarCore.h"

#include "engine/directui/controls/CRoutingFlag.h"
#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/Console.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <algorithm>
#include <utility>

namespace RVGameEngine {
namespace DirectUI {

namespace {

const wchar_t* const kVerticalTags[CScrollBarCore::IMAGE_COUNT] = {
    L"Back",      L"Up_Up",     L"Up_Down",       L"Up_Hover", L"Up_Disabled", L"Down_Up",     L"Down_Down",
    L"Down_Hover", L"Down_Disabled", L"Bar_Up", L"Bar_Down", L"Bar_Hover", L"Bar_Disabled"};
const wchar_t* const kHorizontalTags[CScrollBarCore::IMAGE_COUNT] = {
    L"Back",       L"Left_Up",        L"Left_Down", L"Left_Hover", L"Left_Disabled", L"Right_Up",    L"Right_Down",
    L"Right_Hover", L"Right_Disabled", L"Bar_Up",   L"Bar_Down",   L"Bar_Hover",     L"Bar_Disabled"};

// "Scroll bar '%s' has the wrong size."
const wchar_t kWrongSkinSizeFormat[] = L"\u6EDA\u52A8\u6761:'%s'\u5C3A\u5BF8\u4E0D\u6B63\u786E.";

// (a / b) * c in floating point, truncated toward zero.
int32_t Scaled(int32_t a, int32_t b, int32_t c)
{
    return static_cast<int32_t>(static_cast<float>(a) / static_cast<float>(b) * static_cast<float>(c));
}

struct tagSize
{
    int32_t width = 0;
    int32_t height = 0;
    bool operator!=(const tagSize& other) const { return width != other.width || height != other.height; }
};

tagSize FullSize(IUIImage* image)
{
    return image != nullptr ? tagSize{image->GetImageWidth(), image->GetImageHeight()} : tagSize{};
}

} // namespace

CScrollBarCore::CScrollBarCore(CUIWindow* bar, bool horizontal, std::function<void()> raiseScrolled)
    : m_bar(bar), m_horizontal(horizontal), m_raiseScrolled(std::move(raiseScrolled))
{
}

CScrollBarCore::~CScrollBarCore()
{
    // The buttons may outlive the bar in someone else's hands; the window
    // base lets go of them as children.
    for (const Common::TIntrusivePointer<IButton>& button : {m_firstButton, m_secondButton}) {
        if (!button.IsNull())
            button->RemoveObjectDelegates(this);
    }
}

// ---- Geometry ------------------------------------------------------------------

int32_t CScrollBarCore::Thickness() const
{
    return m_horizontal ? m_bar->GetHeight() : m_bar->GetWidth();
}

int32_t CScrollBarCore::Length() const
{
    return m_horizontal ? m_bar->GetWidth() : m_bar->GetHeight();
}

int32_t CScrollBarCore::TrackLength() const
{
    return Length() - 2 * Thickness();
}

CScrollBarCore::tagSpan CScrollBarCore::GetThumb() const
{
    const int32_t track = TrackLength();
    if (m_range == 0 || m_page == 0)
        return {Thickness(), track};
    const int32_t length = std::max(Scaled(std::min(m_page, m_range), m_range, track), m_minThumbLength);
    const int32_t offset = m_range == m_page ? 0 : Scaled(m_position, m_range - m_page, track - length);
    return {Thickness() + offset, length};
}

bool CScrollBarCore::InBand(int32_t x, int32_t y, int32_t start, int32_t length) const
{
    const int32_t ax = m_bar->GetAnchoredX(), ay = m_bar->GetAnchoredY(), thickness = Thickness();
    if (m_horizontal)
        return m_bar->PtInWindow(x, y, ax + start, ay, length, thickness);
    return m_bar->PtInWindow(x, y, ax, ay + start, thickness, length);
}

bool CScrollBarCore::OnThumb(int32_t x, int32_t y) const
{
    const tagSpan thumb = GetThumb();
    return InBand(x, y, thumb.start, thumb.length);
}

// ---- Position and steps ----------------------------------------------------------

void CScrollBarCore::SetRange(int32_t range)
{
    m_range = range;
    m_bar->Invalidate();
}

void CScrollBarCore::SetPage(int32_t page)
{
    m_page = page;
    m_bar->Invalidate();
}

void CScrollBarCore::SetPosition(int32_t position)
{
    if (m_page <= m_range && position > m_range - m_page)
        position = m_range - m_page;
    m_position = std::max(position, 0);
    m_bar->Invalidate();
}

void CScrollBarCore::Scrolled()
{
    m_raiseScrolled();
    m_bar->Invalidate();
}

void CScrollBarCore::LineBack()
{
    m_position = std::max(m_position - m_step, 0);
    Scrolled();
}

void CScrollBarCore::LineForward()
{
    if (m_page >= m_range)
        return;
    m_position = std::min(m_position + m_step, m_range - m_page);
    Scrolled();
}

void CScrollBarCore::OnFirstArrowClicked(void*, Common::tagEventArgs*)
{
    const Common::CKeepAlive keepBar(m_bar->AsWindow());
    LineBack();
}

void CScrollBarCore::OnSecondArrowClicked(void*, Common::tagEventArgs*)
{
    const Common::CKeepAlive keepBar(m_bar->AsWindow());
    LineForward();
}

void CScrollBarCore::PageBack()
{
    if (m_step == 0)
        return;
    for (int32_t i = m_page / m_step; i > 0; --i)
        LineBack();
}

void CScrollBarCore::PageForward()
{
    if (m_step == 0)
        return;
    for (int32_t i = m_page / m_step; i > 0; --i)
        LineForward();
}

void CScrollBarCore::MoveThumbTo(int32_t start)
{
    int32_t position = 0;
    if (m_range != 0 && m_page != 0 && m_range > m_page) {
        const int32_t track = TrackLength();
        const int32_t free = track - std::max(Scaled(m_page, m_range, track), m_minThumbLength);
        if (free != 0)
            position = std::clamp(Scaled(start - Thickness(), free, m_range - m_page), 0, m_range - m_page);
    }
    if (position == m_position)
        return;
    m_position = position;
    Scrolled();
}

// ---- Mouse -----------------------------------------------------------------------

void CScrollBarCore::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!m_bar->IsVisible() || !m_bar->IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    m_bar->CUIWindow::OnLButtonDown(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    const tagSpan thumb = GetThumb();
    if (OnThumb(x, y)) {
        m_dragging = true;
        m_bar->CaptureMouse();
        m_bar->Invalidate();
        routing.Take();
        m_pressCoord = Along(x, y);
        m_thumbStart = thumb.start;
    } else if (InBand(x, y, 0, thumb.start)) {
        // A track press is left untaken: the window under the bar sees it too.
        PageBack();
    } else if (InBand(x, y, thumb.start + thumb.length, Length() - thumb.start - thumb.length)) {
        PageForward();
    }
}

void CScrollBarCore::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (!m_bar->IsVisible() || !m_bar->IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    m_bar->CUIWindow::OnMouseMove(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    if (m_dragging)
        MoveThumbTo(Along(x, y) - m_pressCoord + m_thumbStart);
    const bool hover = OnThumb(x, y);
    if (hover != m_thumbHover) {
        m_thumbHover = hover;
        m_bar->Invalidate();
    }
}

void CScrollBarCore::OnLButtonUp(int32_t x, int32_t y, bool* continueRouting)
{
    if (!m_bar->IsVisible() || !m_bar->IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    m_bar->CUIWindow::OnLButtonUp(x, y, routing.Get());
    if (!routing.IsUntaken())
        return;
    m_bar->ReleaseMouse();
    if (m_dragging && OnThumb(x, y))
        routing.Take();
    m_dragging = false;
    m_bar->Invalidate();
}

void CScrollBarCore::OnMouseWheel(int32_t steps)
{
    for (int32_t i = 0; i < steps; ++i)
        LineBack();
    for (int32_t i = 0; i > steps; --i)
        LineForward();
}

// ---- Painting --------------------------------------------------------------------

void CScrollBarCore::OnPaint()
{
    if (!m_bar->IsVisible())
        return;
    const Image& back = m_images[IMAGE_BACK];
    if (!back.IsNull())
        back->DrawStretched(m_bar->GetAnchoredX(), m_bar->GetAnchoredY(), m_bar->GetWidth(), m_bar->GetHeight(),
                            m_bar->GetBackgroundImageColor());
    const Image& look = ThumbLook();
    if (!look.IsNull())
        DrawThumb(look);
    m_bar->CUIWindow::OnPaint();
}

const CScrollBarCore::Image& CScrollBarCore::ThumbLook() const
{
    if (!m_bar->IsEnabled())
        return m_images[IMAGE_BAR_DISABLED];
    if (m_dragging)
        return m_images[IMAGE_BAR_DOWN];
    return m_thumbHover ? m_images[IMAGE_BAR_HOVER] : m_images[IMAGE_BAR_UP];
}

// The thumb in five slices along the bar: the two end caps and the grip at
// their own size, and the fillers between them stretched from two lines of
// the frame.
void CScrollBarCore::DrawThumb(const Image& look)
{
    const int32_t thickness = Thickness();
    const int32_t frame = m_horizontal ? look->GetImageWidth() / 4 : look->GetImageHeight();
    const int32_t grip = frame - 2 * thickness;
    const tagSpan thumb = GetThumb();
    const int32_t start = (m_horizontal ? m_bar->GetAnchoredX() : m_bar->GetAnchoredY()) + thumb.start;
    const int32_t gripAt = (2 * start + thumb.length) / 2 - grip / 2;
    const int32_t filler = gripAt - (start + thickness);
    DrawThumbSlice(look, start, thickness, 0, thickness);
    DrawThumbSlice(look, start + thickness, filler, thickness, 2);
    DrawThumbSlice(look, gripAt, grip, thickness, grip);
    DrawThumbSlice(look, gripAt + grip, filler + 1, frame - thickness - 2, 2);
    DrawThumbSlice(look, start + thumb.length - thickness, thickness, frame - thickness, thickness);
}

void CScrollBarCore::DrawThumbSlice(const Image& look, int32_t at, int32_t length, int32_t from, int32_t fromLength)
{
    // A thumb shorter than its frame leaves some slices no room; drawn with a
    // negative size they would come out mirrored.
    if (length <= 0 || fromLength <= 0)
        return;
    const int32_t thickness = Thickness();
    const tagColor tint = m_bar->GetBackgroundImageColor();
    if (m_horizontal)
        look->DrawPart(at, m_bar->GetAnchoredY(), length, thickness, from, 0, fromLength, thickness, tint);
    else
        look->DrawPart(m_bar->GetAnchoredX(), at, thickness, length, 0, from, thickness, fromLength, tint);
}

// ---- Skin and arrow buttons ------------------------------------------------------

void CScrollBarCore::LoadImages(Common::IXmlElement* element)
{
    const wchar_t* const* tags = m_horizontal ? kHorizontalTags : kVerticalTags;
    for (int32_t i = 0; i < IMAGE_COUNT; ++i)
        m_images[i] = Image(m_bar->LoadImageFromXml(element, tags[i]));
}

void CScrollBarCore::SetImage(enmImage which, IUIImage* image)
{
    m_images[which] = Image(image);
}

void CScrollBarCore::ReleaseImages(enmImage first, enmImage last)
{
    for (int32_t i = first; i <= last; ++i)
        m_images[i].Reset();
}

bool CScrollBarCore::SkinHasExpectedSizes() const
{
    const tagSize back = FullSize(m_images[IMAGE_BACK].Get());
    const int32_t t = m_horizontal ? back.height : back.width;
    const tagSize expectedBack = m_horizontal ? tagSize{2, t} : tagSize{t, 2};
    const tagSize expectedArrow{4 * t, t};
    const tagSize expectedBar = m_horizontal ? tagSize{12 * t + 16, t} : tagSize{4 * t, 3 * t + 4};
    return !(back != expectedBack || FullSize(m_images[IMAGE_FIRST_UP].Get()) != expectedArrow ||
             FullSize(m_images[IMAGE_SECOND_UP].Get()) != expectedArrow ||
             FullSize(m_images[IMAGE_BAR_UP].Get()) != expectedBar);
}

void CScrollBarCore::CreateButtons()
{
    if (m_bar->GetUISystem() == nullptr)
        return;
    if (!SkinHasExpectedSizes())
        Common::ShowEngineDebuggingWarningMessage(kWrongSkinSizeFormat, m_bar->GetName());
    m_minThumbLength = 3 * Thickness();
    DropButtons();
    m_firstButton = MakeArrow(IMAGE_FIRST_UP, &CScrollBarCore::OnFirstArrowClicked);
    m_secondButton = MakeArrow(IMAGE_SECOND_UP, &CScrollBarCore::OnSecondArrowClicked);
    LayoutButtons();
}

Common::TIntrusivePointer<IButton> CScrollBarCore::MakeArrow(
    enmImage firstLook, void (CScrollBarCore::*onClick)(void*, Common::tagEventArgs*))
{
    Common::TIntrusivePointer<IUIWindow> window(m_bar->GetUISystem()->CreateControl(L"Button"));
    Common::TIntrusivePointer<IButton> button(dynamic_cast<IButton*>(window.Get()));
    if (button.IsNull())
        return button;
    button->SetUpImage(m_images[firstLook].Get());
    button->SetDownImage(m_images[firstLook + 1].Get());
    button->SetHoverImage(m_images[firstLook + 2].Get());
    button->SetDisabledImage(m_images[firstLook + 3].Get());
    button->AddMemberFunctionDelegate(kButtonClickedEvent, this, onClick);
    m_bar->AddChild(button.Get());
    return button;
}

void CScrollBarCore::DropButtons()
{
    for (Common::TIntrusivePointer<IButton>* button : {&m_firstButton, &m_secondButton}) {
        if (button->IsNull())
            continue;
        (*button)->RemoveObjectDelegates(this);
        m_bar->RemoveWindow(button->Get());
        button->Reset();
    }
}

void CScrollBarCore::LayoutButtons()
{
    const int32_t thickness = Thickness(), farEnd = Length() - thickness;
    if (!m_firstButton.IsNull())
        m_firstButton->SetRect(0, 0, thickness, thickness);
    if (!m_secondButton.IsNull())
        m_secondButton->SetRect(m_horizontal ? farEnd : 0, m_horizontal ? 0 : farEnd, thickness, thickness);
}

} // namespace DirectUI
} // namespace RVGameEngine
