#pragma once

#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIWindow.h"
#include "engine/directui/uisystem/WindowEventArgs.h"

namespace RVGameEngine {
namespace DirectUI {

// A list view's events (sender: its IListView). It holds no rows: the owner
// answers the row count and every cell's text, and may draw parts itself.
enum enmListViewEvent : int32_t
{
    LISTVIEW_EVENT_PAINT_TITLE = 16,
    LISTVIEW_EVENT_GET_ROW_COUNT = 17,
    LISTVIEW_EVENT_PAINT_ROW_BACK = 18,
    LISTVIEW_EVENT_GET_GRID_DATA = 19,
    LISTVIEW_EVENT_PAINT_GAP = 20,
    LISTVIEW_EVENT_PAINT_GRID = 21,
    LISTVIEW_EVENT_ROW_SELECTED = 22,
    LISTVIEW_EVENT_SORT_COLUMN = 23,
    LISTVIEW_EVENT_MOUSE_MOVING = 24,
};

// Units of the text a GetGridData handler may write, its terminating zero included.
constexpr int32_t kListViewCellTextLength = 1000;

struct RV_API tagListViewPaintTitleEventArgs : public Common::tagEventArgs
{
    int32_t column = 0;
    const wchar_t* name = L"";
    const wchar_t* title = L"";
    int32_t userValue = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct RV_API tagListViewGetRowCountEventArgs : public Common::tagEventArgs
{
    int32_t rowCount = 0; // out
};

struct RV_API tagListViewPaintRowBackEventArgs : public Common::tagEventArgs
{
    int32_t row = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct RV_API tagListViewGetGridDataEventArgs : public Common::tagEventArgs
{
    int32_t row = 0;
    int32_t column = 0;
    const wchar_t* name = L"";
    int32_t userValue = 0;
    wchar_t text[kListViewCellTextLength] = {}; // out
    bool ownerDraw = false;                      // out
    bool drawGap = false;                        // out
};

struct RV_API tagListViewPaintGapEventArgs : public Common::tagEventArgs
{
    int32_t row = 0;
    int32_t column = 0;
    const wchar_t* name = L"";
    int32_t userValue = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct RV_API tagListViewPaintGridEventArgs : public Common::tagEventArgs
{
    int32_t row = 0;
    int32_t column = 0;
    const wchar_t* name = L"";
    int32_t userValue = 0;
    const wchar_t* text = L"";
    int32_t reserved = 0; // always 0
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct RV_API tagListViewRowSelectedEventArgs : public Common::tagEventArgs
{
    int32_t row = 0;
};

struct RV_API tagListViewSortColumnEventArgs : public Common::tagEventArgs
{
    int32_t column = 0;
    const wchar_t* name = L"";
    int32_t userValue = 0;
};

struct RV_API tagListViewMouseMovingEventArgs : public Common::tagEventArgs
{
    int32_t row = -1;
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool mouseIn = false;
};

// A virtual multi-column list; the last ten operations are what a scroll bar
// owner needs (content size, view size, step and position per axis).
class RV_API IListView : public virtual IUIWindow
{
public:
    virtual void RemoveAllColumns() = 0;
    // The last argument is the key of the extended list's keyed columns.
    virtual void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                           tagColor dataColor, const wchar_t* fontName, int32_t userValue, int32_t key) = 0;
    virtual void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                           tagColor dataColor, const wchar_t* fontName, int32_t userValue) = 0;
    virtual void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                           tagColor dataColor, int32_t userValue) = 0;
    virtual void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                           tagColor dataColor) = 0;
    virtual Common::TIntrusivePointer<Common::IString> GetGridData(int32_t row, int32_t column) = 0;
    virtual void HitTestRow(int32_t x, int32_t y, int32_t* row) = 0;
    virtual void SetTitleHeight(int32_t value) = 0;
    virtual int32_t GetTitleHeight() = 0;
    virtual void SetGapWidth(int32_t value) = 0;
    virtual int32_t GetGapWidth() = 0;
    virtual void SetRowHeight(int32_t value) = 0;
    virtual int32_t GetRowHeight() = 0;
    virtual void SetTitleOffsetY(int32_t value) = 0;
    virtual int32_t GetTitleOffsetY() = 0;
    virtual void SetDataOffsetY(int32_t value) = 0;
    virtual int32_t GetDataOffsetY() = 0;
    virtual void SetSelectedRow(int32_t row) = 0;
    virtual int32_t GetSelectedRow() = 0;
    virtual int32_t GetRowCount() = 0;
    virtual int32_t GetContentHeight() = 0;
    virtual int32_t GetViewHeight() = 0;
    virtual int32_t GetScrollStepY() = 0;
    virtual void SetScrollY(int32_t value) = 0;
    virtual int32_t GetScrollY() = 0;
    virtual int32_t GetContentWidth() = 0;
    virtual int32_t GetViewWidth() = 0;
    virtual int32_t GetScrollStepX() = 0;
    virtual void SetScrollX(int32_t value) = 0;
    virtual int32_t GetScrollX() = 0;
};

} // namespace DirectUI
} // namespace RVGameEngine
