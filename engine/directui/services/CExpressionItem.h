#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIImage.h"

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// One entry of the expression table: a picture, or frames played at a fixed
// rate. Which frame shows depends only on the clock, not on when the entry
// was first shown.
class RV_API CExpressionItem : public Common::IReferenceCounted
{
public:
    static constexpr int32_t kMinFramesPerSecond = 1;
    static constexpr int32_t kMaxFramesPerSecond = 1000;

    void AddFrame(Common::TIntrusivePointer<IUIImage> image);
    // Kept within 1 to 1000, so that a frame lasts at least 1 ms.
    void SetFramesPerSecond(int32_t framesPerSecond);
    int32_t GetFramesPerSecond() const { return m_framesPerSecond; }
    int32_t GetFrameCount() const { return static_cast<int32_t>(m_frames.size()); }
    bool IsAnimated() const { return m_frames.size() > 1; }

    // The frame to show now by the engine clock; empty without frames.
    Common::TIntrusivePointer<IUIImage> GetCurrentFrame() const;
    // The frame to show when the engine clock reads clockMs.
    Common::TIntrusivePointer<IUIImage> GetFrameAt(int32_t clockMs) const;

private:
    int32_t m_framesPerSecond = 1;
    std::vector<Common::TIntrusivePointer<IUIImage>> m_frames;
};

} // namespace DirectUI
} // namespace RVGameEngine
