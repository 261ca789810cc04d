#pragma once

namespace RVGameEngine {
namespace DirectUI {

// The routing flag a mouse handler was given, or one of its own when the
// caller passed none, so that a control can always read and take the event.
class CRoutingFlag
{
public:
    explicit CRoutingFlag(bool* given) : m_flag(given != nullptr ? given : &m_own) {}
    CRoutingFlag(const CRoutingFlag&) = delete;
    CRoutingFlag& operator=(const CRoutingFlag&) = delete;

    // For passing on to the window base's handler.
    bool* Get() const { return m_flag; }
    bool IsUntaken() const { return *m_flag; }
    void Take() { *m_flag = false; }

private:
    bool m_own = true;
    bool* m_flag;
};

} // namespace DirectUI
} // namespace RVGameEngine
