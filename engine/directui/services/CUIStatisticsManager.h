#pragma once

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIStatisticsManager.h"
#include "engine/directui/services/tagUIStatisticsItem.h"

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// Items stand in the order their keys were first recorded. Items are never
// removed, so the name texts handed out stay valid.
class RV_API CUIStatisticsManager : public IUIStatisticsManager
{
public:
    CUIStatisticsManager() = default;
    CUIStatisticsManager(const CUIStatisticsManager&) = delete;
    CUIStatisticsManager& operator=(const CUIStatisticsManager&) = delete;

    void Record(const wchar_t* key) override;
    int32_t GetItemCount() override;
    const wchar_t* GetItemName(int32_t index) override;
    uint32_t GetItemHits(int32_t index) override;

private:
    tagUIStatisticsItem* FindItem(const wchar_t* key);
    tagUIStatisticsItem* ItemAt(int32_t index);

    std::vector<Common::TIntrusivePointer<tagUIStatisticsItem>> m_items;
};

} // namespace DirectUI
} // namespace RVGameEngine
