#include "engine/directui/services/CExpressionItem.h"

#include "engine/common/base/TimeFunctions.h"

#include <algorithm>
#include <utility>

namespace RVGameEngine {
namespace DirectUI {

void CExpressionItem::AddFrame(Common::TIntrusivePointer<IUIImage> image)
{
    m_frames.push_back(std::move(image));
}

void CExpressionItem::SetFramesPerSecond(int32_t framesPerSecond)
{
    m_framesPerSecond = std::clamp(framesPerSecond, kMinFramesPerSecond, kMaxFramesPerSecond);
}

Common::TIntrusivePointer<IUIImage> CExpressionItem::GetCurrentFrame() const
{
    return GetFrameAt(Common::GetTimeMs());
}

Common::TIntrusivePointer<IUIImage> CExpressionItem::GetFrameAt(int32_t clockMs) const
{
    if (m_frames.empty())
        return Common::TIntrusivePointer<IUIImage>();
    if (m_frames.size() == 1)
        return m_frames.front();
    const auto period = static_cast<int32_t>(1000.0 / m_framesPerSecond);
    const auto index = static_cast<uint32_t>(clockMs / period) % static_cast<uint32_t>(m_frames.size());
    return m_frames[index];
}

} // namespace DirectUI
} // namespace RVGameEngine
