#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IButton.h"
#include "engine/directui/uisystem/IUIImage.h"

#include <cstdint>
#include <functional>

namespace RVGameEngine {
namespace Common {
class IXmlElement;
}
namespace DirectUI {

class CUIWindow;

// What the vertical and the horizontal scroll bar share, written once along
// an axis: the range, page, position and step, the thumb's geometry, line and
// page steps, dragging, the wheel, the skin and its arrow buttons. "Along" is
// the bar's length (y for a vertical bar), "thickness" its other dimension.
class CScrollBarCore
{
public:
    // The skin's pictures, each named by a description tag per orientation.
    enum enmImage : int32_t
    {
        IMAGE_BACK,
        IMAGE_FIRST_UP,
        IMAGE_FIRST_DOWN,
        IMAGE_FIRST_HOVER,
        IMAGE_FIRST_DISABLED,
        IMAGE_SECOND_UP,
        IMAGE_SECOND_DOWN,
        IMAGE_SECOND_HOVER,
        IMAGE_SECOND_DISABLED,
        IMAGE_BAR_UP,
        IMAGE_BAR_DOWN,
        IMAGE_BAR_HOVER,
        IMAGE_BAR_DISABLED,
        IMAGE_COUNT,
    };

    // raiseScrolled fires the bar's Scrolled event with its own interface.
    CScrollBarCore(CUIWindow* bar, bool horizontal, std::function<void()> raiseScrolled);
    ~CScrollBarCore();
    CScrollBarCore(const CScrollBarCore&) = delete;
    CScrollBarCore& operator=(const CScrollBarCore&) = delete;

    // The bar's handlers; each runs the window base's first.
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting);
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting);
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting);
    void OnPaint();
    void OnMouseWheel(int32_t steps);

    void LoadImages(Common::IXmlElement* element);
    // Checks the skin's sizes, then makes and lays out the arrow buttons;
    // without a UI system there is nothing to make them with.
    void CreateButtons();
    void LayoutButtons();
    void ReleaseImages(enmImage first, enmImage last);

    bool IsDragging() const { return m_dragging; }
    void SetRange(int32_t range);
    int32_t GetRange() const { return m_range; }
    void SetPosition(int32_t position);
    int32_t GetPosition() const { return m_position; }
    void SetPage(int32_t page);
    int32_t GetPage() const { return m_page; }
    void SetStep(int32_t step) { m_step = step; }
    int32_t GetStep() const { return m_step; }
    void SetImage(enmImage which, IUIImage* image);
    IUIImage* GetImage(enmImage which) const { return m_images[which].Get(); }

    // The thumb along the bar, relative to its corner.
    struct tagSpan
    {
        int32_t start = 0;
        int32_t length = 0;
    };
    tagSpan GetThumb() const;

private:
    using Image = Common::TIntrusivePointer<IUIImage>;

    int32_t Thickness() const;
    int32_t Length() const;
    int32_t TrackLength() const;
    int32_t Along(int32_t x, int32_t y) const { return m_horizontal ? x : y; }
    // A band across the bar from `start` along it (relative), edges included.
    bool InBand(int32_t x, int32_t y, int32_t start, int32_t length) const;
    bool OnThumb(int32_t x, int32_t y) const;

    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();
    void MoveThumbTo(int32_t start);
    void Scrolled();

    bool SkinHasExpectedSizes() const;
    Common::TIntrusivePointer<IButton> MakeArrow(enmImage firstLook,
                                                 void (CScrollBarCore::*onClick)(void*, Common::tagEventArgs*));
    void DropButtons();
    // A Scrolled handler may drop the bar, which only its parent holds while
    // its arrow fires: each keeps the bar alive to the end of its step.
    void OnFirstArrowClicked(void*, Common::tagEventArgs*);
    void OnSecondArrowClicked(void*, Common::tagEventArgs*);

    const Image& ThumbLook() const;
    void DrawThumb(const Image& look);
    void DrawThumbSlice(const Image& look, int32_t at, int32_t length, int32_t from, int32_t fromLength);

    CUIWindow* m_bar;
    bool m_horizontal;
    std::function<void()> m_raiseScrolled;
    Image m_images[IMAGE_COUNT];
    int32_t m_range = 0;
    int32_t m_position = 0;
    int32_t m_page = 0;
    int32_t m_step = 0;
    int32_t m_minThumbLength = 0;
    Common::TIntrusivePointer<IButton> m_firstButton, m_secondButton;
    bool m_dragging = false;
    bool m_thumbHover = false;
    int32_t m_pressCoord = 0;
    int32_t m_thumbStart = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
