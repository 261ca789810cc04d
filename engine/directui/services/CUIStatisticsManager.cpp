#include "engine/directui/services/CUIStatisticsManager.h"

#include <new>

namespace RVGameEngine {
namespace DirectUI {

void CUIStatisticsManager::Record(const wchar_t* key)
{
    if (key == nullptr)
        return;
    tagUIStatisticsItem* item = FindItem(key);
    if (item == nullptr) {
        Common::TIntrusivePointer<tagUIStatisticsItem> added(new (std::nothrow) tagUIStatisticsItem());
        if (added.IsNull())
            return;
        added->Name = key;
        m_items.push_back(added);
        item = added.Get();
    }
    ++item->Hits;
}

int32_t CUIStatisticsManager::GetItemCount()
{
    return static_cast<int32_t>(m_items.size());
}

const wchar_t* CUIStatisticsManager::GetItemName(int32_t index)
{
    tagUIStatisticsItem* item = ItemAt(index);
    return item != nullptr ? item->Name.c_str() : L"";
}

uint32_t CUIStatisticsManager::GetItemHits(int32_t index)
{
    tagUIStatisticsItem* item = ItemAt(index);
    return item != nullptr ? item->Hits : 0;
}

tagUIStatisticsItem* CUIStatisticsManager::FindItem(const wchar_t* key)
{
    for (const Common::TIntrusivePointer<tagUIStatisticsItem>& item : m_items) {
        if (item->Name == key)
            return item.Get();
    }
    return nullptr;
}

tagUIStatisticsItem* CUIStatisticsManager::ItemAt(int32_t index)
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)].Get();
}

IUIStatisticsManager* IUIStatisticsManager_GetInstance()
{
    static IUIStatisticsManager* instance = nullptr;
    if (instance == nullptr)
        instance = new (std::nothrow) CUIStatisticsManager();
    return instance;
}

} // namespace DirectUI
} // namespace RVGameEngine
