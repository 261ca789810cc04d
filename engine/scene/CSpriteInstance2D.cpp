#include "engine/scene/CSpriteInstance2D.h"

#include "engine/common/base/TimeFunctions.h"
#include "engine/math/VectorFunctions.h"
#include "engine/scene/CSceneNode2D.h"
#include "engine/scene/ISpriteManager2D.h"

#include <cmath>
#include <cstdlib>

namespace RVGameEngine {
namespace Scene {

namespace {

// Far beyond any real clock, yet exact in a double and safe in an int64.
constexpr double kLargestFrameNumber = 9.0e15;

} // namespace

CSpriteInstance2D::CSpriteInstance2D(CSprite2D* sprite) : m_sprite(sprite)
{
}

int64_t CSpriteInstance2D::RawFrameNumber(const CAnimation2D& animation) const
{
    const double frame = static_cast<double>(m_elapsed) / 1000.0 * animation.FramePerSecond;
    if (!(frame > 0.0))
        return 0;
    return static_cast<int64_t>(std::min(frame, kLargestFrameNumber));
}

int CSpriteInstance2D::FoldFrameNumber(int64_t frame, int frameCount) const
{
    switch (m_playMode) {
    case ANIMATION_MODE_LOOP:
        return static_cast<int>(frame % frameCount);
    case ANIMATION_MODE_ONCE:
        return frame >= frameCount ? frameCount - 1 : static_cast<int>(frame);
    case ANIMATION_MODE_PING_PONG:
        if ((frame / frameCount) % 2 == 1)
            return frameCount - static_cast<int>(frame % frameCount) - 1;
        return static_cast<int>(frame % frameCount);
    default:
        // Unknown modes play the raw number; past the end nothing new shows.
        return frame >= frameCount ? -1 : static_cast<int>(frame);
    }
}

void CSpriteInstance2D::Update(uint32_t elapsedMs)
{
    if (m_paused)
        elapsedMs = 0;
    if (m_sprite.IsNull() || m_animationIndex == -1 || m_frameIndex == -1)
        return;
    m_elapsed += elapsedMs;
    CAnimation2D* animation = m_sprite->GetAnimation(m_animationIndex);
    if (animation == nullptr || animation->GetFrameCount() == 0)
        return;
    const int frameIndex = FoldFrameNumber(RawFrameNumber(*animation), animation->GetFrameCount());
    CFrame2D* frame = animation->GetFrame(frameIndex);
    if (frame == nullptr)
        return;
    m_frameIndex = frameIndex;
    SetNodeOffset(frame->OffsetX, frame->OffsetY);
    ShowFrame(*frame);
}

void CSpriteInstance2D::ShowFrame(CFrame2D& frame)
{
    m_texture = frame.Texture;
    frame.LastUsedTime = static_cast<uint32_t>(Common::GetTimeMs());
    frame.BuildQuad();
    for (int i = 0; i < 4; ++i)
        Math::Matrix3x3TransformVector2(m_corners[i], frame.Corners[i], m_transform);
    m_uLeft = frame.ULeft;
    m_uRight = frame.URight;
    m_vTop = frame.VTop;
    m_vBottom = frame.VBottom;
    m_frameWidth = frame.X2 - frame.X1;
    m_frameHeight = frame.Y2 - frame.Y1;
    m_boundingBox.Reset();
    for (const Math::tagVector3& corner : m_corners)
        m_boundingBox.ExtendBoundingBox(corner);
}

void CSpriteInstance2D::SetNodeOffset(float x, float y)
{
    // Nodes are made only by ISceneNode2D_Create; anything else has no offset.
    if (CSceneNode2D* node = dynamic_cast<CSceneNode2D*>(m_sceneNode))
        node->SetOffset(x, y);
}

void CSpriteInstance2D::Draw()
{
    if (ISpriteManager2D* manager = ISpriteManager2D_GetInstance())
        manager->DrawSpriteInstance(this);
}

CFrame2D* CSpriteInstance2D::CurrentFrame() const
{
    CAnimation2D* animation = m_sprite.IsNull() ? nullptr : m_sprite->GetAnimation(m_animationIndex);
    return animation != nullptr ? animation->GetFrame(m_frameIndex) : nullptr;
}

int CSpriteInstance2D::GetBoundingSphereCount()
{
    m_circleFrame = CurrentFrame();
    return m_circleFrame != nullptr ? static_cast<int>(m_circleFrame->BoundingSpheres.size()) : 0;
}

Math::CBoundingSphere2D CSpriteInstance2D::GetBoundingSphere(int index)
{
    if (m_circleFrame == nullptr)
        m_circleFrame = CurrentFrame();
    if (m_circleFrame == nullptr || index < 0 || index >= static_cast<int>(m_circleFrame->BoundingSpheres.size()))
        return Math::CBoundingSphere2D();
    return m_circleFrame->BoundingSpheres[static_cast<size_t>(index)];
}

void CSpriteInstance2D::SetAnimation(int index, uint32_t mode)
{
    m_animationIndex = index;
    m_frameIndex = 0;
    m_elapsed = 0;
    m_playMode = mode;
    if (m_sprite.IsNull())
        return;
    if (CAnimation2D* animation = m_sprite->GetAnimation(index))
        SetNodeOffset(animation->OffsetX, animation->OffsetY);
}

void CSpriteInstance2D::SetAnimationByName(const wchar_t* name, uint32_t mode)
{
    if (!m_sprite.IsNull())
        SetAnimation(FindAnimation(name), mode);
}

int CSpriteInstance2D::FindAnimation(const wchar_t* name)
{
    return m_sprite.IsNull() ? -1 : m_sprite->FindAnimation(name);
}

void CSpriteInstance2D::RandomizeElapsedTime()
{
    if (m_sprite.IsNull() || m_animationIndex == -1)
        return;
    CAnimation2D* animation = m_sprite->GetAnimation(m_animationIndex);
    if (animation == nullptr || !(animation->FramePerSecond > 0.0f))
        return;
    // One pass through the animation, in milliseconds (there and back in
    // ping-pong mode).
    double period = std::trunc(animation->GetFrameCount() * 1000.0 / animation->FramePerSecond);
    if (m_playMode == ANIMATION_MODE_PING_PONG)
        period *= 2.0;
    if (!(period >= 1.0))
        return;
    const double largest = static_cast<double>(UINT32_MAX);
    m_elapsed = static_cast<uint64_t>(std::rand()) % static_cast<uint64_t>(std::min(period, largest));
}

bool CSpriteInstance2D::IsFinished()
{
    if (m_sprite.IsNull() || m_animationIndex == -1 || m_frameIndex == -1)
        return true;
    CAnimation2D* animation = m_sprite->GetAnimation(m_animationIndex);
    if (animation == nullptr)
        return true;
    return m_playMode == ANIMATION_MODE_ONCE && RawFrameNumber(*animation) >= animation->GetFrameCount();
}

void CSpriteInstance2D::GetTexCoords(float& uLeft, float& uRight, float& vTop, float& vBottom) const
{
    uLeft = m_uLeft;
    uRight = m_uRight;
    vTop = m_vTop;
    vBottom = m_vBottom;
}

} // namespace Scene
} // namespace RVGameEngine
