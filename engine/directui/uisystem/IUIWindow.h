#pragma once

#include "engine/common/base/CEventDelegateManager.h"
#include "engine/common/base/EngineApi.h"
#include "engine/directui/uisystem/tagColor.h"
#include "engine/directui/uisystem/tagUserRect.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {
class IXmlElement;
}
namespace DirectUI {

class IUIHoverListener;
class IUIImage;
class IUISystem;

// The interface of every window of the UI toolkit, from a UI system's root to
// each control. Every window is an event source (enmWindowEvent). Returned
// window and image pointers carry no new reference; returned texts stay valid
// until the window's field changes.
class RV_API IUIWindow : public Common::CEventDelegateManager
{
public:
    ~IUIWindow() override = default;

    // Called on each window the loader makes, before its name is read.
    virtual void OnCreated() = 0;
    virtual void ResetBackgroundImage() = 0;
    virtual void SetRect(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    virtual void CenterInParent() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() = 0;
    virtual bool IsVisibleInTree() = 0;
    virtual void Enable() = 0;
    virtual void Disable() = 0;
    virtual bool IsEnabled() = 0;
    virtual void AddChild(IUIWindow* child) = 0;
    // Removes the window from anywhere in this subtree.
    virtual bool RemoveWindow(IUIWindow* window) = 0;
    virtual IUIWindow* GetChild(int32_t index) = 0;
    virtual IUIWindow* FindChild(const wchar_t* name) = 0;
    // A non-empty name is looked up in the UI system's registry (anywhere in
    // the tree); the empty name finds the first unnamed window below.
    virtual IUIWindow* FindWindow(const wchar_t* name) = 0;
    virtual IUIWindow* FindChildByTag(const wchar_t* tag) = 0;
    virtual IUIWindow* FindWindowByTag(const wchar_t* tag) = 0;
    virtual void RemoveAllChildren() = 0;
    virtual void BringChildToFront(IUIWindow* child) = 0;
    virtual void Invalidate() = 0;
    virtual void InvalidateOnHide() = 0;
    virtual void OnRectChanged() = 0;
    virtual void CaptureMouse() = 0;
    // Ends the mouse capture only while this window holds it.
    virtual void ReleaseMouse() = 0;
    virtual bool IsFocusable() = 0;
    // frameRefocused: the frame window got the keyboard focus back.
    virtual void SetFocus(bool frameRefocused) = 0;
    virtual void KillFocus() = 0;
    virtual bool HitTest(int32_t x, int32_t y) = 0;
    virtual void SetHoverListener(IUIHoverListener* listener) = 0;
    virtual void SetHoverWindow(IUIWindow* window) = 0;
    virtual void SetHoverWindowByName(const wchar_t* name) = 0;
    virtual void SetWheelTarget(IUIWindow* window) = 0;
    virtual void LoadAttributes(Common::IXmlElement* element) = 0;
    virtual void LoadFromXmlFile(const wchar_t* path) = 0;
    virtual void SetUISystem(IUISystem* system) = 0;
    virtual IUISystem* GetUISystem() = 0;
    virtual int32_t GetChildCount() = 0;
    virtual IUIWindow* GetParent() = 0;
    virtual void SetX(int32_t x) = 0;
    virtual void SetY(int32_t y) = 0;
    virtual void SetWidth(int32_t width) = 0;
    virtual void SetHeight(int32_t height) = 0;
    virtual int32_t GetX() = 0;
    virtual int32_t GetY() = 0;
    virtual int32_t GetWidth() = 0;
    virtual int32_t GetHeight() = 0;
    // The position in the frame, through the parents' anchor points.
    virtual int32_t GetAnchoredX() = 0;
    virtual int32_t GetAnchoredY() = 0;
    virtual int32_t GetAnchorMode() = 0;
    virtual void SetAnchorMode(int32_t mode) = 0;
    // Does not touch the UI system's name registry.
    virtual void SetName(const wchar_t* name) = 0;
    virtual const wchar_t* GetName() = 0;
    // The names from the root down, joined with ".".
    virtual const wchar_t* GetFullName() = 0;
    virtual void SetBackgroundImage(IUIImage* image) = 0;
    virtual IUIImage* GetBackgroundImage() = 0;
    virtual void SetBackgroundImageColor(tagColor color) = 0;
    virtual tagColor GetBackgroundImageColor() = 0;
    virtual void SetTitle(const wchar_t* title) = 0;
    virtual const wchar_t* GetTitle() = 0;
    virtual void SetTitleInt(int32_t value) = 0;
    virtual int32_t GetTitleInt() = 0;
    virtual void SetTitleAlign(int32_t align) = 0;
    virtual int32_t GetTitleAlign() = 0;
    virtual void SetTitleColor(tagColor color) = 0;
    virtual tagColor GetTitleColor() = 0;
    virtual void SetTitleFont(const wchar_t* fontName) = 0;
    virtual const wchar_t* GetTitleFont() = 0;
    virtual void SetTag(const wchar_t* tag) = 0;
    virtual const wchar_t* GetTag() = 0;
    virtual void SetTagInt(int32_t value) = 0;
    virtual int32_t GetTagInt() = 0;
    virtual void SetTag2(const wchar_t* tag) = 0;
    virtual const wchar_t* GetTag2() = 0;
    virtual void SetTag2Int(int32_t value) = 0;
    virtual int32_t GetTag2Int() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool GetVisible() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool GetEnabled() = 0;
    virtual void SetPenetrable(bool penetrable) = 0;
    virtual bool IsPenetrable() = 0;
    virtual void SetFrameDrag(bool frameDrag) = 0;
    virtual bool GetFrameDrag() = 0;
    virtual void SetExtraReactWidth(int32_t width) = 0;
    virtual int32_t GetExtraReactWidth() = 0;
    virtual void SetMaxBytesShow(int32_t limit) = 0;
    virtual int32_t GetMaxBytesShow() = 0;
    virtual void SetCommitsString(bool commits) = 0;
    virtual bool GetCommitsString() = 0;
    virtual void SetAlias(const wchar_t* alias) = 0;
    virtual const wchar_t* GetAlias() = 0;
    virtual void BringToFront() = 0;
    virtual void SetTag3(const wchar_t* tag) = 0;
    virtual const wchar_t* GetTag3() = 0;
    virtual void SetTag3Int(int32_t value) = 0;
    virtual int32_t GetTag3Int() = 0;
    virtual void SetTag5(const wchar_t* tag) = 0;
    virtual const wchar_t* GetTag5() = 0;
    virtual void SetTag5Int(int32_t value) = 0;
    virtual int32_t GetTag5Int() = 0;
    virtual void SetTag4(const wchar_t* tag) = 0;
    virtual const wchar_t* GetTag4() = 0;
    virtual void SetTag4Int(int32_t value) = 0;
    virtual int32_t GetTag4Int() = 0;
    virtual void SetUserValueA(int32_t value) = 0;
    virtual int32_t GetUserValueA() = 0;
    virtual void SetUserValueB(int32_t value) = 0;
    virtual int32_t GetUserValueB() = 0;
    virtual void SetUserValueC(int32_t value) = 0;
    virtual int32_t GetUserValueC() = 0;
    virtual void SetUserRect(int32_t a, int32_t b, int32_t c, int32_t d) = 0;
    virtual tagUserRect GetUserRect() = 0;
    // The element name the control factory made the window by (empty for the root).
    virtual const wchar_t* GetTypeName() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
