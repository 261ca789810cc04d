#pragma once

#include "engine/directui/controls/IDialog.h"
#include "engine/directui/uisystem/CUIWindow.h"

namespace RVGameEngine {
namespace DirectUI {

// A panel dragged by the mouse, by any point or by its drag bar, and kept
// inside its bounding rectangle; it takes every press inside it.
class RV_API CDialog : public CUIWindow, public IDialog
{
public:
    // The window's own handler table.
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnLButtonUp(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    // A hidden dialog ends its drag; its children are not told.
    void OnHideTree() override;

    // IUIWindow
    void LoadAttributes(Common::IXmlElement* element) override;

    // IDialog
    void SetBounding(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void SetDragBar(bool enabled, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void SetMovable(bool movable) override;
    bool GetMovable() override;

private:
    struct tagArea
    {
        bool enabled = false;
        int32_t x = 0, y = 0, width = 0, height = 0;
    };

    bool InDragArea(int32_t x, int32_t y);
    // The dialog's X and Y for the pointer, held inside the bounding rectangle.
    void MoveWithPointer(int32_t x, int32_t y);

    bool m_movable = false;
    tagArea m_bounding;
    tagArea m_dragBar;
    bool m_dragging = false;
    int32_t m_dragStartX = 0, m_dragStartY = 0;
    int32_t m_pressX = 0, m_pressY = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
