#pragma once

#include "engine/directui/controls/CListView.h"
#include "engine/directui/controls/IListViewEx.h"

#include <map>

namespace RVGameEngine {
namespace DirectUI {

// The list view without a title band: one owner-drawn text per row. Columns
// of its description and of the keyed AddColumn form are kept by key and
// give only the content width; the other forms feed the plain column list.
class RV_API CListViewEx : public CListView, public IListViewEx
{
public:
    using CListView::AddColumn;

    // IListView
    void RemoveAllColumns() override;
    void AddColumn(int32_t width, const wchar_t* name, const wchar_t* title, tagColor titleColor, tagColor dataColor,
                   const wchar_t* fontName, int32_t userValue, int32_t key) override;
    int32_t GetContentWidth() override;

    // CUIWindow
    void OnMouseMove(int32_t x, int32_t y, bool* continueRouting) override;

protected:
    void AddLoadedColumn(const ColumnPointer& column, int32_t index) override;
    void PaintView() override;

private:
    void PaintRows(int32_t rowCount);

    std::multimap<int32_t, ColumnPointer> m_keyedColumns;
};

} // namespace DirectUI
} // namespace RVGameEngine
