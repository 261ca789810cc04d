#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIImage.h"
#include "engine/directui/uisystem/IUISystem.h"
#include "engine/directui/uisystem/IUISystemDriver.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/TSnapshotVisit.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class CUISystem;

// The base class of every window: geometry with anchor modes, names and tags,
// title, background image, children, XML loading, input routing, painting
// and ticks. Controls derive from it and from their own interface.
class RV_API CUIWindow : public virtual IUIWindow
{
public:
    CUIWindow();
    ~CUIWindow() override;

    // IUIWindow
    void OnCreated() override;
    void ResetBackgroundImage() override;
    void SetRect(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void CenterInParent() override;
    void Show() override;
    void Hide() override;
    bool IsVisible() override;
    bool IsVisibleInTree() override;
    void Enable() override;
    void Disable() override;
    bool IsEnabled() override;
    void AddChild(IUIWindow* child) override;
    bool RemoveWindow(IUIWindow* window) override;
    IUIWindow* GetChild(int32_t index) override;
    IUIWindow* FindChild(const wchar_t* name) override;
    IUIWindow* FindWindow(const wchar_t* name) override;
    IUIWindow* FindChildByTag(const wchar_t* tag) override;
    IUIWindow* FindWindowByTag(const wchar_t* tag) override;
    void RemoveAllChildren() override;
    void BringChildToFront(IUIWindow* child) override;
    void Invalidate() override;
    void InvalidateOnHide() override;
    void OnRectChanged() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool IsFocusable() override;
    void SetFocus(bool frameRefocused) override;
    void KillFocus() override;
    bool HitTest(int32_t x, int32_t y) override;
    void SetHoverListener(IUIHoverListener* listener) override;
    void SetHoverWindow(IUIWindow* window) override;
    void SetHoverWindowByName(const wchar_t* name) override;
    void SetWheelTarget(IUIWindow* window) override;
    void LoadAttributes(Common::IXmlElement* element) override;
    void LoadFromXmlFile(const wchar_t* path) override;
    void SetUISystem(IUISystem* system) override;
    IUISystem* GetUISystem() override;
    int32_t GetChildCount() override;
    IUIWindow* GetParent() override;
    void SetX(int32_t x) override;
    void SetY(int32_t y) override;
    void SetWidth(int32_t width) override;
    void SetHeight(int32_t height) override;
    int32_t GetX() override;
    int32_t GetY() override;
    int32_t GetWidth() override;
    int32_t GetHeight() override;
    int32_t GetAnchoredX() override;
    int32_t GetAnchoredY() override;
    int32_t GetAnchorMode() override;
    void SetAnchorMode(int32_t mode) override;
    void SetName(const wchar_t* name) override;
    const wchar_t* GetName() override;
    const wchar_t* GetFullName() override;
    void SetBackgroundImage(IUIImage* image) override;
    IUIImage* GetBackgroundImage() override;
    void SetBackgroundImageColor(tagColor color) override;
    tagColor GetBackgroundImageColor() override;
    void SetTitle(const wchar_t* title) override;
    const wchar_t* GetTitle() override;
    void SetTitleInt(int32_t value) override;
    int32_t GetTitleInt() override;
    void SetTitleAlign(int32_t align) override;
    int32_t GetTitleAlign() override;
    void SetTitleColor(tagColor color) override;
    tagColor GetTitleColor() override;
    void SetTitleFont(const wchar_t* fontName) override;
    const wchar_t* GetTitleFont() override;
    void SetTag(const wchar_t* tag) override;
    const wchar_t* GetTag() override;
    void SetTagInt(int32_t value) override;
    int32_t GetTagInt() override;
    void SetTag2(const wchar_t* tag) override;
    const wchar_t* GetTag2() override;
    void SetTag2Int(int32_t value) override;
    int32_t GetTag2Int() override;
    void SetVisible(bool visible) override;
    bool GetVisible() override;
    void SetEnabled(bool enabled) override;
    bool GetEnabled() override;
    void SetPenetrable(bool penetrable) override;
    bool IsPenetrable() override;
    void SetFrameDrag(bool frameDrag) override;
    bool GetFrameDrag() override;
    void SetExtraReactWidth(int32_t width) override;
    int32_t GetExtraReactWidth() override;
    void SetMaxBytesShow(int32_t limit) override;
    int32_t GetMaxBytesShow() override;
    void SetCommitsString(bool commits) override;
    bool GetCommitsString() override;
    void SetAlias(const wchar_t* alias) override;
    const wchar_t* GetAlias() override;
    void BringToFront() override;
    void SetTag3(const wchar_t* tag) override;
    const wchar_t* GetTag3() override;
    void SetTag3Int(int32_t value) override;
    int32_t GetTag3Int() override;
    void SetTag5(const wchar_t* tag) override;
    const wchar_t* GetTag5() override;
    void SetTag5Int(int32_t value) override;
    int32_t GetTag5Int() override;
    void SetTag4(const wchar_t* tag) override;
    const wchar_t* GetTag4() override;
    void SetTag4Int(int32_t value) override;
    int32_t GetTag4Int() override;
    void SetUserValueA(int32_t value) override;
    int32_t GetUserValueA() override;
    void SetUserValueB(int32_t value) override;
    int32_t GetUserValueB() override;
    void SetUserValueC(int32_t value) override;
    int32_t GetUserValueC() override;
    void SetUserRect(int32_t a, int32_t b, int32_t c, int32_t d) override;
    tagUserRect GetUserRect() override;
    const wchar_t* GetTypeName() override;

    // The window's own handler table.
    virtual void DrawTitle(tagColor color);
    virtual void LoadNameFromXml(Common::IXmlElement* element);
    // The first child element whose "Tag" is the tag, loaded as an image;
    // null without one or without a "Filename". The caller takes the first
    // reference.
    virtual IUIImage* LoadImageFromXml(Common::IXmlElement* element, const wchar_t* tag);
    virtual void SetParentWindow(IUIWindow* parent);
    // Both far edges count as inside.
    virtual bool PtInWindow(int32_t px, int32_t py, int32_t x, int32_t y, int32_t width, int32_t height);
    virtual bool IsClippedOut(IUIWindow* window);
    // Touching rectangles overlap.
    virtual bool RectOutside(int32_t ax, int32_t ay, int32_t aw, int32_t ah, int32_t bx, int32_t by, int32_t bw,
                             int32_t bh);
    virtual void OnLButtonDblClk(int32_t x, int32_t y, bool* continueRouting);
    virtual void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting);
    virtual void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting);
    virtual void OnRButtonDblClk(int32_t x, int32_t y, bool* continueRouting);
    virtual void OnRButtonDown(int32_t x, int32_t y, bool* continueRouting);
    virtual void OnRButtonUp(int32_t x, int32_t y, bool* continueRouting);
    virtual void OnMouseMove(int32_t x, int32_t y, bool* continueRouting);
    virtual void OnKeyDown(int32_t virtualKey);
    virtual void OnKeyUp(int32_t virtualKey);
    virtual void OnChar(wchar_t character);
    virtual void OnPaint();
    virtual void OnFrameMove(int32_t elapsedMs);
    // The deepest visible window under the point that takes the mouse.
    virtual IUIWindow* WindowFromPoint(int32_t x, int32_t y);
    virtual void OnMouseEnter(int32_t x, int32_t y);
    virtual void OnMouseLeave(int32_t x, int32_t y);
    virtual void OnMouseWheel(int32_t steps);
    virtual void OnHideTree();
    virtual void OnShowTree();
    // Lets go of everything that ties this subtree to its UI system.
    virtual void DetachFromSystem();
    virtual bool IsClickSuppressed();

    // Counts a click on this window under "<module>:<frame title>:<full name>"
    // ("Device" for the frame part when the driver has no frame).
    void RecordClickStatistics();

    // Only the control factory names the type.
    void SetTypeName(const wchar_t* typeName);
    // For controls that draw their title themselves.
    void SetControlDrawsTitle(bool drawsTitle) { m_controlDrawsTitle = drawsTitle; }
    IUISystemDriver* GetDriver() const { return m_driver; }
    IUIWindow* AsWindow() { return this; }
    static CUIWindow* AsCUIWindow(IUIWindow* window);

protected:
    // Passes a wheel turn to the wheel target; a chain of targets that leads
    // back to a window already passing the turn ends there.
    void ForwardWheel(int32_t steps);

private:
    struct tagTag
    {
        std::wstring text;
        int32_t number = 0;
        void SetText(const wchar_t* value);
        void SetNumber(int32_t value);
    };

    using Children = std::vector<Common::TIntrusivePointer<CUIWindow>>;

    // The children, each held while it is visited, for a walk whose calls
    // may change the tree: one that has left this window when its turn comes
    // is skipped. Every walk that calls out goes through here. This window is
    // held for the walk; the input, paint and tick walks, which run inside a
    // dispatch that already holds it (the UI system holds where it starts,
    // each level's snapshot the level below), say so.
    enum class enmSelfHold
    {
        HoldSelf,
        HeldByDispatch,
    };
    struct tagStillChild
    {
        const CUIWindow* parent;
        bool operator()(const CUIWindow& child) const { return child.m_parent == parent; }
    };
    using ChildVisit = TSnapshotVisit<CUIWindow, tagStillChild>;
    ChildVisit VisitChildren(enmVisitOrder order, enmSelfHold hold = enmSelfHold::HoldSelf)
    {
        return ChildVisit(hold == enmSelfHold::HoldSelf ? this : nullptr, m_children, order, tagStillChild{this});
    }
    bool IsChildOf(const CUIWindow* parent) const { return m_parent == parent; }

    // The first child, first to last, that matches.
    template <typename Matches>
    IUIWindow* FindChildWhere(Matches matches)
    {
        for (const Common::TIntrusivePointer<CUIWindow>& child : m_children) {
            if (!child.IsNull() && matches(*child))
                return child->AsWindow();
        }
        return nullptr;
    }
    // The first window that search finds below a child, first to last.
    template <typename Search>
    IUIWindow* FindBelowChildren(Search search)
    {
        for (const Common::TIntrusivePointer<CUIWindow>& child : m_children) {
            if (child.IsNull())
                continue;
            if (IUIWindow* found = search(*child))
                return found;
        }
        return nullptr;
    }
    // Tells the hover listener, shows or hides the hover window and fires
    // mouse enter or leave.
    void TellHover(bool entered, int32_t x, int32_t y);

    template <typename Handler>
    void RouteMouse(int32_t eventId, Handler handler, int32_t x, int32_t y, bool* continueRouting, bool hitTest);
    void PaintChildren();
    void LoadChildren(Common::IXmlElement* element);
    void UpdateShownTitle();
    bool IsRootOrTopLevel();
    void ForgetParentAndSystem();
    // Takes the window out of its parent's children before it joins another
    // parent (of the UI system given).
    void LeaveParent(IUISystem* nextSystem);
    void EraseChild(CUIWindow* child);
    // Gives up the subtree's names and the UI system's holds on it; with
    // dropHandlers, its event subscriptions and its own references to hover
    // and wheel windows too (they could keep a removed subtree alive).
    void ReleaseFromSystem(bool dropHandlers);
    std::wstring FrameTitle();
    static const wchar_t* OrEmpty(const wchar_t* text);
    static CUISystem* AsCUISystem(IUISystem* system);

    IUISystem* m_system = nullptr;
    IUISystemDriver* m_driver = nullptr;
    int32_t m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_frameDrag = false;
    std::wstring m_typeName;
    std::wstring m_name;
    std::wstring m_alias;
    std::wstring m_fullName;
    tagTag m_tag, m_tag2, m_tag3, m_tag4, m_tag5;
    int32_t m_userValueC = 0, m_userValueA = 0, m_userValueB = 0;
    Common::TIntrusivePointer<IUIImage> m_backgroundImage;
    CUIWindow* m_parent = nullptr;
    Children m_children;
    std::wstring m_title;
    int32_t m_titleAlign = 4;
    tagColor m_titleColor{255, 255, 255, 255};
    std::wstring m_titleFontName = L"Default";
    int32_t m_titleFont = 0;
    bool m_commitsString = false;
    bool m_penetrable = false;
    IUIHoverListener* m_hoverListener = nullptr;
    Common::TIntrusivePointer<IUIWindow> m_hoverWindow;
    Common::TIntrusivePointer<IUIWindow> m_wheelTarget;
    int32_t m_maxBytesShow = -1;
    std::wstring m_shownTitle;
    int32_t m_anchorMode = 0;
    int32_t m_extraReactWidth = 0;
    tagColor m_backgroundImageColor{255, 255, 255, 255};
    bool m_controlDrawsTitle = false;
    int32_t m_titleStartPos = 0;
    bool m_forwardingWheel = false;
};

} // namespace DirectUI
} // namespace RVGameEngine
