#include "engine/directui/controls/CListViewEx.h"

namespace RVGameEngine {
namespace DirectUI {

namespace {

// Where an owner-drawn row is placed, from the row's top-left corner.
constexpr int32_t kRowTextOffsetX = 13;
constexpr int32_t kRowTextOffsetY = 17;

} // namespace

void CListViewEx::RemoveAllColumns()
{
    CListView::RemoveAllColumns();
    m_keyedColumns.clear();
}

void CListViewEx::AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                            tagColor dataColor, const wchar_t* fontName, int32_t userValue, int32_t key)
{
    const int32_t font = GetDriver() != nullptr && fontName != nullptr ? GetDriver()->GetFont(fontName) : 0;
    m_keyedColumns.emplace(key, MakeColumn(width, name, title, titleColor, dataColor, font, userValue));
}

void CListViewEx::AddLoadedColumn(const ColumnPointer& column, int32_t index) { m_keyedColumns.emplace(index, column); }

// Each key counts once, with the first column added under it.
int32_t CListViewEx::GetContentWidth()
{
    int32_t width = 0;
    for (auto it = m_keyedColumns.begin(); it != m_keyedColumns.end(); it = m_keyedColumns.upper_bound(it->first))
        width += it->second->width;
    return width;
}

// No hover state: only the window base sees the move.
void CListViewEx::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (IsVisible() && IsEnabled())
        CUIWindow::OnMouseMove(x, y, continueRouting);
}

void CListViewEx::PaintRows(int32_t rowCount)
{
    tagListViewGetGridDataEventArgs cell;
    for (int32_t row = 0; row < rowCount && StillPainting(); ++row) {
        AskCell(cell, row, 0, L"", 0);
        if (!cell.ownerDraw || !StillPainting())
            continue;
        tagListViewPaintGridEventArgs grid;
        grid.row = row;
        grid.text = cell.text;
        grid.x = GetAnchoredX() + kRowTextOffsetX;
        grid.y = RowTop(row) + kRowTextOffsetY;
        grid.width = GetContentWidth();
        grid.height = GetRowHeight();
        Fire(LISTVIEW_EVENT_PAINT_GRID, AsListView(), &grid);
    }
}

void CListViewEx::PaintView()
{
    PaintBackground();
    const int32_t rowCount = GetRowCount();
    if (!StillPainting())
        return;
    PushDataClip();
    PaintRowBacks(rowCount);
    PaintRows(rowCount);
    PopClip();
}

} // namespace DirectUI
} // namespace RVGameEngine
