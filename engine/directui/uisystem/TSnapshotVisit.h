#pragma once

#include "engine/common/base/CKeepAlive.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <optional>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

enum class enmVisitOrder
{
    FirstToLast,
    LastToFirst,
};

// Walks the items of a list whose handlers may change it while they run:
// add, remove or reorder items, or drop the last outside reference to the
// list's owner. The owner stays alive for the whole walk (pass null when the
// caller's own walk already holds it: one level down a tree, the snapshot of
// the level above does). A copy of the list is walked, which keeps each item
// alive while it is visited, and each item is checked with stillMember only
// when its turn comes, after the calls before it: one that left meanwhile is
// skipped.
//
//     for (Item& item : TSnapshotVisit<Item, StillMember>(owner, items, order, stillMember)) ...
template <typename Item, typename StillMember>
class TSnapshotVisit
{
public:
    using Items = std::vector<Common::TIntrusivePointer<Item>>;

    TSnapshotVisit(Common::IReferenceCounted* owner, const Items& items, enmVisitOrder order, StillMember stillMember)
        : m_stillMember(stillMember)
    {
        // Most lists of a window tree are empty: they need neither hold nor copy.
        if (items.empty())
            return;
        if (owner != nullptr)
            m_keepOwner.emplace(owner);
        if (order == enmVisitOrder::FirstToLast)
            m_snapshot = items;
        else
            m_snapshot.assign(items.rbegin(), items.rend());
    }
    TSnapshotVisit(const TSnapshotVisit&) = delete;
    TSnapshotVisit& operator=(const TSnapshotVisit&) = delete;

    class Iterator
    {
    public:
        Iterator(TSnapshotVisit& visit, size_t index) : m_visit(visit), m_index(index) { SkipLeftItems(); }
        Item& operator*() const { return *m_visit.m_snapshot[m_index]; }
        Iterator& operator++()
        {
            ++m_index;
            SkipLeftItems();
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_index != other.m_index; }

    private:
        void SkipLeftItems()
        {
            const Items& snapshot = m_visit.m_snapshot;
            while (m_index < snapshot.size() &&
                   (snapshot[m_index].IsNull() || !m_visit.m_stillMember(*snapshot[m_index])))
                ++m_index;
        }

        TSnapshotVisit& m_visit;
        size_t m_index;
    };

    Iterator begin() { return Iterator(*this, 0); }
    Iterator end() { return Iterator(*this, m_snapshot.size()); }

private:
    StillMember m_stillMember;
    std::optional<Common::CKeepAlive> m_keepOwner;
    Items m_snapshot;
};

} // namespace DirectUI
} // namespace RVGameEngine
