#pragma once

#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

class IFrame;

// The satellite frames of a frame: each sits at its offset from the host's
// client origin, moves with the host, closes when the host's window goes
// and, unless it was attached as independent, is shown, hidden, enabled and
// disabled with the host.
class CAttachedFrames
{
public:
    explicit CAttachedFrames(IFrame* host) : m_host(host) {}
    CAttachedFrames(const CAttachedFrames&) = delete;
    CAttachedFrames& operator=(const CAttachedFrames&) = delete;

    // Null and the host itself are not attached.
    void Attach(int dx, int dy, IFrame* frame, bool independent);
    void Move(IFrame* frame, int dx, int dy);
    void Detach(IFrame* frame);

    // The messages of the host's window that concern its satellites.
    void PlaceAll();
    void CloseAll();
    void ShowAll(bool visible);
    // Enabling and disabling reach independent frames too.
    void EnableAll(bool enabled);

    // The rectangle that holds the bounds and every attached window.
    RECT Enclose(const RECT& bounds) const;

private:
    struct tagAttachedFrame
    {
        int32_t dx = 0;
        int32_t dy = 0;
        Common::TIntrusivePointer<IFrame> frame;
        bool independent = false;
    };

    void Place(const tagAttachedFrame& entry);

    IFrame* m_host;
    std::vector<tagAttachedFrame> m_frames;
};

} // namespace DirectUI
} // namespace RVGameEngine
