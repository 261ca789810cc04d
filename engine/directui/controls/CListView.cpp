#include "engine/directui/controls/CListView.h"

#include "engine/directui/controls/CRoutingFlag.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <cwchar>

namespace RVGameEngine {
namespace DirectUI {

CListView::ColumnPointer CListView::MakeColumn(int32_t width, const wchar_t* name, const wchar_t* title,
                                               tagColor titleColor, tagColor dataColor, int32_t font,
                                               int32_t userValue)
{
    ColumnPointer column(new tagListViewColumn());
    column->width = width;
    column->name = name != nullptr ? name : L"";
    column->title = title != nullptr ? title : L"";
    column->titleColor = titleColor;
    column->dataColor = dataColor;
    column->font = font;
    column->userValue = userValue;
    return column;
}

void CListView::RemoveAllColumns() { m_columns.clear(); }

void CListView::AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                          tagColor dataColor, const wchar_t* fontName, int32_t userValue, int32_t)
{
    AddColumn(width, name, title, titleColor, dataColor, fontName, userValue);
}

void CListView::AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                          tagColor dataColor, const wchar_t* fontName, int32_t userValue)
{
    const int32_t font = GetDriver() != nullptr && fontName != nullptr ? GetDriver()->GetFont(fontName) : 0;
    m_columns.push_back(MakeColumn(width, name, title, titleColor, dataColor, font, userValue));
}

void CListView::AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                          tagColor dataColor, int32_t userValue)
{
    m_columns.push_back(MakeColumn(width, name, title, titleColor, dataColor, 0, userValue));
}

void CListView::AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor,
                          tagColor dataColor)
{
    m_columns.push_back(MakeColumn(width, name, title, titleColor, dataColor, 0, 0));
}

void CListView::AskCell(tagListViewGetGridDataEventArgs& cell, int32_t row, int32_t column, const wchar_t* name,
                        int32_t userValue)
{
    cell.row = row;
    cell.column = column;
    cell.name = name;
    cell.userValue = userValue;
    cell.text[0] = L'\0';
    cell.ownerDraw = false;
    cell.drawGap = false;
    Fire(LISTVIEW_EVENT_GET_GRID_DATA, AsListView(), &cell);
    // A handler that filled the whole buffer still leaves a terminated text.
    cell.text[kListViewCellTextLength - 1] = L'\0';
}

Common::TIntrusivePointer<Common::IString> CListView::GetGridData(int32_t row, int32_t column)
{
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= static_cast<int32_t>(m_columns.size()))
        return Common::IString_Create_Utf16(L"");
    tagListViewGetGridDataEventArgs cell;
    // The handler may rebuild the columns while it reads the name.
    const ColumnPointer held = m_columns[static_cast<size_t>(column)];
    AskCell(cell, row, column, held->name.c_str(), held->userValue);
    return Common::IString_Create_Utf16(cell.text);
}

bool CListView::InWindow(int32_t x, int32_t y)
{
    return PtInWindow(x, y, GetAnchoredX(), GetAnchoredY(), GetWidth(), GetHeight());
}

void CListView::HitTestRow(int32_t x, int32_t y, int32_t* row)
{
    if (row == nullptr)
        return;
    *row = -1;
    if (!InWindow(x, y))
        return;
    const int32_t count = GetRowCount();
    const int32_t top = GetAnchoredY() - m_scrollY + m_titleHeight;
    // Compared in 64 bits: a large count times the row height must not wrap.
    if (m_rowHeight > 0 && top < y && y < top + static_cast<int64_t>(m_rowHeight) * count)
        *row = (y - GetAnchoredY() - m_titleHeight + m_scrollY) / m_rowHeight;
}

int32_t CListView::HitTestColumn(int32_t x, int32_t y)
{
    if (!InWindow(x, y) || y >= GetAnchoredY() + m_titleHeight)
        return -1;
    int32_t left = GetAnchoredX() - m_scrollX;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        if (left <= x && x < left + m_columns[c]->width)
            return static_cast<int32_t>(c);
        left += m_columns[c]->width;
    }
    return -1;
}

void CListView::SetTitleHeight(int32_t value) { m_titleHeight = value; }
int32_t CListView::GetTitleHeight() { return m_titleHeight; }
void CListView::SetGapWidth(int32_t value) { m_gapWidth = value; }
int32_t CListView::GetGapWidth() { return m_gapWidth; }
void CListView::SetRowHeight(int32_t value) { m_rowHeight = value; }
int32_t CListView::GetRowHeight() { return m_rowHeight; }
void CListView::SetTitleOffsetY(int32_t value) { m_titleOffsetY = value; }
int32_t CListView::GetTitleOffsetY() { return m_titleOffsetY; }
void CListView::SetDataOffsetY(int32_t value) { m_dataOffsetY = value; }
int32_t CListView::GetDataOffsetY() { return m_dataOffsetY; }

void CListView::SetSelectedRow(int32_t row)
{
    m_selectedRow = row;
    Invalidate();
}

int32_t CListView::GetSelectedRow() { return m_selectedRow; }

int32_t CListView::GetRowCount()
{
    tagListViewGetRowCountEventArgs args;
    Fire(LISTVIEW_EVENT_GET_ROW_COUNT, AsListView(), &args);
    return args.rowCount > 0 ? args.rowCount : 0;
}

int32_t CListView::GetContentHeight() { return GetRowCount() * m_rowHeight; }
int32_t CListView::GetViewHeight() { return GetHeight() - m_titleHeight; }
int32_t CListView::GetScrollStepY() { return m_rowHeight; }

void CListView::SetScrollY(int32_t value)
{
    m_scrollY = value;
    Invalidate();
}

int32_t CListView::GetScrollY() { return m_scrollY; }

int32_t CListView::GetContentWidth()
{
    int32_t width = 0;
    for (const ColumnPointer& column : m_columns)
        width += column->width;
    return width;
}

int32_t CListView::GetViewWidth() { return GetWidth(); }

int32_t CListView::GetScrollStepX()
{
    return m_columns.empty() ? 20 : GetWidth() / static_cast<int32_t>(m_columns.size());
}

void CListView::SetScrollX(int32_t value)
{
    m_scrollX = value;
    Invalidate();
}

int32_t CListView::GetScrollX() { return m_scrollX; }
void CListView::ResetBackgroundImage() {}

void CListView::AddLoadedColumn(const ColumnPointer& column, int32_t) { m_columns.push_back(column); }

void CListView::LoadAttributes(Common::IXmlElement* element)
{
    CUIWindow::LoadAttributes(element);
    if (element == nullptr)
        return;
    m_titleGrid = Common::TIntrusivePointer<IUIImage>(LoadImageFromXml(element, L"TitleGrid"));
    m_rowSelected = Common::TIntrusivePointer<IUIImage>(LoadImageFromXml(element, L"RowSelected"));
    if (element->HasAttribute(L"TitleHeight"))
        m_titleHeight = element->GetAttributeInt(L"TitleHeight");
    else if (!m_titleGrid.IsNull())
        m_titleHeight = m_titleGrid->GetImageHeight();
    if (element->HasAttribute(L"GapWidth"))
        m_gapWidth = element->GetAttributeInt(L"GapWidth");
    else if (!m_titleGrid.IsNull())
        m_gapWidth = m_titleGrid->GetImageWidth();
    if (element->HasAttribute(L"RowHeight"))
        m_rowHeight = element->GetAttributeInt(L"RowHeight");
    else if (!m_rowSelected.IsNull())
        m_rowHeight = m_rowSelected->GetImageHeight();
    if (element->HasAttribute(L"TitleOffsetY"))
        m_titleOffsetY = element->GetAttributeInt(L"TitleOffsetY");
    if (element->HasAttribute(L"DataOffsetY"))
        m_dataOffsetY = element->GetAttributeInt(L"DataOffsetY");
    int32_t index = 0;
    for (int32_t i = 0; i < element->GetChildCount(); ++i) {
        Common::IXmlElement* child = element->GetChild(i);
        if (child == nullptr || wcscmp(child->GetName(), L"ListViewColumn") != 0)
            continue;
        const wchar_t* fontName = child->HasAttribute(L"DataFont") ? child->GetAttribute(L"DataFont") : L"Default";
        const int32_t font = GetDriver() != nullptr ? GetDriver()->GetFont(fontName) : 0;
        AddLoadedColumn(MakeColumn(child->GetAttributeInt(L"Width"), child->GetAttribute(L"Name"),
                                   child->GetAttribute(L"Title"), ParseUIColor(child->GetAttribute(L"TitleColor")),
                                   ParseUIColor(child->GetAttribute(L"DataColor")), font, 0),
                        index++);
    }
    Invalidate();
}

void CListView::OnLButtonDown(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CRoutingFlag routing(continueRouting);
    CUIWindow::OnLButtonDown(x, y, routing.Get());
    if (!routing.IsUntaken() || !InWindow(x, y))
        return;
    if (y > GetAnchoredY() + m_titleHeight) {
        int32_t row = -1;
        HitTestRow(x, y, &row);
        if (row != -1) {
            SetSelectedRow(row);
            tagListViewRowSelectedEventArgs args;
            args.row = row;
            Fire(LISTVIEW_EVENT_ROW_SELECTED, AsListView(), &args);
        }
    } else {
        const int32_t column = HitTestColumn(x, y);
        if (column != -1) {
            // A sort handler may rebuild the columns: the record's name lives
            // in this column, which stays held until every handler has read it.
            const ColumnPointer held = m_columns[static_cast<size_t>(column)];
            tagListViewSortColumnEventArgs args;
            args.column = column;
            args.name = held->name.c_str();
            args.userValue = held->userValue;
            Fire(LISTVIEW_EVENT_SORT_COLUMN, AsListView(), &args);
        }
    }
    Invalidate();
    routing.Take();
}

void CListView::OnMouseMove(int32_t x, int32_t y, bool* continueRouting)
{
    if (!IsVisible() || !IsEnabled())
        return;
    CUIWindow::OnMouseMove(x, y, continueRouting);
    m_hoverRow = -1;
    m_mouseInRow = false;
    if (!InWindow(x, y))
        return;
    if (y > GetAnchoredY() + m_titleHeight) {
        int32_t row = -1;
        HitTestRow(x, y, &row);
        if (row != -1) {
            m_mouseInRow = true;
            m_hoverRow = row;
        }
    }
    Invalidate();
}

int32_t CListView::RowTop(int32_t row) { return GetAnchoredY() - m_scrollY + m_titleHeight + m_rowHeight * row; }

void CListView::PaintBackground()
{
    if (IUIImage* background = GetBackgroundImage())
        background->DrawCropped(GetAnchoredX(), GetAnchoredY(), GetWidth(), GetHeight(), GetBackgroundImageColor());
}

bool CListView::StillPainting()
{
    return m_paintSystem != nullptr && GetUISystem() == m_paintSystem;
}

void CListView::PushClip(int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (m_paintSystem != nullptr)
        m_paintSystem->PushClipRect(true, x, y, width, height);
}

void CListView::PopClip()
{
    if (m_paintSystem != nullptr)
        m_paintSystem->PopClipRect();
}

void CListView::PushDataClip()
{
    PushClip(GetAnchoredX() + 1, GetAnchoredY() + 1 + m_titleHeight, GetWidth() - 2, GetHeight() - m_titleHeight - 2);
}

void CListView::PaintTitles()
{
    const int32_t y = GetAnchoredY();
    const int32_t titleFont = GetDriver()->GetFont(GetTitleFont());
    int32_t left = GetAnchoredX() - m_scrollX;
    // Handlers may change the columns: each pass holds its own column.
    for (size_t c = 0; c < m_columns.size() && StillPainting(); ++c) {
        const ColumnPointer held = m_columns[c];
        const tagListViewColumn& column = *held;
        const int32_t columnLeft = left;
        left += column.width;
        if (column.title.empty())
            continue;
        if (c > 0 && !m_titleGrid.IsNull())
            m_titleGrid->Draw(columnLeft - m_gapWidth, y, GetBackgroundImageColor());
        const int32_t width = column.width - m_gapWidth;
        PushClip(columnLeft, y, width, m_titleHeight);
        if (!HasSubscriber(LISTVIEW_EVENT_PAINT_TITLE)) {
            GetDriver()->DrawText(titleFont, column.title.c_str(), column.titleColor, columnLeft, y + m_titleOffsetY);
        } else {
            tagListViewPaintTitleEventArgs args;
            args.column = static_cast<int32_t>(c);
            args.name = column.name.c_str();
            args.title = column.title.c_str();
            args.userValue = column.userValue;
            args.x = columnLeft;
            args.y = y;
            args.width = width;
            args.height = m_titleHeight;
            Fire(LISTVIEW_EVENT_PAINT_TITLE, AsListView(), &args);
        }
        PopClip();
    }
}

void CListView::PaintSelectionBar()
{
    if (m_selectedRow == -1 || m_rowSelected.IsNull())
        return;
    const int32_t x = GetAnchoredX();
    const int32_t y = GetAnchoredY() + m_titleHeight + m_rowHeight * m_selectedRow - m_scrollY;
    const int32_t w = m_rowSelected->GetImageWidth(), h = m_rowSelected->GetImageHeight(), t = w / 3;
    const tagColor color = GetBackgroundImageColor();
    const int32_t rightCap = x - 1 + GetWidth() - t;
    m_rowSelected->DrawPart(x + 1, y, t, h, 0, 0, t, h, color);
    m_rowSelected->DrawPart(rightCap, y, t, h, w - t, 0, t, h, color);
    m_rowSelected->DrawPart(x + 1 + t, y, rightCap - (x + 1 + t), h, t, 0, t, h, color);
}

void CListView::PaintRowBacks(int32_t rowCount)
{
    if (!HasSubscriber(LISTVIEW_EVENT_PAINT_ROW_BACK)) {
        PaintSelectionBar();
        return;
    }
    const int32_t contentWidth = GetContentWidth();
    for (int32_t row = 0; row < rowCount && StillPainting(); ++row) {
        tagListViewPaintRowBackEventArgs args;
        args.row = row;
        args.x = GetAnchoredX() - m_scrollX;
        args.y = RowTop(row);
        args.width = contentWidth;
        args.height = m_rowHeight;
        Fire(LISTVIEW_EVENT_PAINT_ROW_BACK, AsListView(), &args);
    }
}

bool CListView::PaintCell(tagListViewGetGridDataEventArgs& cell, const tagListViewColumn& column, int32_t index,
                          int32_t left, int32_t row)
{
    const int32_t top = RowTop(row);
    AskCell(cell, row, index, column.name.c_str(), column.userValue);
    if (!StillPainting())
        return false;
    if (cell.drawGap) {
        tagListViewPaintGapEventArgs gap;
        gap.row = row;
        gap.column = index;
        gap.name = column.name.c_str();
        gap.userValue = column.userValue;
        gap.x = left - m_gapWidth;
        gap.y = top;
        gap.width = m_gapWidth;
        gap.height = m_rowHeight;
        Fire(LISTVIEW_EVENT_PAINT_GAP, AsListView(), &gap);
        if (!StillPainting())
            return false;
    }
    PushClip(left, top, column.width - m_gapWidth, m_rowHeight);
    if (cell.ownerDraw) {
        tagListViewPaintGridEventArgs grid;
        grid.row = row;
        grid.column = index;
        grid.name = column.name.c_str();
        grid.userValue = column.userValue;
        grid.text = cell.text;
        grid.x = left;
        grid.y = top;
        grid.width = column.width - m_gapWidth;
        grid.height = m_rowHeight;
        Fire(LISTVIEW_EVENT_PAINT_GRID, AsListView(), &grid);
    } else {
        GetDriver()->DrawText(column.font, cell.text, column.dataColor, left + 1, top + m_dataOffsetY);
    }
    PopClip();
    return StillPainting();
}

void CListView::PaintCells(int32_t rowCount)
{
    const int32_t x0 = GetAnchoredX(), y0 = GetAnchoredY();
    tagListViewGetGridDataEventArgs cell;
    int32_t left = x0 - m_scrollX;
    // Handlers may change the columns: each pass holds its own column.
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const ColumnPointer column = m_columns[c];
        const int32_t columnLeft = left;
        left += column->width;
        if (x0 > columnLeft + column->width || columnLeft > x0 + GetWidth())
            continue;
        for (int32_t row = 0; row < rowCount; ++row) {
            const int32_t top = RowTop(row);
            if (y0 + m_titleHeight <= top + m_rowHeight && top <= y0 + GetHeight() &&
                !PaintCell(cell, *column, static_cast<int32_t>(c), columnLeft, row))
                return;
        }
    }
}

void CListView::FireMouseMoving()
{
    tagListViewMouseMovingEventArgs args;
    args.row = m_hoverRow;
    args.x = GetAnchoredX() - m_scrollX;
    args.y = RowTop(m_hoverRow);
    args.width = GetContentWidth();
    args.height = m_rowHeight;
    args.mouseIn = m_mouseInRow;
    Fire(LISTVIEW_EVENT_MOUSE_MOVING, AsListView(), &args);
}

// Every handler fired while painting may take the view out of its UI system
// (remove it, reset the tree, move it to another): the paint stops there, and
// every clip it pushed is popped on the system it was pushed on, which stays
// alive until the paint ends.
void CListView::OnPaint()
{
    IUISystem* const system = GetUISystem();
    if (!IsVisible() || system == nullptr || GetDriver() == nullptr)
        return;
    const Common::TIntrusivePointer<IUISystem> held(system);
    IUISystem* const outer = m_paintSystem;
    m_paintSystem = system;
    PaintView();
    m_paintSystem = outer;
}

void CListView::PaintView()
{
    PaintBackground();
    PaintTitles();
    if (!StillPainting())
        return;
    const int32_t rowCount = GetRowCount();
    if (!StillPainting())
        return;
    PushDataClip();
    PaintRowBacks(rowCount);
    if (StillPainting())
        PaintCells(rowCount);
    if (StillPainting())
        FireMouseMoving();
    PopClip();
}

} // namespace DirectUI
} // namespace RVGameEngine
