#include "engine/directui/frame/CAttachedFrames.h"

#include "engine/directui/frame/IFrame.h"
#include "engine/directui/frame/RectFunctions.h"

#include <algorithm>

namespace RVGameEngine {
namespace DirectUI {

void CAttachedFrames::Attach(int dx, int dy, IFrame* frame, bool independent)
{
    if (frame == nullptr || frame == m_host)
        return;
    tagAttachedFrame entry;
    entry.dx = dx;
    entry.dy = dy;
    entry.frame = Common::TIntrusivePointer<IFrame>(frame);
    entry.independent = independent;
    m_frames.push_back(entry);
    Place(entry);
}

void CAttachedFrames::Move(IFrame* frame, int dx, int dy)
{
    for (tagAttachedFrame& entry : m_frames) {
        if (entry.frame.Get() == frame) {
            entry.dx = dx;
            entry.dy = dy;
            // A copy: placing may reach back and change the list.
            const tagAttachedFrame placed = entry;
            Place(placed);
            return;
        }
    }
}

void CAttachedFrames::Detach(IFrame* frame)
{
    auto found = std::find_if(m_frames.begin(), m_frames.end(),
                              [frame](const tagAttachedFrame& entry) { return entry.frame.Get() == frame; });
    if (found != m_frames.end())
        m_frames.erase(found);
}

// Each walk below goes over a copy: the calls may attach or detach frames.

void CAttachedFrames::PlaceAll()
{
    const std::vector<tagAttachedFrame> frames = m_frames;
    for (const tagAttachedFrame& entry : frames)
        Place(entry);
}

void CAttachedFrames::CloseAll()
{
    const std::vector<tagAttachedFrame> frames = m_frames;
    for (const tagAttachedFrame& entry : frames)
        entry.frame->PostMessage();
}

void CAttachedFrames::ShowAll(bool visible)
{
    const std::vector<tagAttachedFrame> frames = m_frames;
    for (const tagAttachedFrame& entry : frames) {
        if (!entry.independent)
            entry.frame->SetVisible(visible);
    }
}

void CAttachedFrames::EnableAll(bool enabled)
{
    const std::vector<tagAttachedFrame> frames = m_frames;
    for (const tagAttachedFrame& entry : frames)
        entry.frame->SetEnabled(enabled);
}

RECT CAttachedFrames::Enclose(const RECT& bounds) const
{
    RECT result = bounds;
    for (const tagAttachedFrame& entry : m_frames) {
        const HWND window = entry.frame ? entry.frame->GetHandle() : nullptr;
        RECT rect = {0, 0, 0, 0};
        if (window == nullptr || !GetWindowRect(window, &rect))
            continue;
        result = EnclosingRect(result, rect);
    }
    return result;
}

void CAttachedFrames::Place(const tagAttachedFrame& entry)
{
    const HWND host = m_host->GetHandle();
    const HWND attached = entry.frame ? entry.frame->GetHandle() : nullptr;
    if (host == nullptr || attached == nullptr)
        return;
    POINT origin = {0, 0};
    ClientToScreen(host, &origin);
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(attached, &rect);
    SetWindowPos(attached, nullptr, origin.x + entry.dx, origin.y + entry.dy, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace DirectUI
} // namespace RVGameEngine
