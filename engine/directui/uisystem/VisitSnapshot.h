#pragma once

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

enum class enmVisitOrder
{
    FirstToLast,
    LastToFirst,
};

// Visits the items of a list whose handlers may change it while they run:
// add, remove or reorder items, or drop the last outside reference to the
// list's owner. The owner stays alive for the whole visit; a copy of the list
// is walked, which keeps each item alive while it is visited; an item that
// stillMember rejects when its turn comes (it left meanwhile) is skipped.
// visit returns false to end the walk.
template <typename Item, typename StillMember, typename Visit>
void VisitSnapshot(Common::IReferenceCounted* owner, const std::vector<Common::TIntrusivePointer<Item>>& items,
                   enmVisitOrder order, StillMember stillMember, Visit visit)
{
    Common::CKeepAlive keepOwner(owner);
    const std::vector<Common::TIntrusivePointer<Item>> snapshot = items;
    const size_t count = snapshot.size();
    for (size_t step = 0; step < count; ++step) {
        const size_t index = order == enmVisitOrder::FirstToLast ? step : count - 1 - step;
        Item* item = snapshot[index].Get();
        if (item == nullptr || !stillMember(*item))
            continue;
        if (!visit(*item))
            return;
    }
}

} // namespace DirectUI
} // namespace RVGameEngine
