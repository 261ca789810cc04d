#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/controls/IListView.h"
#include "engine/directui/controls/tagListViewColumn.h"
#include "engine/directui/uisystem/CUIWindow.h"

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// A multi-column list that keeps only its columns and geometry; rows, cell
// texts and owner-drawn parts are asked of its subscribers at every paint.
class RV_API CListView : public CUIWindow, public IListView
{
public:
    // IListView
    void RemoveAllColumns() override;
    void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor, tagColor dataColor,
                   const wchar_t* fontName, int32_t userValue, int32_t key) override;
    void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor, tagColor dataColor,
                   const wchar_t* fontName, int32_t userValue) override;
    void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor, tagColor dataColor,
                   int32_t userValue) override;
    void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                   tagColor dataColor) override;
    Common::TIntrusivePointer<Common::IString> GetGridData(int32_t row, int32_t column) override;
    void HitTestRow(int32_t x, int32_t y, int32_t* row) override;
    void SetTitleHeight(int32_t value) override;
    int32_t GetTitleHeight() override;
    void SetGapWidth(int32_t value) override;
    int32_t GetGapWidth() override;
    void SetRowHeight(int32_t value) override;
    int32_t GetRowHeight() override;
    void SetTitleOffsetY(int32_t value) override;
    int32_t GetTitleOffsetY() override;
    void SetDataOffsetY(int32_t value) override;
    int32_t GetDataOffsetY() override;
    void SetSelectedRow(int32_t row) override;
    int32_t GetSelectedRow() override;
    int32_t GetRowCount() override;
    int32_t GetContentHeight() override;
    int32_t GetViewHeight() override;
    int32_t GetScrollStepY() override;
    void SetScrollY(int32_t value) override;
    int32_t GetScrollY() override;
    int32_t GetContentWidth() override;
    int32_t GetViewWidth() override;
    int32_t GetScrollStepX() override;
    void SetScrollX(int32_t value) override;
    int32_t GetScrollX() override;

    // IUIWindow
    void ResetBackgroundImage() override;
    void LoadAttributes(Common::IXmlElement* element) override;

    // CUIWindow
    void OnLButtonDown(int32_t x, int32_t y, bool* continueRouting) override;
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;
    void OnPaint() override;

protected:
    using ColumnPointer = Common::TIntrusivePointer<tagListViewColumn>;

    // A column of the XML description, in document order (index from 0).
    virtual void AddLoadedColumn(const ColumnPointer& column, int32_t index);
    ColumnPointer MakeColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                             tagColor dataColor, int32_t font, int32_t userValue);
    IListView* AsListView() { return this; }
    bool InWindow(int32_t x, int32_t y);
    // Fires GetGridData for one cell into the reused record.
    void AskCell(tagListViewGetGridDataEventArgs& cell, int32_t row, int32_t column, const wchar_t* name,
                 int32_t userValue);
    // The paint after OnPaint's checks, with the UI system it began on held.
    virtual void PaintView();
    // Whether the view is still in the UI system its paint began on.
    bool StillPainting();
    void PaintBackground();
    void PaintRowBacks(int32_t rowCount);
    void PushClip(int32_t x, int32_t y, int32_t width, int32_t height);
    void PushDataClip();
    void PopClip();
    int32_t RowTop(int32_t row);

    std::vector<ColumnPointer> m_columns;

private:
    int32_t HitTestColumn(int32_t x, int32_t y);
    void PaintTitles();
    void PaintCells(int32_t rowCount);
    // False when the view left its UI system meanwhile.
    bool PaintCell(tagListViewGetGridDataEventArgs& cell, const tagListViewColumn& column, int32_t index,
                   int32_t left, int32_t row);
    void PaintSelectionBar();
    void FireMouseMoving();

    Common::TIntrusivePointer<IUIImage> m_titleGrid;
    Common::TIntrusivePointer<IUIImage> m_rowSelected;
    int32_t m_titleHeight = 24;
    int32_t m_gapWidth = 9;
    int32_t m_rowHeight = 21;
    int32_t m_titleOffsetY = 6;
    int32_t m_dataOffsetY = 6;
    int32_t m_selectedRow = -1;
    int32_t m_scrollY = 0;
    int32_t m_scrollX = 0;
    bool m_mouseInRow = false;
    int32_t m_hoverRow = -1;
    // The UI system of the paint under way, held by OnPaint.
    IUISystem* m_paintSystem = nullptr;
};

} // namespace DirectUI
} // namespace RVGameEngine
