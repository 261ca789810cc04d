#pragma once

#include "engine/common/base/TIntrusivePointer.h"

#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// Undo and redo of a text-input control by whole-state snapshots, without a
// depth limit. A new snapshot forgets what could be redone.
template <typename State>
class TEditHistory
{
public:
    using StatePointer = Common::TIntrusivePointer<State>;

    void Push(StatePointer state)
    {
        m_undo.push_back(state);
        m_redo.clear();
    }
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The state to restore, with the current one kept for the way back;
    // empty when there is nothing to go back to.
    StatePointer Undo(StatePointer current) { return Swap(m_undo, m_redo, current); }
    StatePointer Redo(StatePointer current) { return Swap(m_redo, m_undo, current); }
    void Clear()
    {
        m_undo.clear();
        m_redo.clear();
    }

private:
    static StatePointer Swap(std::vector<StatePointer>& from, std::vector<StatePointer>& to, StatePointer current)
    {
        if (from.empty())
            return StatePointer();
        to.push_back(current);
        StatePointer top = from.back();
        from.pop_back();
        return top;
    }

    std::vector<StatePointer> m_undo;
    std::vector<StatePointer> m_redo;
};

} // namespace DirectUI
} // namespace RVGameEngine
